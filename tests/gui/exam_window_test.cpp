#include "app/night_mode.h"
#include "exam/answer_key_watcher.h"
#include "exam/answer_sheet.h"
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
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cmath>

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

TEST_F(ExamWindowTest, LetterKeysTickSingleChoiceOptionsAndMoveTheFocusOtherKeysLeaveIt) {
    openWindow();
    auto* next = child<QPushButton>("BitBtn2");
    auto* handIn = child<QPushButton>("BitBtn5");
    handIn->setFocus();
    for (Qt::Key key : {Qt::Key_1, Qt::Key_I, Qt::Key_Left, Qt::Key_Space, Qt::Key_Control})
        releaseKey(key);
    QCoreApplication::processEvents();
    EXPECT_TRUE(handIn->hasFocus()) << "only the letters A to H move the focus";

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

TEST_F(ExamWindowTest, LeavingBeforeHandInAsksAndCancelKeepsTheExam) {
    openWindow();
    const QString question = "提示|考试尚未交卷，确定退出考场吗？";
    window->close();
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(prompter.questions, (QStringList{question, question}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->keyWatcher()->isInstalled());
    EXPECT_TRUE(window->clock()->isActive());

    prompter.confirmAnswer = true;
    window->close();
    EXPECT_EQ(prompter.questions.size(), 3);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->keyWatcher()->isInstalled());
    EXPECT_FALSE(window->clock()->isActive());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// The item on screen counts by what its page shows; Cancel changes nothing.
TEST_F(ExamWindowTest, HandInAsksWithTheNumberOfUnansweredItems) {
    openWindow();
    auto* handIn = child<QPushButton>("BitBtn5");
    QTest::mouseClick(handIn, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return prompter.questions.size() == 1; }));
    EXPECT_EQ(prompter.questions[0], "提示|还有 2 道题未作答，确定交卷吗？") << "3.1 and 5";
    EXPECT_EQ(child<QLabel>("Label1")->text(), "已答");
    EXPECT_TRUE(window->clock()->isActive());
    EXPECT_TRUE(window->keyWatcher()->isInstalled());

    ASSERT_TRUE(showAndWait(*window, "5", ExamPageVariant::Navigation));
    window->page()->setChecked("212", true);
    prompter.confirmAnswer = true;
    QTest::mouseClick(handIn, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return child<QLabel>("Label1")->text() == "答对"; }));
    EXPECT_EQ(prompter.questions[1], "提示|还有 1 道题未作答，确定交卷吗？");
    EXPECT_FALSE(window->clock()->isActive());
    window->close();
    EXPECT_EQ(prompter.questions.size(), 2) << "leaving after hand-in asks nothing";
}

TEST_F(ExamWindowTest, TheAnsweredCounterHoldsFourDigitsBesideTheTotal) {
    openWindow();
    auto* answered = child<QLabel>("Label6");
    auto* total = child<QLabel>("Label5");
    EXPECT_GE(answered->contentsRect().width(),
              answered->fontMetrics().horizontalAdvance(QStringLiteral("1111")));
    EXPECT_GE(total->contentsRect().width(),
              total->fontMetrics().horizontalAdvance(QStringLiteral("/1111")));
    EXPECT_LT(answered->geometry().right(), total->x());
    EXPECT_FALSE(answered->geometry().intersects(child<QWidget>("ProgressBar1")->geometry()));
}

// Every text of the window is shown as it stands, never read as markup.
TEST_F(ExamWindowTest, EveryLabelShowsPlainText) {
    openWindow();
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
        }
    }
}

// The contrast of two colours as the web's accessibility guidelines reckon it.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// At night the bars and the answer sheet are dark, the page takes its night
// colours, and the numbers on the sheet's cells stay readable.
TEST_F(ExamWindowTest, AtNightTheBarsSheetAndPageAreDarkAndCellNumbersReadable) {
    app::applyNightMode(true);
    const auto day = qScopeGuard([] { app::applyNightMode(false); });
    openWindow();
    for (const char* part : {"Panel1", "Panel2", "ScrollBox1"}) {
        QWidget* widget = child(part);
        EXPECT_LT(widget->grab().toImage().pixelColor(4, widget->height() - 4).lightness(), 60)
            << part;
    }
    EXPECT_TRUE(testing_support::scriptResult(
                    window->page(), "document.documentElement.classList.contains('night')")
                    .value_or(false)
                    .toBool());

    using exam::CellColour;
    for (CellColour filled : {CellColour::Current, CellColour::Answered, CellColour::LeftBlank,
                              CellColour::Right, CellColour::Wrong})
        EXPECT_GE(contrast(Qt::white, QColor(exam::cellFill(filled, true))), 4.5)
            << exam::cellFill(filled, true).toStdString();
    const QPalette palette = window->palette();
    EXPECT_GE(contrast(palette.color(QPalette::ButtonText), palette.color(QPalette::Button)), 4.5);
    // The item on screen is painted in the night's red.
    QWidget* current = child(exam::cellName("1").toLatin1().constData());
    EXPECT_EQ(current->grab().toImage().pixelColor(4, 4),
              QColor(exam::cellFill(CellColour::Current, true)));
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

    // Shows the window and waits for its first page, the window active.
    bool open(QSignalSpy& shown) {
        window.show();
        window.activateWindow();
        if (!waitUntil([&] { return shown.count() >= 1; }))
            return false;
        // The drawing's wait dialog had the focus for a moment.
        window.activateWindow();
        return waitUntil([&] { return window.isActiveWindow(); });
    }
    // A key pressed and released as the platform delivers it: to the window,
    // which hands it to its focused widget.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(name); }

    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    exam::ExamWindow window;
};

// Three single-choice questions, the exam window open on the first.
class SingleChoiceExam : public testing::Test {
protected:
    void SetUp() override {
        testing_support::copyProgramFiles(fixture.programFolder());
        fixture.addDefaultHeader();
        addSingleChoiceQuestions(fixture.rows());
        fixture.finish();
        room = std::make_unique<ExamRoom>(fixture);
        shown = std::make_unique<QSignalSpy>(&room->window, &exam::ExamWindow::questionShown);
        ASSERT_TRUE(room->open(*shown));
        ASSERT_EQ(room->window.currentTid(), "1");
    }
    QString storedAnswer(const QString& tid) {
        store::Bank bank(fixture.bankPath());
        return store::paperItemByTid(bank, tid).value_or(store::PaperItem{}).tjda;
    }

    testing_support::FixtureBank fixture;
    std::unique_ptr<ExamRoom> room;
    std::unique_ptr<QSignalSpy> shown;
};

// The candidate works the bottom bar with the keyboard alone: Tab and
// Shift+Tab walk its buttons, a letter ticks and moves the focus to "next",
// and Return or keypad Enter there moves on.
TEST_F(SingleChoiceExam, TabWalksTheButtonsAndEnterAfterALetterMovesOn) {
    exam::ExamWindow& window = room->window;
    room->button("BitBtn1")->setFocus();
    const char* walk[] = {"BitBtn2", "BitBtn3", "BitBtn5"};
    for (const char* name : walk) {
        room->type(Qt::Key_Tab);
        EXPECT_TRUE(room->button(name)->hasFocus()) << name;
    }
    room->type(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(room->button("BitBtn3")->hasFocus());

    const struct {
        Qt::Key letter;
        Qt::Key enter;
        Qt::KeyboardModifiers modifiers;
        const char* tidAfter;
    } presses[] = {{Qt::Key_A, Qt::Key_Return, Qt::NoModifier, "2"},
                   {Qt::Key_B, Qt::Key_Enter, Qt::KeypadModifier, "3"}};
    for (const auto& press : presses) {
        const QString tid = window.currentTid();
        room->type(press.letter);
        ASSERT_TRUE(room->button("BitBtn2")->hasFocus()) << tid.toStdString();
        room->type(press.enter, press.modifiers);
        ASSERT_TRUE(waitUntil([&] { return window.currentTid() == press.tidAfter; }));
        EXPECT_TRUE(waitUntil([&] {
            return storedAnswer(tid) == QString(QChar(u'A' + (press.letter - Qt::Key_A)));
        })) << tid.toStdString();
    }
    room->type(Qt::Key_A);
    room->prompter.confirmAnswer = true;
    room->type(Qt::Key_Tab);
    room->type(Qt::Key_Tab);
    ASSERT_TRUE(room->button("BitBtn5")->hasFocus());
    room->type(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return !room->prompter.questions.isEmpty(); }));
    EXPECT_EQ(room->prompter.questions, QStringList{"提示|确定交卷吗？"});
}

// A page whose renderer ended is shown again from what is stored, once; a
// move that waited on it is dropped, and the buttons keep working.
TEST_F(SingleChoiceExam, ALostPageComesBackOnceAndTheButtonsKeepWorking) {
    exam::ExamWindow& window = room->window;
    room->type(Qt::Key_A);
    ASSERT_EQ(checkedIds(window.page()), QSet<QString>{"11"});
    QTest::mouseClick(room->button("BitBtn2"), Qt::LeftButton);
    emit window.page()->renderProcessEnded();
    EXPECT_EQ(room->prompter.messages, QStringList{"题目页面意外关闭，已重新载入本题。"});
    ASSERT_TRUE(waitUntil([&] { return shown->count() >= 2; }));
    EXPECT_EQ(window.currentTid(), "1");
    EXPECT_TRUE(checkedIds(window.page()).isEmpty()) << "the page shows what is stored";

    emit window.page()->renderProcessEnded();
    EXPECT_EQ(room->prompter.messages.last(),
              "题目页面再次意外关闭，本题无法显示。请换一题或交卷。");
    QTest::mouseClick(room->button("BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "2" && shown->count() >= 3; }));
    EXPECT_EQ(room->prompter.messages.size(), 2) << "the lost page was not shown again";
    room->type(Qt::Key_B);
    QTest::mouseClick(room->button("BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "3"; }));
    EXPECT_TRUE(waitUntil([&] { return storedAnswer("2") == "B"; }));
    EXPECT_EQ(storedAnswer("1"), "");
}

// A hand-in waiting on a page that is lost goes on from what is stored.
TEST_F(SingleChoiceExam, AHandInWaitingOnALostPageGoesOnFromWhatIsStored) {
    exam::ExamWindow& window = room->window;
    room->type(Qt::Key_A);
    QTest::mouseClick(room->button("BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.currentTid() == "2" && shown->count() >= 2; }));
    room->prompter.confirmAnswer = true;
    QTest::mouseClick(room->button("BitBtn5"), Qt::LeftButton);
    emit window.page()->renderProcessEnded();
    EXPECT_EQ(room->prompter.messages, QStringList{"题目页面意外关闭，交卷按已保存的答案进行。"});
    EXPECT_EQ(room->prompter.questions, QStringList{"提示|还有 2 道题未作答，确定交卷吗？"});
    ASSERT_TRUE(waitUntil([&] { return shown->count() >= 3; }));
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "答对");
    EXPECT_FALSE(window.clock()->isActive());
    const QString table =
        testing_support::scriptResult(window.page(), "document.body.innerText")->toString();
    EXPECT_TRUE(table.contains("单项选择题\t3\t1\t3\t1\t33%")) << table.toStdString();
    EXPECT_EQ(storedAnswer("1"), "A");
}

// A drawing that fails, or gives no paper, says why on the page and in a
// question that offers to close the window; the clock stops.
TEST(ExamDrawing, WithoutAPaperTheWindowSaysWhyStopsTheClockAndOffersToClose) {
    const struct {
        const char* name;
        bool bankLocked;
        bool closeOnOk;
        const char* reason;
        const char* bankSays;
    } cases[] = {{"locked bank", true, true, "抽题失败，考试无法开始：\n", "正被其他程序使用"},
                 {"no questions", false, false, "没有抽到试题：", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::FixtureBank fixture;
        testing_support::copyProgramFiles(fixture.programFolder());
        fixture.addDefaultHeader();
        if (c.bankLocked)
            testing_support::addExamBankContent(fixture.rows());
        fixture.finish();
        std::optional<testing_support::OtherProgram> holder;
        if (c.bankLocked) {
            holder.emplace(fixture.bankPath());
            holder->run("BEGIN IMMEDIATE");
        }
        ExamRoom room(fixture);
        room.prompter.confirmAnswer = c.closeOnOk;
        room.window.show();
        room.window.activateWindow();
        ASSERT_TRUE(waitUntil([&] { return !room.prompter.questions.isEmpty(); }, 10000));
        const QString question = room.prompter.questions[0];
        EXPECT_TRUE(question.startsWith(QStringLiteral("提示|") + c.reason))
            << question.toStdString();
        EXPECT_TRUE(question.endsWith("\n\n确定关闭考试窗口吗？")) << question.toStdString();
        EXPECT_TRUE(question.contains(QString::fromUtf8(c.bankSays))) << question.toStdString();
        EXPECT_TRUE(room.prompter.errors.isEmpty());
        EXPECT_FALSE(room.window.clock()->isActive());
        EXPECT_EQ(room.window.isVisible(), !c.closeOnOk);
        if (c.closeOnOk)
            continue;
        EXPECT_TRUE(waitUntil([&] {
            return testing_support::scriptResult(room.window.page(), "document.body.innerText")
                ->toString()
                .contains(QString(c.reason).trimmed());
        }));
        room.window.close();
        EXPECT_FALSE(room.window.isVisible());
        EXPECT_EQ(room.prompter.questions.size(), 1) << "no exam to leave";
    }
}

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
    prompter.confirmAnswer = true;
    QTest::mouseClick(window.findChild<QPushButton*>("BitBtn5"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return shown.count() >= 3; }));
    EXPECT_EQ(prompter.questions, QStringList{"提示|还有 1 道题未作答，确定交卷吗？"});
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
