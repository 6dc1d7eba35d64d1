#include "exam/exam_session.h"
#include "fixture_bank.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"

#include <gtest/gtest.h>

using exam::CellColour;
using exam::Move;
using testing_support::FixtureBank;

namespace {

// Singles 1–3 (questions 1–3, answer B), multiples 4–5 (questions 4–5, answer
// ACD), a matching group 6 of three sub-questions 61–63 (answers A, B, C).
// Options of question q are q·10+1 … q·10+4 (A–D).
class ExamSessionTest : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        rows.addGroup({1, 1, 3, {}, {}});
        rows.addGroup({2, 1, 6, {}, {}});
        rows.addGroup({6, 1, 11, "配伍", "5"});
        for (int id = 1; id <= 5; ++id) {
            store::Question q;
            q.id = id;
            q.readtextid = id <= 3 ? 1 : 2;
            q.answer = id <= 3 ? "B" : "ACD";
            rows.addQuestion(q);
            for (int i = 0; i < 4; ++i)
                rows.addOption({id * 10 + 1 + i, id, QString(QChar(u'A' + i)), "选项"});
        }
        const char* answers[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            store::Question q;
            q.id = 61 + i;
            q.readtextid = 6;
            q.answer = answers[i];
            q.itemnum = QString::number(i + 1);
            q.lx = "a4";
            rows.addQuestion(q);
        }
        fixture.finish();
        bank = std::make_unique<store::Bank>(fixture.bankPath());
        for (int id = 1; id <= 5; ++id)
            items.push_back({QString::number(id),
                             id <= 3 ? "a1" : "a2",
                             {},
                             {},
                             QString::number(id),
                             id <= 3 ? "B" : "ACD",
                             {},
                             {},
                             {}});
        items.push_back({"6", "a4", "配伍", {}, "6", {}, {}, "5", {}});
        for (const store::PaperItem& item : items)
            store::insertPaperItem(*bank, item);
        session = std::make_unique<exam::ExamSession>(*bank, items);
    }

    // The page of question q with `letters` ticked.
    static web::ControlSnapshot ticked(int q, const QString& letters) {
        web::ControlSnapshot controls;
        for (int i = 0; i < 4; ++i) {
            const QString letter(QChar(u'A' + i));
            controls.insert(QString::number(q * 10 + 1 + i), {letters.contains(letter), letter});
        }
        return controls;
    }
    static web::ControlSnapshot matching(const QStringList& values) {
        web::ControlSnapshot controls;
        for (int i = 0; i < values.size(); ++i)
            controls.insert(QString::number(61 + i), {false, values[i]});
        return controls;
    }
    QString stored(const QString& tid) { return store::paperItemByTid(*bank, tid)->tjda; }
    exam::SessionStep next(int q, const QString& letters) {
        return session->move(Move::Next, ticked(q, letters));
    }

    FixtureBank fixture;
    std::unique_ptr<store::Bank> bank;
    std::vector<store::PaperItem> items;
    std::unique_ptr<exam::ExamSession> session;
};

TEST_F(ExamSessionTest, NextSavesTheTickedLettersInOptionOrderAndCountsBeforeSaving) {
    const exam::SessionStep step = next(1, "");
    EXPECT_EQ(step.answeredCount, 1) << "one more than the answered rows before the click";
    EXPECT_EQ(step.paints.front().colour, CellColour::LeftBlank);
    EXPECT_EQ(step.pageTid, "2");
    EXPECT_EQ(session->currentTid(), "2");
    next(2, "B");
    EXPECT_EQ(stored("2"), "B");
    session->move(Move::Jump, ticked(3, ""), "4");
    EXPECT_EQ(session->currentTid(), "3") << "a single-choice row is still open";
}

TEST_F(ExamSessionTest, TheTypeRuleHoldsBothWaysAndKeepsTheSavedAnswer) {
    next(1, "B");
    next(2, "B");
    exam::SessionStep refused = next(3, "");
    EXPECT_EQ(refused.messages, QStringList{"请答完您所答的题型，才允许做您选择的题型"});
    EXPECT_FALSE(refused.pageTid);
    EXPECT_EQ(refused.paints.back().colour, CellColour::Current);
    const exam::SessionStep allowed = next(3, "C");
    EXPECT_EQ(stored("3"), "C");
    EXPECT_EQ(allowed.messages, QStringList{"多项选择题，里边有多个正确答案"});
    EXPECT_EQ(session->currentTid(), "4");

    refused = session->move(Move::Previous, ticked(4, "A"));
    EXPECT_EQ(refused.messages, QStringList{"请答完您所答的题型，才允许做您选择的题型"});
    EXPECT_EQ(stored("4"), "A") << "a refused move keeps the saved answer";
    EXPECT_EQ(session->currentTid(), "4");
    next(4, "A");
    const exam::SessionStep back = session->move(Move::Previous, ticked(5, "AB"));
    EXPECT_TRUE(back.messages.isEmpty()) << "no prompt into a started type, none within a type";
}

// The window writes the answer left behind once the next page is on its way.
TEST_F(ExamSessionTest, AHeldAnswerCountsForEveryRuleAndIsWrittenBeforeTheNextAction) {
    next(1, "B");
    next(2, "B");
    // The last open single-choice item, answered but not yet written, opens
    // the multiple-choice section with its prompt.
    const exam::SessionStep across = session->prepareMove(Move::Next, ticked(3, "C"));
    EXPECT_EQ(across.pageTid, std::optional<QString>("4"));
    EXPECT_EQ(across.messages, QStringList{"多项选择题，里边有多个正确答案"});
    EXPECT_EQ(session->pendingTid(), "3");
    EXPECT_EQ(stored("3"), "") << "held until written";
    session->savePendingAnswer();
    EXPECT_EQ(stored("3"), "C");
    EXPECT_EQ(session->pendingTid(), "");

    // A held answer not written by the window is written by the next action,
    // before the answers are counted.
    session->prepareMove(Move::Next, ticked(4, "AC"));
    const exam::SessionStep following = session->prepareMove(Move::Previous, ticked(5, ""));
    EXPECT_EQ(stored("4"), "AC");
    EXPECT_EQ(following.answeredCount, std::optional<int>(5));
    session->prepareMove(Move::Next, ticked(4, "ACD"));
    session->handIn(ticked(5, "B"));
    EXPECT_EQ(stored("4"), "ACD") << "hand-in writes the held answer first";
    EXPECT_EQ(stored("5"), "B");
}

TEST_F(ExamSessionTest, TheEndsOfThePaperShowTheSameItemAgain) {
    const exam::SessionStep first = session->move(Move::Previous, ticked(1, "A"));
    EXPECT_TRUE(first.messages.isEmpty());
    EXPECT_EQ(first.pageTid, "1");
    session->move(Move::Jump, ticked(1, "B"), "2");
    session->move(Move::Jump, ticked(2, "B"), "3");
    session->move(Move::Jump, ticked(3, "B"), "4");
    session->move(Move::Jump, ticked(4, "A"), "5");
    session->move(Move::Jump, ticked(5, "A"), "6");
    EXPECT_EQ(session->currentTid(), "6");
    const exam::SessionStep last = session->move(Move::Next, matching({"A", "B", "C"}));
    EXPECT_EQ(last.pageTid, "6");
    EXPECT_TRUE(last.messages.isEmpty());
}

TEST_F(ExamSessionTest, AClearedMultipleChoiceKeepsItsOldAnswerButIsPaintedAsLeftBlank) {
    store::setPaperAnswer(*bank, "4", "ACD");
    session = std::make_unique<exam::ExamSession>(*bank, items);
    session->move(Move::Jump, ticked(1, "B"), "2");
    session->move(Move::Jump, ticked(2, "B"), "3");
    session->move(Move::Jump, ticked(3, "B"), "4");
    const exam::SessionStep step = session->move(Move::Next, ticked(4, ""));
    EXPECT_EQ(stored("4"), "ACD");
    EXPECT_EQ(step.paints.front().colour, CellColour::LeftBlank);
}

TEST_F(ExamSessionTest, MatchingGroupsStoreTheirLettersAndAllPlaceholdersClearThem) {
    for (const char* tid : {"2", "3", "4", "5", "6"})
        session->move(Move::Jump, ticked(session->currentTid().toInt(), "B"), tid);
    ASSERT_EQ(session->currentTid(), "6");
    session->move(Move::Next, matching({"C", "A", "E"}));
    EXPECT_EQ(stored("6"), "EAC");
    EXPECT_EQ(store::questionById(*bank, 62)->lx, "A");
    const exam::SessionStep cleared = session->move(Move::Next, matching({"daan", "daan", "daan"}));
    EXPECT_EQ(stored("6"), "");
    EXPECT_EQ(store::questionById(*bank, 61)->lx, "");
    EXPECT_EQ(cleared.paints.front().colour, CellColour::LeftBlank);
    // A page that is not the group's keeps what was stored.
    session->move(Move::Next, matching({"A", "B", "C"}));
    session->move(Move::Next, web::ControlSnapshot{});
    EXPECT_EQ(stored("6"), "CBA");
}

TEST_F(ExamSessionTest, HandInGradesEveryItemAndShowsTheTable) {
    store::setPaperAnswer(*bank, "1", "B");
    store::setPaperAnswer(*bank, "2", "C");
    store::setPaperAnswer(*bank, "4", "AC");
    store::setPaperAnswer(*bank, "5", "DCA");
    store::setQuestionLx(*bank, 61, "A");
    store::setQuestionLx(*bank, 62, "B");
    store::setQuestionLx(*bank, 63, "D");
    // Question 3 is on screen with B ticked and never saved by a move.
    session->move(Move::Jump, ticked(1, "B"), "3");
    const exam::SessionStep step = session->handIn(ticked(3, "B"));
    EXPECT_EQ(stored("3"), "B");
    std::map<QString, CellColour> colours;
    for (const exam::CellPaint& paint : step.paints)
        colours[paint.tid] = paint.colour;
    EXPECT_EQ(colours["1"], CellColour::Right);
    EXPECT_EQ(colours["2"], CellColour::Wrong);
    EXPECT_EQ(colours["4"], CellColour::Wrong) << "AC against ACD";
    EXPECT_EQ(colours["5"], CellColour::Right) << "the same letters in another order";
    EXPECT_EQ(colours["6"], CellColour::Wrong) << "two of three sub-questions right";
    EXPECT_TRUE(step.resultTable.contains(
        "<tr align=\"center\"><td>单项选择题</td> <td>3</td> <td>2</td><td>3</td><td>2</td>"
        "<td>67%</td> </tr> "));
    EXPECT_TRUE(step.resultTable.contains("<td>配伍选择题</td> <td>3</td> <td>2</td>"));
    EXPECT_FALSE(step.resultTable.contains("案例分析题"));
    EXPECT_TRUE(step.resultTable.contains("<td>合  计</td> <td>8</td> <td>5</td><td>8</td>"
                                          "<td>5</td><td>63%</td> </tr> </table>"));
    EXPECT_EQ(session->handIn(ticked(3, "")).messages, QStringList{"您已经交卷，不能重复交卷！"});
    EXPECT_EQ(session->move(Move::Next, {}).messages,
              QStringList{"您已经交卷，不能进行\"下一题\"的操作！"});
    const exam::SessionStep review = session->move(Move::Jump, {}, "2");
    EXPECT_EQ(review.variant, exam::ExamPageVariant::Review);
    EXPECT_EQ(review.pageTid, "2");
    EXPECT_TRUE(review.paints.empty());
}

TEST(ExamResult, RatesRoundHalvesUpAndAnEmptyPaperShowsZero) {
    EXPECT_EQ(exam::ratePercent(3, 5), 60);
    EXPECT_EQ(exam::ratePercent(2, 3), 67);
    EXPECT_EQ(exam::ratePercent(1, 3), 33);
    EXPECT_EQ(exam::ratePercent(1, 8), 13);
    EXPECT_EQ(exam::ratePercent(0, 0), 0);
    const exam::TypeTally none[4] = {};
    EXPECT_TRUE(exam::resultTable(none).endsWith(
        "<tr align=\"center\"><td>合  计</td> <td>0</td> <td>0</td><td>0</td><td>0</td><td>0%</td> "
        "</tr> </table>"));
}

} // namespace
