#pragma once

#include "store/bank.h"
#include "store/exam_type.h"
#include "store/rows.h"

#include <optional>
#include <vector>

// The mock exam's parameters (`ts`, four rows addressed by position) and its
// drawn paper (`sj`, one row per item in drawing order).
namespace store {

std::vector<ExamParameter> examParameters(Bank& bank);
// position is 0 for the first row; a position the table lacks is an error.
void setExamParameter(Bank& bank, int position, const ExamParameter& parameter);

void clearPaper(Bank& bank);
void insertPaperItem(Bank& bank, const PaperItem& item);
std::vector<PaperItem> paperItems(Bank& bank);
// Looked up by the exact text: "21.3" and "21.30" are different items.
std::optional<PaperItem> paperItemByTid(Bank& bank, const QString& tid);
std::vector<PaperItem> paperItemsOfType(Bank& bank, const QString& lx);
std::vector<PaperItem> answeredPaperItems(Bank& bank);
void setPaperAnswer(Bank& bank, const QString& tid, const QString& answer);
// Gives every question of a group of `type` its section's code in `lx`,
// undoing the letters an earlier exam stored there.
void retagGroupQuestions(Bank& bank, ExamType type);

} // namespace store
