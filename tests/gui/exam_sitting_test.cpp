#include "exam/answer_sheet.h"
#include "exam/exam_window.h"
#include "exam_support.h"
#include "fixture_bank.h"
#include "other_program.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <map>

using testing_support::waitUntil;

namespace {

// Singles 1–2 (answer B) and multiples 3–4 (answer AD), options q·10+1 …
// q·10+4 (A–D); matching group 5 over five letters, sub-questions 51–54
// (answers B, C, A, E). The drawing takes all of them, in this order.
void addPaperContent(store::BankBuilder& rows) {
    rows.setSubject({QStringLiteral("测试科目"), QStringLiteral("test")});
    rows.setQuestionCount(QStringLiteral("0"));
    for (const char* count : {"2", "2", "0", "1"})
        rows.addExamParameter({QString::fromLatin1(count), QStringLiteral("0")});
    rows.addType({3, "1", "单选"});
    rows.addType({6, "4", "多选"});
    rows.addType({11, "9", "配伍"});
    rows.addGroup({1, 101, 3, {}, {}});
    rows.addGroup({2, 101, 6, {}, {}});
    rows.addGroup({5, 101, 11, "共用备选", "5"});
    for (int id = 1; id <= 4; ++id) {
        store::Question question;
        question.id = id;
        question.readtextid = id <= 2 ? 1 : 2;
        question.content = QStringLiteral("题干%1").arg(id);
        question.answer = id <= 2 ? "B" : "AD";
        rows.addQuestion(question);
        for (int i = 0; i < 4; ++i)
            rows.addOption({id * 10 + 1 + i, id, QString(QChar(u'A' + i)), "选项"});
    }
    const char* answers[] = {"B", "C", "A", "E"};
    for (int i = 0; i < 4; ++i) {
        store::Question sub;
        sub.id = 51 + i;
        sub.readtextid = 5;
        sub.content = QStringLiteral("配伍%1").arg(i + 1);
        sub.answer = answers[i];
        sub.itemnum = QString::number(i + 1);
        rows.addQuestion(sub);
    }
}

const QStringList subQuestionIds = {"51", "52", "53", "54"};

// The exam window over the paper above, driven as a candidate drives it: real
// clicks on the buttons and the sheet's cells, choices made on the page.
class ExamSittingTest : public testing::Test {
protected:
    void SetUp() override {
        testing_support::copyProgramFiles(fixture.programFolder());
        addPaperContent(fixture.rows());
        fixture.finish();
        // Hand-in and leaving ask first; the candidate says yes.
        prompter.confirmAnswer = true;
        window = std::make_unique<exam::ExamWindow>(exam::ExamContext{fixture.programFolder(),
                                                                      fixture.programFolder(),
                                                                      prompter, desktop, nullptr,
                                                                      [] {
                                                                          return true;
                                                                      }},
                                                    1);
        shown = std::make_unique<QSignalSpy>(window.get(), &exam::ExamWindow::questionShown);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(waitUntil([&] { return shown->count() >= 1; }));
        ASSERT_EQ(window->currentTid(), "1");
        bank = std::make_unique<store::Bank>(fixture.bankPath());
    }

    QPushButton* button(const char* name) const {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QPushButton* cell(const QString& tid) const {
        return window->findChild<QPushButton*>(exam::cellName(tid));
    }
    QString answeredCount() const { return window->findChild<QLabel*>("Label6")->text(); }

    // Clicks where a candidate clicks and waits until the page the click
    // brings is complete and every answer it left is written.
    void press(QWidget* target) {
        ASSERT_NE(target, nullptr);
        const qsizetype before = shown->count();
        QTest::mouseClick(target, Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] {
            return shown->count() > before && window->session()->heldTid().isEmpty();
        })) << "after the click the page on screen is "
            << window->currentTid().toStdString();
    }
    void tick(int optionId, bool on = true) {
        window->page()->setChecked(QString::number(optionId), on);
    }
    void choose(const QStringList& letters) {
        for (int i = 0; i < letters.size(); ++i)
            window->page()->setValue(subQuestionIds[i], letters[i]);
    }

    // The item on screen's answer as its page shows it, in the stored form;
    // for the matching group also each drop-down's letter.
    std::pair<QString, QStringList> shownOnPage() {
        const web::ControlSnapshot controls = testing_support::controlsOf(window->page());
        QString answer;
        QStringList choices;
        const QString tid = window->currentTid();
        if (tid == "5") {
            for (const QString& id : subQuestionIds) {
                const QString value = controls.value(id).value;
                choices << (value == "daan" ? QString() : value);
                answer = choices.last() + answer;
            }
        } else {
            for (int i = 0; i < 4; ++i)
                if (controls.value(QString::number(tid.toInt() * 10 + 1 + i)).checked)
                    answer += QChar(u'A' + i);
        }
        return {answer, choices};
    }

    // After a step: the page shows what the bank holds, every item holds what
    // the candidate last left on its page, and the counter counts it.
    void expectPageAndBankAgree(const char* step, bool itemOnScreen = true) {
        SCOPED_TRACE(step);
        if (itemOnScreen) {
            const auto [answer, choices] = shownOnPage();
            EXPECT_EQ(answer, given[window->currentTid()]) << "on the page";
            if (window->currentTid() == "5" && !groupChoices.isEmpty()) {
                EXPECT_EQ(choices, groupChoices) << "the drop-downs";
            }
        }
        int answered = 0;
        for (const store::PaperItem& item : store::paperItems(*bank)) {
            EXPECT_EQ(item.tjda, given[item.tid]) << "sj row " << item.tid.toStdString();
            answered += given[item.tid].isEmpty() ? 0 : 1;
        }
        if (!groupChoices.isEmpty()) {
            QStringList stored;
            for (const QString& id : subQuestionIds)
                stored << store::questionById(*bank, id.toLongLong())->lx;
            EXPECT_EQ(stored, groupChoices) << "question.lx";
        }
        EXPECT_EQ(answeredCount(), QString::number(answered));
    }

    testing_support::FixtureBank fixture;
    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    std::unique_ptr<exam::ExamWindow> window;
    std::unique_ptr<QSignalSpy> shown;
    std::unique_ptr<store::Bank> bank;
    // What the candidate left on each item's page.
    std::map<QString, QString> given;
    QStringList groupChoices;
};

// Every way back to the item on screen (previous on the first item, next on
// the last, the item's own cell), on every kind of question, shows the answer
// just given, and the next action keeps it.
TEST_F(ExamSittingTest, AWholeExamKeepsWhatEveryPageShowed) {
    auto* previous = button("BitBtn1");
    auto* next = button("BitBtn2");
    expectPageAndBankAgree("the first page");

    tick(13);
    press(previous);
    given["1"] = "C";
    expectPageAndBankAgree("previous on the first item");
    tick(14);
    press(previous);
    given["1"] = "D";
    expectPageAndBankAgree("previous on the first item, the answer changed");

    press(next);
    tick(21);
    press(cell("2"));
    given["2"] = "A";
    expectPageAndBankAgree("a single-choice item's own cell");
    tick(22);
    press(next);
    given["2"] = "B";
    EXPECT_EQ(prompter.messages, QStringList{"多项选择题，里边有多个正确答案"});
    expectPageAndBankAgree("into the multiple-choice section");

    tick(31);
    tick(33);
    press(cell("3"));
    given["3"] = "AC";
    expectPageAndBankAgree("a multiple-choice item's own cell");
    tick(31, false);
    tick(33, false);
    press(next);
    given["3"] = "";
    expectPageAndBankAgree("every box cleared");
    EXPECT_TRUE(cell("3")->styleSheet().contains("180, 180, 180")) << "left unanswered";
    tick(41);
    press(previous);
    given["4"] = "A";
    expectPageAndBankAgree("back to the cleared item");
    tick(31);
    tick(32);
    tick(34);
    press(cell("3"));
    given["3"] = "ABD";
    expectPageAndBankAgree("the cleared item answered again");
    press(next);
    tick(44);
    press(cell("4"));
    given["4"] = "AD";
    expectPageAndBankAgree("the last multiple-choice item's own cell");

    press(next);
    choose({"B", "C", "A", "E"});
    press(cell("5"));
    given["5"] = "EACB";
    groupChoices = QStringList{"B", "C", "A", "E"};
    expectPageAndBankAgree("the matching group's own cell");
    choose({"B", "C", "A", "D"});
    press(next);
    given["5"] = "DACB";
    groupChoices = QStringList{"B", "C", "A", "D"};
    expectPageAndBankAgree("next on the last item");
    choose({"B", "C", "A", "E"});
    press(next);
    given["5"] = "EACB";
    groupChoices = QStringList{"B", "C", "A", "E"};
    expectPageAndBankAgree("next on the last item again");
    press(previous);
    press(next);
    expectPageAndBankAgree("away and back");

    press(button("BitBtn5"));
    expectPageAndBankAgree("handed in", false);
    const QString table =
        testing_support::scriptResult(window->page(), "document.body.innerText")->toString();
    EXPECT_TRUE(table.contains("配伍选择题\t4\t4\t4\t4\t100%")) << table.toStdString();
    EXPECT_TRUE(table.contains("合 计\t8\t6\t8\t6\t75%")) << table.toStdString();
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join('\n').toStdString();
}

// An answer the bank refuses is told, and neither the sheet nor the counter
// counts it: whether it was written after the next item's page or before the
// same item's page, or on hand-in, which then waits for it.
TEST_F(ExamSittingTest, AnAnswerThatCannotBeWrittenIsNotCounted) {
    auto* handIn = button("BitBtn5");
    tick(12);
    testing_support::OtherProgram holder(fixture.bankPath());
    holder.run("BEGIN IMMEDIATE");
    press(button("BitBtn2"));
    ASSERT_TRUE(waitUntil([&] { return prompter.errors.size() == 1; }));
    EXPECT_TRUE(prompter.errors[0].startsWith("第 1 题的答案未能保存，请回到该题重新作答。"))
        << prompter.errors[0].toStdString();
    EXPECT_EQ(answeredCount(), "0");
    EXPECT_TRUE(cell("1")->styleSheet().contains("180, 180, 180"));

    tick(21);
    press(cell("2"));
    ASSERT_EQ(prompter.errors.size(), 2);
    EXPECT_TRUE(prompter.errors[1].startsWith("第 2 题的答案未能保存")) << "before the page";
    EXPECT_EQ(shownOnPage().first, "") << "the page shows what is stored";
    EXPECT_EQ(answeredCount(), "0");
    EXPECT_TRUE(cell("2")->styleSheet().contains("255, 0, 0")) << "still on screen";

    tick(22);
    QTest::mouseClick(handIn, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return prompter.errors.size() == 3; }));
    EXPECT_EQ(window->findChild<QLabel*>("Label1")->text(), "已答") << "not handed in";
    EXPECT_TRUE(window->clock()->isActive());
    EXPECT_EQ(answeredCount(), "0");
    holder.run("ROLLBACK");
    EXPECT_EQ(store::paperItemByTid(*bank, "1")->tjda, "");
    EXPECT_EQ(store::paperItemByTid(*bank, "2")->tjda, "");

    press(handIn);
    EXPECT_EQ(window->findChild<QLabel*>("Label1")->text(), "答对");
    EXPECT_EQ(store::paperItemByTid(*bank, "2")->tjda, "B");
    EXPECT_EQ(answeredCount(), "1");
}

} // namespace
