#pragma once

#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/question_statements.h"

#include <optional>
#include <vector>

// What a random draw reads: a pool of questions as ids, and the places of
// the few it draws.
namespace store {

// The questions of the chapters `treeIds` (only those carrying `flag` when
// given) as three lists of equal length, in the order the database finds
// them: the same each time for the same bank, but not the stored order.
struct QuestionPool {
    std::vector<qint64> ids;
    std::vector<qint64> groupIds;
    std::vector<qint64> typeIds; // of each question's group
};
QuestionPool questionPoolOfChapters(Bank& bank, const std::vector<qint64>& treeIds,
                                    std::optional<CollectionFlag> flag);
// The places of the questions `ids`, in stored order.
std::vector<QuestionPlace> questionPlacesWithIds(Bank& bank, const std::vector<qint64>& ids);

} // namespace store
