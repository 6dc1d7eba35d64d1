#pragma once

#include "store/bank.h"
#include "store/collection_flag.h"

#include <QString>
#include <vector>

// The two collections a user keeps: favourites and the wrong-question bank.
namespace collections {

struct Collection {
    store::CollectionFlag flag;
    QString viewKey;      // the tree header's caption while it is shown
    QString emptyMessage; // shown instead of an empty view
};

const Collection& favourites();
const Collection& wrongQuestions();

// Flags exactly the chapters that directly hold a question of the collection,
// in one transaction.
void recomputeNodeFlags(store::Bank& bank, store::CollectionFlag flag);

// Takes the questions at the ticked positions of the wrong-question list (the
// bank's wrong questions in id order) out of the bank, in one transaction.
void removeFromWrongBank(store::Bank& bank, const std::vector<bool>& ticked);

} // namespace collections
