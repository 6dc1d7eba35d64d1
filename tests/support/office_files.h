#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// Word documents and workbooks written through the zip library the importers
// read them with, holding just the parts a reader needs.
namespace testing_support {

using ZipEntries = std::vector<std::pair<QString, QByteArray>>;

QByteArray zipOf(const ZipEntries& entries);

// Paragraphs of a document body.
QString wordParagraph(const QString& text);
// A paragraph of Word's automatic list `numId` at `level`.
QString wordListParagraph(int numId, int level, const QString& text);
// A paragraph holding the picture of relationship `relationId`.
QString wordPictureParagraph(const QString& relationId);
// A table of plain cells.
QString wordTable(const std::vector<QStringList>& rows);

// A .docx with `body`, the given numbering part, and pictures stored as
// word/media/NAME with relationships rIdPic1, rIdPic2 … in their order.
QByteArray docxOf(const QString& body, const QByteArray& numbering = {},
                  const ZipEntries& pictures = {});

// Numbering with list 1: decimal "%1．" at level 0, upper letters "%2．" at level 1.
QByteArray questionListNumbering();

// A workbook whose first sheet holds `rows`, its texts as shared strings.
QByteArray xlsxOf(const std::vector<QStringList>& rows);

} // namespace testing_support
