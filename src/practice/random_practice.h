#pragma once

#include "collections/view_mode.h"
#include "exam/paper_drawer.h"
#include "store/bank.h"
#include "store/rows.h"

#include <vector>

namespace practice {

// The counts the page bar offers.
inline constexpr int randomPracticeCounts[] = {10, 20, 50, 100};

// Questions drawn for a page of their own: the groups that hold them, in the
// order a chapter shows groups (by type, then stored order), and the drawn
// questions of each, in stored order.
struct PracticeSelection {
    std::vector<store::QuestionGroup> groups;
    std::vector<store::Question> questions;
    int questionCount() const { return int(questions.size()); }
};

// Draws up to `count` questions at random from the chapters `chapterIds` as
// `mode` shows them (only the collection's questions in a collection view).
// A case or matching group is drawn whole, as one piece: one that would take
// the page past `count` is passed over, unless the page would otherwise stay
// empty. Questions of the other types are drawn one by one. Throws StoreError.
PracticeSelection drawRandomPractice(store::Bank& bank, const std::vector<qint64>& chapterIds,
                                     collections::ViewMode mode, int count,
                                     exam::RandomSource& random);

} // namespace practice
