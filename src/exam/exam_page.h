#pragma once

#include "store/bank.h"
#include "store/rows.h"

#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

// The page of one paper item in the exam window: the fragments appended to the
// template, and the stored choices to put back on it.
namespace exam {

enum class ExamPageVariant {
    FirstPage,  // the first item of a new paper: picture, short matching lines
    Navigation, // previous and next: picture, long matching lines
    Jump,       // an answer-sheet cell: no picture, long matching lines
    Review,     // a cell after hand-in: no picture, short lines, correct answers
};

struct ExamPage {
    QString lx;
    QStringList fragments;
    // Inputs whose letter is among the stored answer.
    QStringList checkedIds;
    // Matching drop-downs by id, with the letter stored for each.
    std::vector<std::pair<QString, QString>> selectValues;
};

// The page of the item whose `tid` is exactly `tid`; none when the paper has no
// such item. Throws StoreError.
std::optional<ExamPage> buildExamPage(store::Bank& bank, const QString& tid,
                                      ExamPageVariant variant);

// One script that ticks the page's checked inputs and sets its drop-downs.
QString restoreChoicesScript(const ExamPage& page);

// The input a released letter key ticks on the page of `tid`: only single-choice
// items have one, and only for a letter among their options.
std::optional<QString> optionForLetter(store::Bank& bank, const QString& tid, QChar letter);

// The bank id an item's `tgid` names: the question of a1–a3 items, the group
// of a4 items. Throws StoreError for a text that is no id.
qint64 itemTargetId(const store::PaperItem& item);

} // namespace exam
