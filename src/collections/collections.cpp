#include "collections/collections.h"

#include "collections/view_mode.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"

namespace collections {

const Collection& favourites() {
    static const Collection collection{store::CollectionFlag::Favourite, favouritesViewKey,
                                       QStringLiteral("您没有收藏试题！")};
    return collection;
}

const Collection& wrongQuestions() {
    static const Collection collection{store::CollectionFlag::Wrong, wrongQuestionsViewKey,
                                       QStringLiteral("您没有错题！")};
    return collection;
}

void recomputeNodeFlags(store::Bank& bank, store::CollectionFlag flag) {
    bank.inTransaction([&] {
        store::clearNodeFlags(bank, flag);
        store::flagNodesHoldingFlaggedQuestions(bank, flag);
    });
}

void removeFromWrongBank(store::Bank& bank, const std::vector<bool>& ticked) {
    bank.inTransaction([&] {
        const std::vector<store::Question> rows = store::wrongQuestionsById(bank);
        for (size_t row = 0; row < rows.size() && row < ticked.size(); ++row) {
            if (ticked[row])
                store::setQuestionFlag(bank, rows[row].id, store::QuestionFlag::Wrong, false);
        }
    });
}

} // namespace collections
