#pragma once

#include "store/bank.h"

#include <vector>

namespace record {

inline constexpr int weakPointLimit = 50;

// The questions of a drill of weak points: those whose answers were found
// wrong most often, in practice, drills and exams, and not answered right
// since their last wrong answer. A question left blank was not answered. A
// case or matching question brings its whole group; a group that would take
// the drill past `limit` questions is left out. Empty when the bank keeps no
// record; throws store::OwnTablesUnusable when its record cannot be read, and
// StoreError.
std::vector<qint64> weakPointQuestions(store::Bank& bank, int limit = weakPointLimit);

} // namespace record
