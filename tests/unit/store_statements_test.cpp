#include "fixture_bank.h"
#include "store/bank.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"
#include "store/tally_statements.h"
#include "store/tree_statements.h"

#include <gtest/gtest.h>

using namespace store;
using testing_support::FixtureBank;

namespace {

QStringList idsOf(const auto& rows) {
    QStringList ids;
    for (const auto& row : rows)
        ids << QString::number(row.id);
    return ids;
}

// One top node with two chapters in a section; ids deliberately out of order so
// that stored order and id order differ.
class StoreStatements : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        fixture.addDefaultHeader();
        rows.addType({3, "1", "单选"});
        rows.addType({6, "4", "多选"});
        rows.addNode({9, "总论", 0, 1, {}, {}});
        rows.addNode({8, "第一节", 9, 2, {}, {}});
        rows.addNode({7, "第一章", 8, 3, {}, {}});
        rows.addNode({5, "第二章", 8, 3, {}, {}});
        rows.addGroup({30, 7, 6, {}, {}});
        rows.addGroup({20, 7, 3, {}, {}});
        rows.addGroup({10, 7, 6, {}, {}});
        for (int id : {102, 101, 103}) {
            Question q;
            q.id = id;
            q.readtextid = 20;
            q.content = QStringLiteral("题%1").arg(id);
            q.answer = QStringLiteral("A");
            rows.addQuestion(q);
        }
        fixture.finish();
        bank.open();
    }

    FixtureBank fixture;
    Bank bank{fixture.bankPath()};
};

TEST_F(StoreStatements, ClearedFlagReadsEmptyAndLeavesTheCollection) {
    setQuestionFlag(bank, 101, QuestionFlag::Wrong, true);
    setQuestionFlag(bank, 102, QuestionFlag::Wrong, true);
    EXPECT_EQ(idsOf(flaggedQuestions(bank, CollectionFlag::Wrong)), QStringList({"102", "101"}));

    setQuestionFlag(bank, 101, QuestionFlag::Wrong, false);
    const Question cleared = *questionById(bank, 101);
    EXPECT_TRUE(cleared.ct.isEmpty());
    EXPECT_FALSE(cleared.ct.isNull());
    EXPECT_EQ(idsOf(flaggedQuestions(bank, CollectionFlag::Wrong)), QStringList({"102"}));
    EXPECT_EQ(idsOf(flaggedQuestionsOfGroup(bank, 20, CollectionFlag::Wrong)),
              QStringList({"102"}));
}

TEST_F(StoreStatements, LastGradingFlagsDropOnlyTheirQuestionsFromTheWrongBank) {
    setQuestionFlag(bank, 101, QuestionFlag::Wrong, true);
    setQuestionFlag(bank, 103, QuestionFlag::Wrong, true);
    setQuestionFlag(bank, 103, QuestionFlag::WrongInLastGrading, true);
    dropLastGradingFromWrongBank(bank);
    EXPECT_EQ(idsOf(wrongQuestionsById(bank)), QStringList({"101"}));
    clearLastGradingFlags(bank);
    EXPECT_EQ(questionById(bank, 103)->ct1, QString(""));
}

TEST_F(StoreStatements, ChapterFlagsFollowTheirQuestionsAndClear) {
    setQuestionFlag(bank, 101, QuestionFlag::Favourite, true);
    setQuestionFlag(bank, 103, QuestionFlag::Favourite, true);
    flagNodesHoldingFlaggedQuestions(bank, CollectionFlag::Favourite);
    EXPECT_TRUE(nodeById(bank, 8)->scbt.isEmpty()); // the section above is not flagged
    EXPECT_EQ(idsOf(flaggedChildNodes(bank, 8, CollectionFlag::Favourite)), QStringList({"7"}));
    EXPECT_TRUE(flaggedChildNodes(bank, 8, CollectionFlag::Wrong).empty());

    clearNodeFlags(bank, CollectionFlag::Favourite);
    EXPECT_TRUE(flaggedChildNodes(bank, 8, CollectionFlag::Favourite).empty());
    EXPECT_EQ(nodeById(bank, 7)->scbt, QString(""));
}

TEST_F(StoreStatements, RowsComeBackInStoredOrder) {
    EXPECT_EQ(idsOf(topLevelNodes(bank)), QStringList({"9"}));
    EXPECT_EQ(idsOf(childNodes(bank, 8)), QStringList({"7", "5"}));
    // Groups by type first, then as stored.
    EXPECT_EQ(idsOf(groupsOfChapter(bank, 7)), QStringList({"20", "30", "10"}));
    EXPECT_EQ(idsOf(questionsOfGroup(bank, 20)), QStringList({"102", "101", "103"}));
    EXPECT_EQ(idsOf(wrongQuestionsById(bank)), QStringList());
    EXPECT_EQ(idsOf(groupsOfExamType(bank, ExamType::MultipleChoice)), QStringList({"30", "10"}));
    EXPECT_FALSE(nodeById(bank, 4).has_value());
}

TEST_F(StoreStatements, TransactionKeepsAllOrNothing) {
    EXPECT_THROW(bank.inTransaction([&] {
        setQuestionFlag(bank, 101, QuestionFlag::Favourite, true);
        throw StoreError("stop");
    }),
                 StoreError);
    EXPECT_TRUE(flaggedQuestions(bank, CollectionFlag::Favourite).empty());

    bank.inTransaction([&] {
        setQuestionFlag(bank, 101, QuestionFlag::Favourite, true);
        bank.inTransaction([&] { setQuestionFlag(bank, 102, QuestionFlag::Favourite, true); });
    });
    bank.reopen();
    EXPECT_EQ(flaggedQuestions(bank, CollectionFlag::Favourite).size(), 2u);
}

TEST_F(StoreStatements, ClosedConnectionReopensForTheNextStatement) {
    bank.close();
    EXPECT_FALSE(bank.isOpen());
    EXPECT_EQ(questionsOfGroup(bank, 20).size(), 3u);
    EXPECT_TRUE(bank.isOpen());
}

TEST_F(StoreStatements, PaperItemsAreFoundByTheirExactNumberText) {
    for (const char* tid : {"7", "21.3", "21.1"})
        insertPaperItem(bank, {tid, "a3", {}, {}, {}, {}, {}, {}, {}});
    EXPECT_EQ(paperItemByTid(bank, "21.3")->tid, QString("21.3"));
    EXPECT_EQ(paperItemByTid(bank, "7")->tid, QString("7"));
    EXPECT_FALSE(paperItemByTid(bank, "21.30").has_value());
    EXPECT_FALSE(paperItemByTid(bank, "7.0").has_value());

    setPaperAnswer(bank, "21.3", "AC");
    const auto answered = answeredPaperItems(bank);
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].tjda, QString("AC"));
    EXPECT_EQ(paperItems(bank)[0].tjda, QString(""));
    clearPaper(bank);
    EXPECT_TRUE(paperItems(bank).empty());
}

TEST_F(StoreStatements, EmptyTalliesNeverReachTheReport) {
    insertTally(bank, {"单选", "3", "2"});
    insertTally(bank, {"多选", "0", "0"});
    insertTally(bank, {"单选", "2", "2"});
    EXPECT_EQ(talliesWithHeading(bank, "单选").size(), 2u);
    deleteEmptyTallies(bank);
    const auto rows = tallies(bank);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].sts, QString("3"));
    EXPECT_EQ(rows[1].sts, QString("2"));
    deleteTalliesWithHeading(bank, "单选");
    EXPECT_TRUE(tallies(bank).empty());
}

TEST_F(StoreStatements, ExamParametersAreAddressedByPosition) {
    setExamParameter(bank, 2, {"5", "0"});
    const auto parameters = examParameters(bank);
    ASSERT_EQ(parameters.size(), 4u);
    EXPECT_EQ(parameters[0].txs, QString("20"));
    EXPECT_EQ(parameters[2].txs, QString("5"));
    EXPECT_THROW(setExamParameter(bank, 4, {"1", "1"}), StoreError);
}

TEST(StoreOptions, OptionsComeInStoredOrderWhateverTheirIds) {
    FixtureBank fixture;
    fixture.rows().addOption({2, 1, "B", "乙"});
    fixture.rows().addOption({1, 1, "A", "甲"});
    fixture.finish();
    Bank bank(fixture.bankPath());
    QString letters;
    for (const Option& option : optionsOfQuestion(bank, 1))
        letters += option.code;
    EXPECT_EQ(letters, QString("BA"));
}

TEST(StorePictures, BlankPictureNameMeansNoPicture) {
    Question question;
    for (const auto& [name, expected] :
         std::vector<std::pair<QString, bool>>{{"", false}, {"   ", false}, {"pic/a.svg", true}}) {
        question.picurl = name;
        EXPECT_EQ(hasPicture(question), expected) << name.toStdString();
    }
}

} // namespace
