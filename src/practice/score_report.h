#pragma once

#include "store/bank.h"
#include "store/rows.h"

#include <QStringList>
#include <vector>

namespace practice {

// dd of sts as a whole percentage, halves rounded up: 2 of 3 → 67, 1 of 8 → 13;
// 0 when nothing was graded.
int percentage(int correct, int questions);

// The score table: one row per tally in stored order, then the total row.
QString scoreTable(const std::vector<store::Tally>& tallies);

// Drops the empty tallies of the last grading and returns the result page's
// fragments: its title and the score table.
QStringList scoreReportFragments(store::Bank& bank);

} // namespace practice
