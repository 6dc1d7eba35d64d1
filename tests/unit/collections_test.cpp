#include "collections/collections.h"
#include "fixture_bank.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"

#include <gtest/gtest.h>

using namespace store;
using testing_support::FixtureBank;

namespace {

QStringList flaggedNodes(Bank& bank, std::initializer_list<int> ids) {
    QStringList flagged;
    for (int id : ids) {
        if (nodeById(bank, id)->scbt == "1")
            flagged << QString::number(id);
    }
    return flagged;
}

TEST(Collections, ChapterFlagsFollowTheFavouritesExactly) {
    FixtureBank fixture;
    auto& rows = fixture.rows();
    rows.addNode({1, "总论", 0, 1, {}, {}});
    rows.addNode({10, "节", 1, 0, {}, {}});
    rows.addNode({101, "章一", 10, 0, {}, {}});
    rows.addNode({102, "章二", 10, 0, "1", {}}); // flagged by an earlier visit
    rows.addGroup({1, 101, 3, {}, {}});
    rows.addGroup({2, 101, 6, {}, {}});
    rows.addGroup({3, 102, 3, {}, {}});
    for (const auto& [id, group, favourite] :
         {std::tuple{7, 1, true}, {8, 2, true}, {9, 3, false}}) {
        Question q;
        q.id = id;
        q.readtextid = group;
        q.scbt = favourite ? "1" : "";
        rows.addQuestion(q);
    }
    fixture.finish();
    Bank bank(fixture.bankPath());
    collections::recomputeNodeFlags(bank, CollectionFlag::Favourite);
    EXPECT_EQ(flaggedNodes(bank, {1, 10, 101, 102}), QStringList({"101"}));
}

class WrongBankRemoval : public testing::Test {
protected:
    void SetUp() override {
        for (int id : {12, 5, 9, 20}) {
            Question q;
            q.id = id;
            q.ct = id == 20 ? "" : "1";
            q.ct1 = "1";
            fixture.rows().addQuestion(q);
        }
        fixture.finish();
    }
    QList<int> wrongIds() {
        QList<int> ids;
        for (const Question& q : wrongQuestionsById(bank))
            ids << q.id;
        return ids;
    }
    FixtureBank fixture;
    Bank bank{fixture.bankPath()};
};

TEST_F(WrongBankRemoval, TicksCountInIdOrder) {
    collections::removeFromWrongBank(bank, {false, true, false});
    EXPECT_EQ(wrongIds(), QList<int>({5, 12}));
    EXPECT_EQ(questionById(bank, 9)->ct1, QString("1"));
}

TEST_F(WrongBankRemoval, AllTickedEmptiesTheBankAndNoneChangesNothing) {
    collections::removeFromWrongBank(bank, {false, false, false});
    EXPECT_EQ(wrongIds(), QList<int>({5, 9, 12}));
    collections::removeFromWrongBank(bank, {true, true, true});
    EXPECT_TRUE(wrongIds().isEmpty());
    EXPECT_FALSE(hasFlaggedQuestions(bank, CollectionFlag::Wrong));
}

} // namespace
