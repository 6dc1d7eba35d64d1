#include "exam/exam_session.h"
#include "fixture_bank.h"
#include "other_program.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using exam::CellColour;
using exam::Move;
using testing_support::FixtureBank;

namespace {

// A page's controls as one comparable text, in id order.
std::string answerOn(const web::ControlSnapshot& controls) {
    QStringList states;
    for (auto it = controls.cbegin(); it != controls.cend(); ++it)
        states << it.key() + (it->checked ? QStringLiteral("✓") : QString()) + QStringLiteral("=") +
                      it->value;
    states.sort();
    return states.join(QLatin1Char(' ')).toStdString();
}

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
    QString storedChoices() {
        QString choices;
        for (qint64 id : {61, 62, 63})
            choices += store::questionById(*bank, id)->lx + QStringLiteral("|");
        return choices;
    }
    // What the page built for `tid` now shows: every control by id, ticked
    // and selected as the page restores them.
    web::ControlSnapshot shownOnPage(const QString& tid, exam::ExamPageVariant variant) {
        const std::optional<exam::ExamPage> page = exam::buildExamPage(*bank, tid, variant);
        EXPECT_TRUE(page.has_value()) << tid.toStdString();
        web::ControlSnapshot controls;
        if (!page)
            return controls;
        static const QRegularExpression control(
            QStringLiteral(R"re(id="(\d+)"(?:\s+name="[^"]*"\s+value="([^"]*)")?)re"));
        for (const QString& fragment : page->fragments)
            for (const QRegularExpressionMatch& match : control.globalMatch(fragment)) {
                const QString id = match.captured(1);
                QString value = match.hasCaptured(2) ? match.captured(2) : QStringLiteral("daan");
                for (const auto& [selectId, letter] : page->selectValues)
                    if (selectId == id)
                        value = letter;
                controls.insert(id, {page->checkedIds.contains(id), value});
            }
        return controls;
    }
    // Answers 1–5 with B as a move on each would.
    void answerUpToTheMatchingGroup() {
        for (const char* tid : {"2", "3", "4", "5", "6"})
            session->move(Move::Jump, ticked(session->currentTid().toInt(), "B"), tid);
        ASSERT_EQ(session->currentTid(), "6");
    }
    exam::SessionStep next(int q, const QString& letters) {
        return session->move(Move::Next, ticked(q, letters));
    }

    FixtureBank fixture;
    std::unique_ptr<store::Bank> bank;
    std::vector<store::PaperItem> items;
    std::unique_ptr<exam::ExamSession> session;
};

TEST_F(ExamSessionTest, NextSavesTheTickedLettersInOptionOrderAndCountsWhatIsStored) {
    const exam::SessionStep step = next(1, "");
    EXPECT_EQ(step.answeredCount, 0) << "nothing answered yet";
    EXPECT_EQ(step.paints.front().colour, CellColour::LeftBlank);
    EXPECT_EQ(step.pageTid, "2");
    EXPECT_EQ(session->currentTid(), "2");
    EXPECT_EQ(next(2, "DB").answeredCount, 1);
    EXPECT_EQ(stored("2"), "BD");
    EXPECT_EQ(session->move(Move::Jump, ticked(3, ""), "4").answeredCount, 1)
        << "moving on without answering counts nothing more";
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
    EXPECT_EQ(across.answeredCount, 3) << "the held answer counts";
    EXPECT_EQ(session->heldTid(), "3");
    EXPECT_EQ(stored("3"), "") << "held until written";
    EXPECT_TRUE(session->saveHeldAnswer().errors.isEmpty());
    EXPECT_EQ(stored("3"), "C");
    EXPECT_EQ(session->heldTid(), "");

    // A held answer not written by the window is written by the next action,
    // before the answers are counted.
    session->prepareMove(Move::Next, ticked(4, "AC"));
    const exam::SessionStep following = session->prepareMove(Move::Previous, ticked(5, ""));
    EXPECT_EQ(stored("4"), "AC");
    EXPECT_EQ(following.answeredCount, std::optional<int>(4));
    session->prepareMove(Move::Next, ticked(4, "ACD"));
    session->handIn(ticked(5, "B"));
    EXPECT_EQ(stored("4"), "ACD") << "hand-in writes the held answer first";
    EXPECT_EQ(stored("5"), "B");
}

TEST_F(ExamSessionTest, TheEndsOfThePaperShowTheSameItemAgain) {
    const exam::SessionStep first = session->move(Move::Previous, ticked(1, "A"));
    EXPECT_TRUE(first.messages.isEmpty());
    EXPECT_EQ(first.pageTid, "1");
    answerUpToTheMatchingGroup();
    const exam::SessionStep last = session->move(Move::Next, matching({"A", "B", "C"}));
    EXPECT_EQ(last.pageTid, "6");
    EXPECT_TRUE(last.messages.isEmpty());
}

// Wherever a move shows the item it leaves, the answer is written before the
// step returns, so that the page built next shows it; that page's controls
// then save the same answer again.
TEST_F(ExamSessionTest, AnItemShownAgainShowsTheAnswerJustGiven) {
    const auto showAgain = [&](Move move, const web::ControlSnapshot& controls,
                               const QString& jumpTid = {}) {
        const QString tid = session->currentTid();
        const exam::SessionStep step = session->prepareMove(move, controls, jumpTid);
        EXPECT_EQ(step.pageTid, tid);
        EXPECT_EQ(session->heldTid(), "") << "written before the page is built";
        return shownOnPage(tid, step.variant);
    };
    // Previous on the first item, after changing its answer.
    session->move(Move::Next, ticked(1, "C"));
    session->move(Move::Previous, ticked(2, "B"));
    web::ControlSnapshot page = showAgain(Move::Previous, ticked(1, "D"));
    EXPECT_EQ(answerOn(page), answerOn(ticked(1, "D")));
    EXPECT_EQ(stored("1"), "D");
    session->move(Move::Next, page);
    EXPECT_EQ(stored("1"), "D");

    // Its own cell, on a multiple-choice item.
    session->move(Move::Jump, ticked(2, "B"), "3");
    session->move(Move::Jump, ticked(3, "B"), "4");
    page = showAgain(Move::Jump, ticked(4, "AC"), "4");
    EXPECT_EQ(answerOn(page), answerOn(ticked(4, "AC")));
    session->move(Move::Next, page);
    EXPECT_EQ(stored("4"), "AC");

    // Next on the last item, a matching group.
    session->move(Move::Jump, ticked(5, "B"), "6");
    page = showAgain(Move::Next, matching({"B", "C", "A"}));
    EXPECT_EQ(answerOn(page), answerOn(matching({"B", "C", "A"})));
    EXPECT_EQ(stored("6"), "ACB");
    // And its own cell, with one choice taken back.
    page = showAgain(Move::Jump, matching({"B", "daan", "A"}), "6");
    EXPECT_EQ(answerOn(page), answerOn(matching({"B", "daan", "A"})));
    session->handIn(page);
    EXPECT_EQ(stored("6"), "AB");
    EXPECT_EQ(storedChoices(), "B||A|");
}

// An answer for another item's page is held, for the window to write once
// that page is complete; a move that shows no page writes it at once.
TEST_F(ExamSessionTest, OnlyAMoveToAnotherItemHoldsTheAnswer) {
    session->prepareMove(Move::Next, ticked(1, "B"));
    EXPECT_EQ(session->heldTid(), "1");
    const exam::SessionStep refused = session->prepareMove(Move::Jump, ticked(2, ""), "4");
    EXPECT_FALSE(refused.pageTid);
    EXPECT_EQ(session->heldTid(), "");
    EXPECT_EQ(stored("1"), "B");
}

TEST_F(ExamSessionTest, ClearingEveryBoxWithdrawsTheAnswer) {
    store::setPaperAnswer(*bank, "4", "ACD");
    session = std::make_unique<exam::ExamSession>(*bank, items);
    session->move(Move::Jump, ticked(1, "B"), "2");
    session->move(Move::Jump, ticked(2, "B"), "3");
    session->move(Move::Jump, ticked(3, "B"), "4");
    EXPECT_EQ(answerOn(shownOnPage("4", exam::ExamPageVariant::Jump)), answerOn(ticked(4, "ACD")));
    const exam::SessionStep step = session->move(Move::Next, ticked(4, ""));
    EXPECT_EQ(stored("4"), "");
    EXPECT_EQ(step.paints.front().colour, CellColour::LeftBlank);
    EXPECT_EQ(step.answeredCount, 3);
    session->move(Move::Previous, ticked(5, ""));
    EXPECT_EQ(answerOn(shownOnPage("4", exam::ExamPageVariant::Navigation)),
              answerOn(ticked(4, "")));
    // A page that is not the item's own changes nothing.
    session->move(Move::Jump, ticked(4, "A"), "4");
    session->move(Move::Jump, ticked(5, "B"), "4");
    EXPECT_EQ(stored("4"), "A");
}

TEST_F(ExamSessionTest, AnAnswerThatCannotBeWrittenIsToldAndTheSheetShowsWhatIsStored) {
    session->move(Move::Next, ticked(1, "B"));
    testing_support::OtherProgram holder(fixture.bankPath());
    holder.run("BEGIN IMMEDIATE");
    // Written before the step returns: the same item again.
    exam::SessionStep step = session->prepareMove(Move::Jump, ticked(2, "C"), "2");
    ASSERT_EQ(step.errors.size(), 1);
    EXPECT_TRUE(step.errors[0].startsWith("第 2 题的答案未能保存，请回到该题重新作答。"))
        << step.errors[0].toStdString();
    EXPECT_EQ(step.paints.front().colour, CellColour::LeftBlank);
    EXPECT_EQ(step.paints.back().colour, CellColour::Current) << "still the item on screen";
    EXPECT_EQ(step.answeredCount, 1);
    // Held for another item's page and written after it.
    step = session->prepareMove(Move::Next, ticked(2, "C"));
    EXPECT_EQ(step.answeredCount, 2) << "counted while held";
    step = session->saveHeldAnswer();
    ASSERT_EQ(step.errors.size(), 1);
    ASSERT_EQ(step.paints.size(), 1u);
    EXPECT_EQ(step.paints[0].tid, "2");
    EXPECT_EQ(step.paints[0].colour, CellColour::LeftBlank);
    EXPECT_EQ(step.answeredCount, 1);
    // Hand-in grades nothing without the answer on screen.
    step = session->handIn(ticked(3, "B"));
    EXPECT_EQ(step.errors.size(), 1);
    EXPECT_FALSE(session->handedIn());
    EXPECT_TRUE(step.resultTable.isEmpty());
    holder.run("ROLLBACK");
    EXPECT_EQ(stored("2"), "");
    EXPECT_EQ(stored("3"), "");
    EXPECT_TRUE(session->handIn(ticked(3, "B")).errors.isEmpty());
    EXPECT_TRUE(session->handedIn());
    EXPECT_EQ(stored("3"), "B");
}

TEST_F(ExamSessionTest, MatchingGroupsStoreTheirLettersAndAllPlaceholdersClearThem) {
    answerUpToTheMatchingGroup();
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
