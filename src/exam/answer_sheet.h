#pragma once

#include "store/rows.h"

#include <QRect>
#include <QString>
#include <vector>

// Where the answer sheet's headings and cells go: one heading per section of
// the drawn paper and one numbered cell per paper item, six to a line.
namespace exam {

struct SheetHeading {
    QString text;
    QRect place;
};

struct SheetCell {
    QString tid;
    QString name;
    QRect place;
};

struct SheetLayout {
    std::vector<SheetHeading> headings;
    std::vector<SheetCell> cells;
};

// The cell name of an item: "a7" for 7, "a21f3" for 21.3, "a21f10" for 21.10.
QString cellName(const QString& tid);

// Headings and cells for the items in paper order (sections follow each other).
SheetLayout layOutAnswerSheet(const std::vector<store::PaperItem>& items);

// The heading of a section in the sheet, and the notice shown when the paper
// starts with it; empty for an unknown code.
QString sectionHeading(const QString& lx);
QString sectionStartNotice(const QString& lx);
// The prompt when a section is entered for the first time.
QString sectionPrompt(const QString& lx);

} // namespace exam
