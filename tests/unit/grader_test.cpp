#include "fixture_bank.h"
#include "other_program.h"
#include "practice/answer_match.h"
#include "practice/grader.h"
#include "practice/score_report.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "store/tally_statements.h"

#include <gtest/gtest.h>

using collections::ViewMode;
using practice::gradeChapter;
using testing_support::FixtureBank;
using testing_support::OtherProgram;

namespace {

constexpr int chapter = 101;

// A chapter bank; groups get consecutive ids, questions and their options are
// added as a case needs them.
class Grader : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        rows.addType({3, "1", "单选"});
        rows.addType({6, "4", "多选"});
        rows.addType({10, "8", practice::caseHeading});
        rows.addType({11, "9", practice::matchingHeading});
        rows.addNode({chapter, "章", 0, 1, {}, {}});
    }

    int group(int type) {
        fixture.rows().addGroup({++lastGroup, chapter, type, {}, "5"});
        groupTypes[lastGroup] = type;
        return lastGroup;
    }

    // A question with options A–D (none in matching groups).
    void question(qint64 id, int groupId, const QString& answer, bool favourite = false) {
        store::Question q;
        q.id = id;
        q.readtextid = groupId;
        q.answer = answer;
        q.scbt = favourite ? "1" : "";
        fixture.rows().addQuestion(q);
        if (groupTypes.value(groupId, 0) == 11)
            return;
        for (int i = 0; i < 4; ++i)
            fixture.rows().addOption({id * 10 + i, id, QString(QChar('A' + i)), "选项"});
    }

    // Ticks the given letters of question id (every option present).
    void tick(qint64 id, const QString& letters) {
        for (int i = 0; i < 4; ++i) {
            const QString letter(QChar('A' + i));
            controls.insert(QString::number(id * 10 + i), {letters.contains(letter), letter});
        }
    }

    practice::GradingResult grade(ViewMode mode = ViewMode::WholeBank) {
        if (!finished) {
            fixture.finish();
            finished = true;
        }
        return gradeChapter(bank, chapter, mode, controls, QDateTime::currentDateTime());
    }

    std::vector<std::pair<QString, QString>> storedTallies() {
        std::vector<std::pair<QString, QString>> rows;
        for (const store::Tally& t : store::tallies(bank))
            rows.emplace_back(t.tx, t.sts + "/" + t.dd);
        return rows;
    }

    FixtureBank fixture;
    store::Bank bank{fixture.bankPath()};
    web::ControlSnapshot controls;
    QHash<int, int> groupTypes;
    int lastGroup = 0;
    bool finished = false;
};

struct AnswerCase {
    const char* name;
    const char* stored;
    const char* ticked;
    bool correct;
    friend void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.name; }
};

class GraderAnswers : public Grader, public testing::WithParamInterface<AnswerCase> {};

TEST_P(GraderAnswers, CompareMultipleAnswerLettersAsASet) {
    const int g = group(6);
    question(7, g, QString::fromUtf8(GetParam().stored));
    tick(7, QString::fromUtf8(GetParam().ticked));
    const auto result = grade();
    EXPECT_EQ(result.wrongQuestionIds.empty(), GetParam().correct);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraderAnswers,
    testing::Values(AnswerCase{"TickedInAnyOrderReadsAC", "AC", "CA", true},
                    AnswerCase{"StoredOutOfOrderIsRight", "CA", "AC", true},
                    AnswerCase{"BlanksAroundStoredAnswer", "  AC ", "AC", true},
                    AnswerCase{"ControlCharactersAroundStoredAnswer", "\tAC\r\n", "AC", true},
                    AnswerCase{"OneLetterMissing", "ACD", "AC", false},
                    AnswerCase{"OneLetterTooMany", "AC", "ACD", false},
                    AnswerCase{"NothingTicked", "A", "", false},
                    AnswerCase{"LowerCaseIsDifferent", "a", "A", false},
                    AnswerCase{"BlanksBetweenLettersCount", "A C", "AC", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Grader, WrongQuestionsAreFlaggedAndTalliesWritten) {
    const int g = group(3);
    question(1, g, "A");
    question(2, g, "B");
    tick(1, "A");
    tick(2, "C");
    // A question of another chapter that was wrong last time.
    fixture.rows().addQuestion([] {
        store::Question q;
        q.id = 99;
        q.readtextid = 999;
        q.ct = q.ct1 = "1";
        return q;
    }());
    const auto result = grade();
    EXPECT_EQ(result.wrongQuestionIds, std::vector<qint64>{2});
    EXPECT_EQ(store::questionById(bank, 2)->ct, QString("1"));
    EXPECT_EQ(store::questionById(bank, 2)->ct1, QString("1"));
    EXPECT_EQ(store::questionById(bank, 1)->ct, QString(""));
    EXPECT_EQ(store::questionById(bank, 99)->ct1, QString(""));
    EXPECT_EQ(store::questionById(bank, 99)->ct, QString("1"));
    EXPECT_EQ(storedTallies(),
              (std::vector<std::pair<QString, QString>>{{"单选", "2/1"},
                                                        {practice::typeBHeading, "0/0"},
                                                        {practice::a3a4Heading, "0/0"}}));
}

TEST_F(Grader, KnownHeadingsAreMergedAfterTheGroupRows) {
    const int firstCase = group(10), matching = group(11), single = group(3),
              secondCase = group(10);
    for (int id : {11, 12, 13})
        question(id, firstCase, "A");
    for (int id : {21, 22, 23})
        question(id, matching, "B");
    question(31, single, "A");
    for (int id : {41, 42, 43, 44})
        question(id, secondCase, "B");
    tick(11, "A"), tick(12, "A"), tick(13, "B");
    for (int id : {21, 22, 23})
        controls.insert(QStringLiteral("a%1").arg(id), {false, "B"});
    tick(31, "A");
    for (int id : {41, 42, 43, 44})
        tick(id, "B");
    grade();
    EXPECT_EQ(storedTallies(),
              (std::vector<std::pair<QString, QString>>{{"单选", "1/1"},
                                                        {practice::matchingHeading, "3/3"},
                                                        {practice::caseHeading, "7/6"},
                                                        {practice::typeBHeading, "0/0"},
                                                        {practice::a3a4Heading, "0/0"}}));
    const QString table = practice::scoreReportFragments(bank).last();
    EXPECT_TRUE(table.contains("<tr align=\"center\"><td>阅读案例多个问题8</td> <td>7</td> "
                               "<td>6</td><td>7</td><td>6</td><td>86%</td> </tr> "));
    EXPECT_FALSE(table.contains(practice::typeBHeading));
    EXPECT_TRUE(table.contains("<td>合  计</td> <td>11</td> "
                               "<td>10</td><td>11</td><td>10</td><td>91%</td> </tr> </table>"));
}

TEST_F(Grader, MatchingQuestionLeftAtThePlaceholderIsWrong) {
    const int g = group(11);
    question(7, g, "A");
    controls.insert("a7", {false, "daan"});
    EXPECT_EQ(grade().wrongQuestionIds, std::vector<qint64>{7});
}

TEST_F(Grader, FavouritesViewGradesOnlyFavouritesAndNotesEmptyGroups) {
    const int first = group(3), second = group(6);
    question(1, first, "A", true);
    question(2, second, "A");
    tick(1, "B");
    const auto result = grade(ViewMode::Favourites);
    EXPECT_EQ(result.wrongQuestionIds, std::vector<qint64>{1});
    EXPECT_EQ(storedTallies().at(1), (std::pair<QString, QString>{"多选", "0/0"}));
    store::deleteEmptyTallies(bank);
    EXPECT_EQ(store::tallies(bank).size(), 1u);
}

TEST_F(Grader, MissingControlWritesNothing) {
    const int g = group(3);
    question(1, g, "A");
    question(2, g, "A");
    tick(1, "B");
    fixture.rows().addQuestion([] {
        store::Question q;
        q.id = 99;
        q.readtextid = 999;
        q.ct1 = "1";
        return q;
    }());
    fixture.finish();
    finished = true;
    store::insertTally(bank, {"上次", "3", "2"});
    EXPECT_THROW(grade(), practice::MissingControl);
    EXPECT_EQ(store::questionById(bank, 1)->ct, QString(""));
    EXPECT_EQ(store::questionById(bank, 99)->ct1, QString("1"));
    EXPECT_EQ(storedTallies(), (std::vector<std::pair<QString, QString>>{{"上次", "3/2"}}));
}

// Options stored B, A give the answer "BA" when both are ticked.
TEST_F(Grader, CheckBoxesStoredOutOfLetterOrderCanBeAnsweredRight) {
    for (const int type : {6, 10}) {
        const int g = group(type);
        const qint64 id = 50 + type;
        store::Question q;
        q.id = id;
        q.readtextid = g;
        q.answer = "AB";
        fixture.rows().addQuestion(q);
        fixture.rows().addOption({id * 10 + 1, id, "B", "乙"});
        fixture.rows().addOption({id * 10 + 2, id, "A", "甲"});
        controls.insert(QString::number(id * 10 + 1), {true, "B"});
        controls.insert(QString::number(id * 10 + 2), {true, "A"});
    }
    EXPECT_EQ(grade().wrongQuestionIds, std::vector<qint64>());
}

// Grading marks the question answered, not the one whose id it would wrap onto.
TEST_F(Grader, IdsBeyond32BitsGradeTheirOwnQuestions) {
    constexpr qint64 beyond31Bits = (qint64(1) << 31) + 1;
    constexpr qint64 beyond32Bits = (qint64(1) << 32) + 14001;
    const int g = group(3);
    for (const qint64 id : {qint64(14001), beyond31Bits, beyond32Bits})
        question(id, g, "A");
    tick(14001, "A");
    tick(beyond31Bits, "A");
    tick(beyond32Bits, "B");
    EXPECT_EQ(grade().wrongQuestionIds, std::vector<qint64>{beyond32Bits});
    EXPECT_EQ(store::questionById(bank, 14001)->ct, QString(""));
    EXPECT_EQ(store::questionById(bank, beyond31Bits)->ct, QString(""));
    EXPECT_EQ(store::questionById(bank, beyond32Bits)->ct, QString("1"));
}

// Another program reading the bank keeps grading from writing: nothing changes.
TEST_F(Grader, BankHeldByAnotherProgramIsReportedAndKeepsItsFlags) {
    const int g = group(3);
    question(1, g, "A");
    tick(1, "B");
    fixture.finish();
    finished = true;
    store::insertTally(bank, {"上次", "3", "2"});
    bank.close();
    OtherProgram reader(fixture.bankPath());
    reader.run("BEGIN");
    reader.run("SELECT count(*) FROM question");
    QString message;
    try {
        grade();
    } catch (const store::StoreError& error) {
        message = error.message();
    }
    EXPECT_TRUE(message.contains(fixture.bankPath())) << message.toStdString();
    EXPECT_TRUE(message.contains("正被其他程序使用")) << message.toStdString();
    reader.run("COMMIT");
    bank.reopen();
    EXPECT_EQ(store::questionById(bank, 1)->ct, QString(""));
    EXPECT_EQ(storedTallies(), (std::vector<std::pair<QString, QString>>{{"上次", "3/2"}}));
}

struct MatchCase {
    const char* name;
    const char* given;
    const char* stored;
    practice::AnswerKind kind;
    bool right;
    friend void PrintTo(const MatchCase& c, std::ostream* out) { *out << c.name; }
};

class AnswerMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(AnswerMatch, ComparesByKind) {
    EXPECT_EQ(practice::isRightAnswer(QString::fromUtf8(GetParam().given),
                                      QString::fromUtf8(GetParam().stored), GetParam().kind),
              GetParam().right);
}

using practice::AnswerKind;
INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerMatch,
    testing::Values(MatchCase{"SetInAnyOrder", "BA", "AB", AnswerKind::LetterSet, true},
                    MatchCase{"SetWithBlanksAround", "AB", " BA\r\n", AnswerKind::LetterSet, true},
                    MatchCase{"SetMissingALetter", "A", "AB", AnswerKind::LetterSet, false},
                    MatchCase{"SetWithALetterTooMany", "ABC", "AB", AnswerKind::LetterSet, false},
                    MatchCase{"SetOfNothing", "", "", AnswerKind::LetterSet, true},
                    MatchCase{"ExactKeepsOrder", "BA", "AB", AnswerKind::Exact, false},
                    MatchCase{"ExactWithBlanksAround", "B", "\tB ", AnswerKind::Exact, true},
                    MatchCase{"ExactDropDownValue", "daan", "B", AnswerKind::Exact, false},
                    MatchCase{"ExactIsCaseSensitive", "b", "B", AnswerKind::Exact, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreReport, PercentagesRoundHalvesUp) {
    const std::tuple<int, int, int> cases[] = {{2, 3, 67}, {1, 8, 13}, {3, 3, 100}, {0, 0, 0},
                                               {6, 7, 86}, {0, 5, 0},  {1, 200, 1}};
    for (const auto& [correct, questions, percent] : cases)
        EXPECT_EQ(practice::percentage(correct, questions), percent) << correct << "/" << questions;
}

TEST(ScoreReport, TableTextIsExact) {
    EXPECT_EQ(practice::scoreTable({}),
              "<br><br>  <table align=\"center\"  border=1 bordercolor=skyblue cellpadding=\"0\" "
              "cellspacing=\"0\" class=\"table1\"  ><tr> <th class=\"table3\"  >题  型</th> <th "
              "class=\"table4\"  >试 题 数</th>  <th class=\"table3\"   > 答  对 </th>  <th "
              "class=\"table3\"  > 总  分 </th>  <th class=\"table3\"  > 得  分 </th>  <th "
              "class=\"table3\"  >正 确 率</th> </tr> <tr align=\"center\"><td>合  计</td> "
              "<td>0</td> <td>0</td><td>0</td><td>0</td><td>0%</td> </tr> </table>");
}

} // namespace
