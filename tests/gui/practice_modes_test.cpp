#include "exam/paper_drawer.h"
#include "main_window_fixture.h"
#include "page_input.h"
#include "page_support.h"
#include "practice/result_window.h"
#include "services/settings.h"
#include "store/question_statements.h"

#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using testing_support::chapterContent;
using testing_support::clickInPage;
using testing_support::evaluate;
using testing_support::isChecked;
using testing_support::largeChapter;
using testing_support::MainWindowTest;

namespace {

// The chapter of chapterContent and a multiple-answer question 10010 (AB).
void everyKindOfQuestion(store::BankBuilder& rows) {
    chapterContent(rows);
    rows.addType({6, "4", "多选题"});
    rows.addGroup({4, 101, 6, {}, {}});
    store::Question q;
    q.id = 10010;
    q.readtextid = 4;
    q.content = "题10010";
    q.answer = "AB";
    q.explain = "解析10010";
    rows.addQuestion(q);
    for (const auto& [id, letter] : {std::pair{100101, "A"}, {100102, "B"}, {100103, "C"}})
        rows.addOption({id, 10010, letter, "项"});
}

// Offsets that walk through every bound in turn.
class CountingRandom : public exam::RandomSource {
public:
    quint32 below(quint32 bound) override { return next_++ % bound; }

private:
    quint32 next_ = 7;
};

class PracticeModes : public MainWindowTest {
protected:
    // Selects the tree node as a user does; a section or the top opens nothing.
    void selectNode(QTreeWidgetItem* item) {
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
    }
    // 随机练习, then the menu's entry for `count` questions.
    bool practiseAtRandom(int count) {
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        click("RandomPractice");
        auto* menu = window->findChild<QMenu*>("RandomPracticeMenu");
        if (!menu || !testing_support::waitUntil([&] { return menu->isVisible(); }, 5000))
            return false;
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("随机 %1 题").arg(count))
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return shown.wait(20000);
    }
    int questionsOnPage() {
        return evaluate(window->page(), "document.querySelectorAll('span[id^=fan]').length")
            .toInt();
    }
    bool openPage(const std::function<void(store::BankBuilder&)>& content) {
        createWindow(2, 1, content);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        return shown.wait(20000);
    }
    // Clicks the chapter 101 + `index` of the first section in the tree.
    bool openChapter(int index) {
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        QTreeWidgetItem* item = tree()->topLevelItem(0)->child(0)->child(index);
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
        return shown.wait(20000);
    }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    // Closes the program and starts it again on the same folders.
    bool restart() {
        window.reset();
        const app::Folders folders{fixture.programFolder(), fixture.programFolder()};
        window = std::make_unique<app::MainWindow>(folders, prompter, desktop);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        return shown.wait(20000);
    }
    QString bodyFontSize() {
        return evaluate(window->page(), "document.body.style.fontSize").toString();
    }
    bool tick(const QString& id) {
        return clickInPage(window->page(), QStringLiteral("[id='%1']").arg(id)) &&
               testing_support::waitUntil([&] { return isChecked(window->page(), id); }, 5000);
    }
    QString value(const QString& id) {
        return evaluate(window->page(),
                        QStringLiteral("document.getElementById('%1').value").arg(id))
            .toString();
    }
    // "right" or "wrong" as the page marked the question, or empty.
    QString judgement(int q) {
        return evaluate(window->page(),
                        QStringLiteral("(function (c) { return c.contains('mq-right') ? 'right' : "
                                       "c.contains('mq-wrong') ? 'wrong' : ''; })"
                                       "(document.getElementById('fan%1').classList)")
                            .arg(q))
            .toString();
    }
    QString markAfter(const QString& id) {
        return evaluate(window->page(),
                        QStringLiteral("(function (n) { return n && n.classList.contains('mq-mark')"
                                       " ? n.className + ' ' + n.textContent : ''; })"
                                       "(document.getElementById('%1').nextElementSibling)")
                            .arg(id))
            .toString();
    }
    bool answerShown(int q) {
        return evaluate(window->page(),
                        QStringLiteral("document.getElementById('ansnote%1').style.display").arg(q))
                   .toString() == "block";
    }
    bool confirm(int q) {
        return clickInPage(window->page(), QStringLiteral("input.mq-confirm[data-q='%1']").arg(q));
    }
    bool waitForJudgement(int q, const QString& expected) {
        return testing_support::waitUntil([&] { return judgement(q) == expected; }, 5000);
    }
    void chooseNext(const QString& selectId, const QString& expected) {
        testing_support::chooseNextEntry(window->page(), selectId);
        ASSERT_TRUE(testing_support::waitUntil([&] { return value(selectId) == expected; }, 5000));
    }
    void grade() {
        prompter.onModal = [](QDialog& dialog) {
            auto& result = static_cast<practice::ResultWindow&>(dialog);
            QSignalSpy table(&result, &practice::ResultWindow::tableShown);
            dialog.show();
            EXPECT_TRUE(table.wait(20000));
            dialog.accept();
        };
        const qsizetype shown = prompter.dialogs.count("TForm15");
        click("NewImage12");
        ASSERT_TRUE(testing_support::waitUntil(
            [&] { return prompter.dialogs.count("TForm15") > shown; }, 20000));
    }
};

TEST_F(PracticeModes, TicksOfALargeChapterSurviveAnotherChapterUntilGraded) {
    ASSERT_TRUE(openPage(largeChapter));
    // The first question and one far down, beyond the first screenful.
    ASSERT_TRUE(tick("200011"));
    ASSERT_TRUE(tick("205902"));
    ASSERT_TRUE(openChapter(1));
    EXPECT_EQ(window->currentChapterId(), QString("102"));
    EXPECT_FALSE(isChecked(window->page(), "200011"));

    ASSERT_TRUE(openChapter(0));
    EXPECT_TRUE(isChecked(window->page(), "200011"));
    EXPECT_TRUE(isChecked(window->page(), "205902"));
    EXPECT_FALSE(isChecked(window->page(), "205901"));
    // Changed on the second visit: the change is what comes back.
    ASSERT_TRUE(tick("205901"));
    ASSERT_TRUE(openChapter(1));
    ASSERT_TRUE(openChapter(0));
    EXPECT_TRUE(isChecked(window->page(), "205901"));
    EXPECT_FALSE(isChecked(window->page(), "205902"));

    prompter.yesAnswer = true;
    grade();
    ASSERT_TRUE(openChapter(1));
    ASSERT_TRUE(openChapter(0));
    EXPECT_FALSE(isChecked(window->page(), "200011"));
    EXPECT_FALSE(isChecked(window->page(), "205901"));
}

TEST_F(PracticeModes, CheckBoxesAndDropDownsComeBackAndRedoClearsThem) {
    ASSERT_TRUE(openPage(chapterContent));
    ASSERT_TRUE(tick("100081"));
    ASSERT_TRUE(tick("100082"));
    testing_support::chooseNextEntry(window->page(), "a10009");
    ASSERT_TRUE(testing_support::waitUntil([&] { return value("a10009") == "A"; }, 5000));
    ASSERT_TRUE(openChapter(1));
    ASSERT_TRUE(openChapter(0));
    EXPECT_TRUE(isChecked(window->page(), "100081"));
    EXPECT_TRUE(isChecked(window->page(), "100082"));
    EXPECT_FALSE(isChecked(window->page(), "100071"));
    EXPECT_EQ(value("a10009"), QString("A"));

    prompter.confirmAnswer = true;
    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    click("NewImage11");
    ASSERT_TRUE(shown.wait(20000));
    EXPECT_FALSE(isChecked(window->page(), "100081"));
    ASSERT_TRUE(openChapter(1));
    ASSERT_TRUE(openChapter(0));
    EXPECT_FALSE(isChecked(window->page(), "100081"));
    EXPECT_EQ(value("a10009"), QString("daan"));
}

TEST_F(PracticeModes, InstantJudgingMarksEveryKindOfQuestionAsItIsAnswered) {
    ASSERT_TRUE(openPage(everyKindOfQuestion));
    click("InstantJudgingOff");
    EXPECT_TRUE(child("InstantJudgingOn")->isVisibleTo(window.get()));
    EXPECT_FALSE(child("InstantJudgingOff")->isVisibleTo(window.get()));

    // Single answer: judged as it is chosen, the right option marked too.
    ASSERT_TRUE(tick("100072"));
    ASSERT_TRUE(waitForJudgement(10007, "wrong"));
    EXPECT_EQ(markAfter("100072"), QString("mq-mark mq-wrong ✘"));
    EXPECT_EQ(markAfter("100071"), QString("mq-mark mq-right ✔"));
    EXPECT_TRUE(answerShown(10007));
    ASSERT_TRUE(tick("100071"));
    ASSERT_TRUE(waitForJudgement(10007, "right"));
    EXPECT_EQ(markAfter("100072"), QString());

    // Multiple answers and a case question: judged by 确认, not by a tick.
    for (const auto& [q, first, second] :
         {std::tuple{10010, "100101", "100102"}, std::tuple{10008, "100081", "100082"}}) {
        ASSERT_TRUE(tick(first)) << q;
        EXPECT_EQ(judgement(q), QString()) << q;
        EXPECT_FALSE(answerShown(q)) << q;
        ASSERT_TRUE(confirm(q)) << q;
        ASSERT_TRUE(waitForJudgement(q, "wrong")) << q;
        EXPECT_EQ(markAfter(second), QString("mq-mark mq-right ✔")) << q;
        EXPECT_TRUE(answerShown(q)) << q;
        ASSERT_TRUE(tick(second)) << q;
        ASSERT_TRUE(confirm(q)) << q;
        ASSERT_TRUE(waitForJudgement(q, "right")) << q;
    }

    // Matching: judged by the drop-down's choice.
    chooseNext("a10009", "A");
    ASSERT_TRUE(waitForJudgement(10009, "wrong"));
    chooseNext("a10009", "B");
    ASSERT_TRUE(waitForJudgement(10009, "right"));
    EXPECT_TRUE(answerShown(10009));

    // The answers count when the page is graded, as ever: every one right.
    prompter.yesAnswer = true;
    grade();
    EXPECT_TRUE(prompter.errors.isEmpty());
    store::Bank bank(fixture.bankPath());
    for (qint64 q : {10007, 10008, 10009, 10010})
        EXPECT_EQ(store::questionById(bank, q)->ct1, QString()) << q;
}

TEST_F(PracticeModes, WithInstantJudgingOffTheChoicesAreOnlyTaken) {
    ASSERT_TRUE(openPage(everyKindOfQuestion));
    EXPECT_FALSE(window->instantJudging());
    ASSERT_TRUE(tick("100072"));
    ASSERT_TRUE(tick("100101"));
    ASSERT_TRUE(tick("100081"));
    chooseNext("a10009", "A");
    for (int q : {10007, 10008, 10009, 10010}) {
        EXPECT_EQ(judgement(q), QString()) << q;
        EXPECT_FALSE(answerShown(q)) << q;
    }
    EXPECT_EQ(evaluate(window->page(), "document.querySelectorAll('.mq-mark, .mq-confirm').length")
                  .toInt(),
              0);
}

TEST_F(PracticeModes, InstantJudgingIsRememberedAndJudgesWhatWasAnswered) {
    ASSERT_TRUE(openPage(everyKindOfQuestion));
    ASSERT_TRUE(tick("100072"));
    // Turned on with an answer on the page: it is judged at once.
    click("InstantJudgingOff");
    ASSERT_TRUE(waitForJudgement(10007, "wrong"));
    ASSERT_TRUE(openChapter(1));
    ASSERT_TRUE(openChapter(0));
    EXPECT_EQ(judgement(10007), QString("wrong"));

    ASSERT_TRUE(restart());
    EXPECT_TRUE(window->instantJudging());
    EXPECT_TRUE(child("InstantJudgingOn")->isVisibleTo(window.get()));
    ASSERT_TRUE(tick("100071"));
    ASSERT_TRUE(waitForJudgement(10007, "right"));
    // Off again: the marks go, and later choices are only taken.
    click("InstantJudgingOn");
    ASSERT_TRUE(waitForJudgement(10007, ""));
    ASSERT_TRUE(tick("100072"));
    EXPECT_EQ(judgement(10007), QString());
    ASSERT_TRUE(restart());
    EXPECT_FALSE(window->instantJudging());
}

TEST_F(PracticeModes, RandomPracticeDrawsFromTheSelectionAndIsGradedLikeAChapter) {
    ASSERT_TRUE(openPage([](store::BankBuilder& rows) {
        largeChapter(rows);
        // One question in the second section's chapter 201.
        rows.addGroup({2, 201, 3, {}, {}});
        store::Question q;
        q.id = 29999;
        q.readtextid = 2;
        q.content = "题29999";
        q.answer = "A";
        rows.addQuestion(q);
        rows.addOption({299991, 29999, "A", "甲"});
    }));
    window->setRandomSource(std::make_unique<CountingRandom>());
    // The second section: its one question.
    selectNode(tree()->topLevelItem(0)->child(1));
    ASSERT_TRUE(practiseAtRandom(10));
    EXPECT_EQ(questionsOnPage(), 1);

    // The first section: 20 of chapter 101's questions.
    selectNode(tree()->topLevelItem(0)->child(0));
    ASSERT_TRUE(practiseAtRandom(20));
    EXPECT_EQ(questionsOnPage(), 20);
    EXPECT_EQ(evaluate(window->page(), "document.getElementById('fan29999') == null").toBool(),
              true);
    const QString first =
        evaluate(window->page(), "document.querySelector('span[id^=fan]').id.slice(3)").toString();
    ASSERT_TRUE(tick(first + "1"));

    prompter.yesAnswer = true;
    grade();
    EXPECT_TRUE(prompter.errors.isEmpty());
    store::Bank bank(fixture.bankPath());
    int wrong = 0;
    for (qint64 id = 20001; id <= 20600; ++id)
        wrong += store::questionById(bank, id)->ct1 == "1";
    EXPECT_EQ(wrong, 19) << "the drawn questions but the one answered right";
    EXPECT_EQ(store::questionById(bank, first.toLongLong())->ct1, QString());

    // The whole view from the top node.
    selectNode(tree()->topLevelItem(0));
    ASSERT_TRUE(practiseAtRandom(100));
    EXPECT_EQ(questionsOnPage(), 100);
}

TEST_F(PracticeModes, TextSizeStaysForEveryPageAndAfterARestart) {
    ASSERT_TRUE(openPage(chapterContent));
    EXPECT_EQ(bodyFontSize(), QString());
    click("NewImage14");
    click("NewImage14");
    EXPECT_EQ(bodyFontSize(), QString("18px"));
    ASSERT_TRUE(openChapter(1));
    EXPECT_EQ(bodyFontSize(), QString("18px"));
    ASSERT_TRUE(openChapter(0));
    EXPECT_EQ(bodyFontSize(), QString("18px"));

    ASSERT_TRUE(restart());
    EXPECT_EQ(window->fontLevel(), 4);
    EXPECT_EQ(bodyFontSize(), QString("18px"));
    click("NewImage15");
    EXPECT_EQ(bodyFontSize(), QString("15px"));
    ASSERT_TRUE(restart());
    EXPECT_EQ(bodyFontSize(), QString("15px"));
    EXPECT_EQ(window->fontLevel(), 3);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
