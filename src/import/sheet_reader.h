#pragma once

#include "import/imported_document.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace importer {

struct SheetRow {
    int number = 0; // as the spreadsheet numbers it
    QStringList cells;
};

// The header names a question sheet's columns are found by, in the order the
// template writes them.
QStringList sheetHeaders();

// One question per row, columns found by their header in any order (题型,
// 题干, 选项A … 选项O, 答案, 解析, 章节, 共用题干, 组号, 图片). Rows sharing a
// 组号 form a case group, or a matching group when their type is matching;
// pictures are files named relative to `folder`. Problems are named by row.
ImportedDocument readSheetRows(const std::vector<SheetRow>& rows, const QString& folder);

// The rows of a .csv file (UTF-8 or GB18030, comma or tab separated).
std::vector<SheetRow> csvRows(const QByteArray& bytes);
// The rows of the first sheet of an .xlsx workbook; throws ImportError naming
// `shownName` when it is no workbook.
std::vector<SheetRow> xlsxRows(const QByteArray& bytes, const QString& shownName);

} // namespace importer
