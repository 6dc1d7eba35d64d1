#pragma once

#include "store/bank.h"
#include "store/rows.h"

#include <vector>

// The tally of the most recent grading (`fenshu`), one row per type heading.
namespace store {

void clearTallies(Bank& bank);
std::vector<Tally> tallies(Bank& bank);
std::vector<Tally> talliesWithHeading(Bank& bank, const QString& heading);
void deleteTalliesWithHeading(Bank& bank, const QString& heading);
// Rows with no graded question never reach the score report.
void deleteEmptyTallies(Bank& bank);
void insertTally(Bank& bank, const Tally& tally);

} // namespace store
