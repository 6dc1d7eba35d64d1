#include "exam/answer_key_watcher.h"
#include "exam/exam_window.h"
#include "exam_paper.h"
#include "exam_support.h"
#include "fixture_bank.h"
#include "other_program.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"
#include "test_files.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using exam::ExamPageVariant;
using testing_support::checkedIds;
using testing_support::showAndWait;
using testing_support::waitUntil;

namespace {

class ExamWindowTest : public testing::Test {
protected:
    void SetUp() override {
        testing_support::copyProgramFiles(fixture.programFolder());
        fixture.addDefaultHeader();
        testing_support::addExamBankContent(fixture.rows());
        fixture.finish();
        bank = std::make_unique<store::Bank>(fixture.bankPath());
    }

    // Replaces the drawn paper with the sample paper and a multiple-choice item
    // with nothing stored.
    void writePaper() {
        store::clearPaper(*bank);
        testing_support::writeSamplePaper(*bank);
        store::insertPaperItem(*bank, {"5", "a2", {}, "多选题干", "21", "ACD", {}, {}, {}});
    }

    void openWindow() {
        window = std::make_unique<exam::ExamWindow>(exam::ExamContext{fixture.programFolder(),
                                                                      fixture.programFolder(),
                                                                      prompter, desktop, nullptr,
                                                                      [] {
                                                                          return true;
                                                                      }},
                                                    1);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(waitUntil([&] { return window->currentTid() == "1"; }));
        writePaper();
        ASSERT_TRUE(showAndWait(*window, "1", ExamPageVariant::FirstPage));
        // The drawing's wait dialog had the focus for a moment.
        window->activateWindow();
        ASSERT_TRUE(waitUntil([&] { return window->isActiveWindow(); }));
    }

    template <class T = QWidget> T* child(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void releaseKey(Qt::Key key) { QTest::keyRelease(window->windowHandle(), key); }

    testing_support::FixtureBank fixture;
    std::unique_ptr<store::Bank> bank;
    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    std::unique_ptr<exam::ExamWindow> window;
};

TEST_F(ExamWindowTest, OpensOnTheFirstItemWithItsStoredChoice) {
    openWindow();
    EXPECT_EQ(window->windowTitle(), "人机对话");
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(checkedIds(window->page()), QSet<QString>{"113"});
    EXPECT_TRUE(window->keyWatcher()->isInstalled());
    EXPECT_EQ(child<QLabel>("Label9")->text(), "90");
    EXPECT_EQ(child<QLabel>("Label1")->text(), "已答");
    EXPECT_FALSE(child<QPushButton>("BitBtn4")->isVisible());
}

TEST_F(ExamWindowTest, StoredChoicesComeBackTickedAndSelected) {
    openWindow();
    ASSERT_TRUE(showAndWait(*window, "2", ExamPageVariant::Jump));
    EXPECT_EQ(checkedIds(window->page()), (QSet<QString>{"211", "213", "214"}));
    ASSERT_TRUE(showAndWait(*window, "4", ExamPageVariant::Navigation));
    const web::ControlSnapshot controls = testing_support::controlsOf(window->page());
    EXPECT_EQ(controls.value("41").value, "B");
    EXPECT_EQ(controls.value("42").value, "D");
}

TEST_F(ExamWindowTest, ClockCountsDownToZeroAndStopsThereWithButtonsStillWorking) {
    openWindow();
    QTimer* clock = window->clock();
    QLabel* minutes = child<QLabel>("Label9");
    EXPECT_TRUE(clock->isActive());
    EXPECT_EQ(clock->interval(), 60000);
    window->tickClock();
    EXPECT_EQ(minutes->text(), "89");
    EXPECT_FALSE(minutes->styleSheet().contains("255, 0, 0"));
    clock->setInterval(1);
    ASSERT_TRUE(waitUntil([&] { return minutes->text() == "5"; }));
    EXPECT_TRUE(minutes->styleSheet().contains("255, 0, 0")) << "the last minutes are red";
    ASSERT_TRUE(waitUntil([&] { return !clock->isActive(); }));
    EXPECT_EQ(minutes->text(), "0");
    QTest::mouseClick(child<QPushButton>("BitBtn3"), Qt::LeftButton);
    child<QPushButton>("BitBtn4")->click();
    EXPECT_EQ(prompter.messages, QStringList{"该功能完善中！！"});
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ExamWindowTest, TheCalculatorButtonStartsTheCalculatorBesideTheProgram) {
    openWindow();
    auto* calculatorButton = child<QPushButton>("BitBtn3");
    QTest::mouseClick(calculatorButton, Qt::LeftButton);
    EXPECT_EQ(desktop.started, QStringList{}) << "no calculator in the folder";
    const QString calculator = fixture.programFolder() + "calc";
    testing_support::writeFile(calculator, "#!/bin/sh\n");
    QFile::setPermissions(calculator, QFile::permissions(calculator) | QFile::ExeOwner);
    QTest::mouseClick(calculatorButton, Qt::LeftButton);
    EXPECT_EQ(desktop.started, QStringList{calculator});
}

TEST_F(ExamWindowTest, LetterKeysTickSingleChoiceOptionsAndEveryKeyMovesTheFocus) {
    openWindow();
    auto* next = child<QPushButton>("BitBtn2");
    child<QPushButton>("BitBtn1")->setFocus();
    releaseKey(Qt::Key_A);
    EXPECT_EQ(checkedIds(window->page()), QSet<QString>{"111"});
    EXPECT_TRUE(waitUntil([&] { return next->hasFocus(); }));

    child<QPushButton>("BitBtn1")->setFocus();
    releaseKey(Qt::Key_F);
    EXPECT_EQ(checkedIds(window->page()), QSet<QString>{"111"}) << "no option F";
    EXPECT_TRUE(waitUntil([&] { return next->hasFocus(); }));

    ASSERT_TRUE(showAndWait(*window, "5", ExamPageVariant::Navigation));
    child<QPushButton>("BitBtn1")->setFocus();
    releaseKey(Qt::Key_A);
    EXPECT_TRUE(checkedIds(window->page()).isEmpty()) << "keys tick single choice only";
    EXPECT_TRUE(waitUntil([&] { return next->hasFocus(); }));

    ASSERT_TRUE(showAndWait(*window, "1", ExamPageVariant::Navigation));
    window->keyWatcher()->remove();
    child<QPushButton>("BitBtn1")->setFocus();
    releaseKey(Qt::Key_B);
    EXPECT_EQ(checkedIds(window->page()), QSet<QString>{"113"}) << "nothing after removal";
    EXPECT_FALSE(next->hasFocus());
}

TEST_F(ExamWindowTest, ClosingAsksNothingAndRemovesTheWatcher) {
    openWindow();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->keyWatcher()->isInstalled());
    EXPECT_FALSE(window->clock()->isActive());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.questions.isEmpty());
}

// Every type of the sample bank on its exam page, with the ids grading reads.
TEST(ExamPageOfTheSampleBank, EveryTypeRendersWithItsContractIds) {
    testing_support::EmptyProgramFolder folder;
    const QString programFolder = folder.programFolder();
    testing_support::copyProgramFiles(programFolder);
    QDir().mkpath(programFolder + "Data");
    ASSERT_TRUE(QFile::copy(QStringLiteral(PROGRAM_FOLDER "/Data/med.db"),
                            store::Bank::pathIn(programFolder)));
    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    exam::ExamWindow window({programFolder, programFolder, prompter, desktop, nullptr,
                             [] {
                                 return true;
                             }},
                            1);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "1"; }));
    QStringList expectedIds[4];
    {
        store::Bank bank(store::Bank::pathIn(programFolder));
        store::clearPaper(bank);
        const store::Question single = *store::questionById(
            bank, store::questionIdsTagged(bank, store::ExamType::SingleChoice).front());
        const store::Question multiple = *store::questionById(
            bank, store::questionIdsTagged(bank, store::ExamType::MultipleChoice).front());
        const store::QuestionGroup caseGroup =
            store::groupsOfExamType(bank, store::ExamType::CaseAnalysis).front();
        const store::Question caseQuestion = store::questionsOfGroup(bank, caseGroup.id).front();
        const store::QuestionGroup matching =
            store::groupsOfExamType(bank, store::ExamType::Matching).front();
        const auto item = [](const QString& tid, const QString& lx, const store::Question& q) {
            return store::PaperItem{tid,      lx,       {}, q.content, QString::number(q.id),
                                    q.answer, q.picurl, {}, {}};
        };
        store::insertPaperItem(bank, item("1", "a1", single));
        store::insertPaperItem(bank, item("2", "a2", multiple));
        store::PaperItem caseItem = item("3.1", "a3", caseQuestion);
        caseItem.alt = caseGroup.content;
        store::insertPaperItem(bank, caseItem);
        store::insertPaperItem(bank, {"4",
                                      "a4",
                                      matching.content,
                                      {},
                                      QString::number(matching.id),
                                      {},
                                      {},
                                      matching.opnum,
                                      {}});
        const store::Question* questions[] = {&single, &multiple, &caseQuestion};
        for (int i = 0; i < 3; ++i)
            for (const store::Option& option : store::optionsOfQuestion(bank, questions[i]->id))
                expectedIds[i] << QString::number(option.id);
        for (const store::Question& sub : store::questionsOfGroup(bank, matching.id))
            expectedIds[3] << QString::number(sub.id);
    }
    const char* tids[] = {"1", "2", "3.1", "4"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(showAndWait(window, tids[i], ExamPageVariant::Navigation))
            << tids[i] << prompter.errors.join(" ").toStdString();
        const web::ControlSnapshot controls = testing_support::controlsOf(window.page());
        ASSERT_FALSE(expectedIds[i].isEmpty()) << tids[i];
        for (const QString& id : expectedIds[i])
            EXPECT_TRUE(controls.contains(id)) << tids[i] << " " << id.toStdString();
    }
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join('\n').toStdString();
}

} // namespace

namespace {

// Single-choice questions 1–3 (answer A), options q·10+1 (A) and q·10+2 (B).
void addSingleChoiceQuestions(store::BankBuilder& rows) {
    rows.addType({3, "1", "单选"});
    rows.addGroup({1, 101, 3, {}, {}});
    for (int id = 1; id <= 3; ++id) {
        store::Question question;
        question.id = id;
        question.readtextid = 1;
        question.content = QStringLiteral("单选题干%1").arg(id);
        question.answer = "A";
        rows.addQuestion(question);
        rows.addOption({id * 10 + 1, id, "A", "选项A"});
        rows.addOption({id * 10 + 2, id, "B", "选项B"});
    }
}

// The exam window over `fixture`'s bank, opened for level choice 1 as the
// entry sequence opens it.
struct ExamRoom {
    explicit ExamRoom(testing_support::FixtureBank& fixture)
        : window({fixture.programFolder(), fixture.programFolder(), prompter, desktop, nullptr,
                  [] {
                      return true;
                  }},
                 1) {}

    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    exam::ExamWindow window;
};

// A whole small exam in the real window: the drawn paper is single choice 1
// (answer B), case item 2.1 (answer A) and matching group 3.
TEST(ExamSitting, AnswerByKeyAndClickMoveAcrossATypeHandInAndReadTheResult) {
    testing_support::FixtureBank fixture;
    testing_support::copyProgramFiles(fixture.programFolder());
    fixture.addDefaultHeader();
    testing_support::addExamBankContent(fixture.rows());
    fixture.finish();
    ExamRoom room(fixture);
    testing_support::ScriptedPrompter& prompter = room.prompter;
    exam::ExamWindow& window = room.window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "1"; }));
    QSignalSpy shown(&window, &exam::ExamWindow::questionShown);
    ASSERT_TRUE(waitUntil([&] { return shown.count() >= 1; }));
    EXPECT_EQ(
        prompter.notices,
        (QStringList{"试卷描述|第一部分单选题，第二部分是阅读案例分析题，第三部分是配伍选择题",
                     "提示|单选题：每个题有一个正确答案，请选择一个正确答案"}));
    EXPECT_EQ(window.findChild<QLabel*>("Label5")->text(), "/3");
    const auto cell = [&](const char* name) {
        return window.findChild<QPushButton*>(name);
    };
    // The colour a candidate sees beside a cell's number, as the legend shows it.
    const auto painted = [&](const char* name) {
        QPushButton* button = cell(name);
        return button->grab().toImage().pixelColor(4, button->height() / 2).name();
    };
    const QString red = "#ff0000", blue = "#0000ff";
    ASSERT_NE(cell("a1"), nullptr);
    ASSERT_NE(cell("a2f1"), nullptr);
    ASSERT_NE(cell("a3"), nullptr);
    EXPECT_EQ(painted("a1"), red);

    QTest::keyRelease(window.windowHandle(), Qt::Key_A);
    ASSERT_EQ(checkedIds(window.page()), QSet<QString>{"111"});
    QTest::mouseClick(window.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "2.1" && shown.count() >= 2; }));
    EXPECT_EQ(prompter.messages, QStringList{"阅读案例分析题，请选择正确答案"});
    EXPECT_EQ(painted("a1"), blue) << "left answered";
    EXPECT_EQ(window.findChild<QLabel*>("Label6")->text(), "1");

    window.page()->setChecked("311", true);
    QTest::mouseClick(window.findChild<QPushButton*>("BitBtn5"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return shown.count() >= 3; }));
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "答对");
    EXPECT_EQ(window.findChild<QLabel*>("Label2")->text(), "答错");
    EXPECT_EQ(painted("a1"), red) << "A against B";
    EXPECT_EQ(painted("a2f1"), blue);
    EXPECT_EQ(painted("a3"), red);
    const QString table =
        testing_support::scriptResult(window.page(), "document.body.innerText")->toString();
    EXPECT_TRUE(table.contains("批 阅 试 卷 结 果")) << table.toStdString();
    EXPECT_TRUE(table.contains("案例分析题\t1\t1\t1\t1\t100%")) << table.toStdString();
    EXPECT_TRUE(table.contains("配伍选择题\t2\t0\t2\t0\t0%")) << table.toStdString();
    EXPECT_FALSE(window.clock()->isActive());
    QTest::mouseClick(window.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return prompter.messages.size() == 2; }));
    EXPECT_EQ(prompter.messages.last(), "您已经交卷，不能进行\"下一题\"的操作！");
}

} // namespace

// A candidate may press "next" again while the page of the first press is
// loading; that page is replaced, and its step still marks the sheet.
TEST(ExamSitting, TwoQuickNextsLeaveOnlyTheItemOnScreenRed) {
    testing_support::FixtureBank fixture;
    testing_support::copyProgramFiles(fixture.programFolder());
    fixture.addDefaultHeader();
    addSingleChoiceQuestions(fixture.rows());
    fixture.finish();
    ExamRoom room(fixture);
    exam::ExamWindow& window = room.window;
    QSignalSpy shown(&window, &exam::ExamWindow::questionShown);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return shown.count() >= 1; }));
    ASSERT_EQ(window.currentTid(), "1");

    auto* next = window.findChild<QPushButton*>("BitBtn2");
    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "2"; }));
    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "3"; }));
    ASSERT_TRUE(waitUntil([&] {
        return window.findChild<QPushButton*>("a2") &&
               !window.findChild<QPushButton*>("a2")->styleSheet().contains("255, 0, 0");
    }));
    for (const char* cell : {"a1", "a2"})
        EXPECT_FALSE(window.findChild<QPushButton*>(cell)->styleSheet().contains("255, 0, 0"))
            << cell;
    EXPECT_TRUE(window.findChild<QPushButton*>("a3")->styleSheet().contains("255, 0, 0"));
}

// The answer left behind is written once the next page is complete; when that
// write fails the candidate is told, and the sheet shows what is stored.
TEST(ExamSitting, AnAnswerThatCannotBeWrittenIsToldAndNotShownAsAnswered) {
    testing_support::FixtureBank fixture;
    testing_support::copyProgramFiles(fixture.programFolder());
    fixture.addDefaultHeader();
    addSingleChoiceQuestions(fixture.rows());
    fixture.finish();
    ExamRoom room(fixture);
    exam::ExamWindow& window = room.window;
    QSignalSpy shown(&window, &exam::ExamWindow::questionShown);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return shown.count() >= 1; }));
    QTest::keyRelease(window.windowHandle(), Qt::Key_A);
    ASSERT_EQ(checkedIds(window.page()), QSet<QString>{"11"});

    testing_support::OtherProgram holder(fixture.bankPath());
    holder.run("BEGIN IMMEDIATE");
    QTest::mouseClick(window.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !room.prompter.errors.isEmpty(); }, 10000));
    EXPECT_TRUE(room.prompter.errors[0].startsWith("第 1 题的答案未能保存，请回到该题重新作答。"))
        << room.prompter.errors[0].toStdString();
    EXPECT_EQ(window.currentTid(), "2");
    EXPECT_FALSE(window.findChild<QPushButton*>("a1")->styleSheet().contains("0, 0, 255"))
        << "not shown as answered";
    holder.run("ROLLBACK");
    holder.close();
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::paperItemByTid(bank, "1")->tjda, "");
}
