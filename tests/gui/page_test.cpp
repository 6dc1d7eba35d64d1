#include "main_window_fixture.h"
#include "page_support.h"
#include "services/feedback_dialog.h"
#include "store/question_statements.h"
#include "web/html_view.h"

#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using testing_support::MainWindowTest;

namespace {

using testing_support::chapterContent;
using testing_support::evaluate;

class Page : public MainWindowTest {
protected:
    // The window opens its first chapter as soon as it is shown; waits for it.
    bool openPage() {
        createWindow(2, 1, chapterContent);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        return shown.wait(20000);
    }

    QString bodyFontSize() {
        return evaluate(window->page(), "document.body.style.fontSize").toString();
    }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }
};

TEST_F(Page, RenderedChapterCarriesTheIdsOfTheContract) {
    ASSERT_TRUE(openPage());
    EXPECT_EQ(evaluate(window->page(), "['fan7', 'xs7', 'ansnote7', 'fan8', 'xs8', 'ansnote8', "
                                       "'a9', 'fan9', 'xs9', 'ansnote9', '71', '72', '81', '82']"
                                       ".filter(id => !document.getElementById(id)).join(',')")
                  .toString(),
              QString());
    web::ControlSnapshot controls;
    bool read = false;
    window->page()->readControls([&](const web::ControlSnapshot& snapshot) {
        controls = snapshot;
        read = true;
    });
    ASSERT_TRUE(testing_support::waitUntil([&] { return read; }, 10000));
    EXPECT_TRUE(controls.contains("71"));
    EXPECT_EQ(controls.value("a9").value, QString("daan"));
    EXPECT_EQ(
        evaluate(window->page(), "getComputedStyle(document.getElementById('ansnote7')).display")
            .toString(),
        QString("none"));
}

TEST_F(Page, FavouriteButtonTogglesTheFlagThroughTheHook) {
    ASSERT_TRUE(openPage());
    evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.messages.isEmpty(); }, 10000));
    EXPECT_EQ(prompter.messages, QStringList({"收藏成功！"}));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::questionById(bank, 7)->scbt, QString("1"));
    EXPECT_EQ(
        evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].value").toString(),
        QString("取消收藏"));

    evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return prompter.messages.size() == 2; }, 10000));
    EXPECT_EQ(prompter.messages.last(), QString("取消收藏！"));
    EXPECT_EQ(store::questionById(bank, 7)->scbt, QString(""));
    // The page was not reloaded by the activation after the message.
    EXPECT_EQ(
        evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].value").toString(),
        QString("收藏本题"));
}

TEST_F(Page, ReportButtonShowsTheQuestionInTheFeedbackDialog) {
    ASSERT_TRUE(openPage());
    services::FeedbackDialog* dialog = window->feedbackDialog();
    EXPECT_FALSE(dialog->isVisible());
    evaluate(window->page(), "document.getElementsByName('sanyangctfk')[1].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return dialog->isVisible(); }, 10000));
    EXPECT_EQ(dialog->reportedQuestionId(), 8);
    EXPECT_EQ(dialog->reportedQuestionText(), QString("题8"));
    EXPECT_TRUE(testing_support::waitUntil(
        [&] {
            return evaluate(dialog->view(), "document.body.innerText")
                .toString()
                .contains("正确答案：AB");
        },
        10000));
    EXPECT_TRUE(prompter.errors.isEmpty());
    QTest::mouseClick(dialog->findChild<QWidget*>("Button2"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(Page, ShowAllThenHideAllReturnsEveryAnswerToHidden) {
    ASSERT_TRUE(openPage());
    const QString shownCount = "[...document.getElementsByClassName('Answer')]"
                               ".filter(a => a.style.display == 'block').length";
    click("NewImage10");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return evaluate(window->page(), shownCount).toInt() == 3; }, 10000));
    EXPECT_TRUE(child("NewImage16")->isVisibleTo(window.get()));
    EXPECT_FALSE(child("NewImage10")->isVisibleTo(window.get()));
    click("NewImage16");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return evaluate(window->page(), shownCount).toInt() == 0; }, 10000));
    EXPECT_TRUE(child("NewImage10")->isVisibleTo(window.get()));
}

TEST_F(Page, TextSizeStepsAndLimits) {
    ASSERT_TRUE(openPage());
    ASSERT_EQ(window->fontLevel(), 2);
    QStringList sizes;
    for (int press = 0; press < 9; ++press) {
        click("NewImage14");
        sizes << bodyFontSize();
    }
    EXPECT_EQ(sizes, QStringList(
                         {"17px", "18px", "19px", "20px", "21px", "22px", "23px", "24px", "25px"}));
    click("NewImage14");
    EXPECT_EQ(prompter.messages, QStringList({"不能将字体设置过大！"}));
    EXPECT_EQ(window->fontLevel(), 12);
    EXPECT_EQ(bodyFontSize(), QString("25px"));
    click("NewImage15");
    EXPECT_EQ(bodyFontSize(), QString("23px"));
    EXPECT_EQ(window->currentChapterId(), QString("101"));

    while (window->fontLevel() > 1)
        click("NewImage15");
    click("NewImage15");
    EXPECT_EQ(prompter.messages.last(), QString("不能将字体设置过小！"));
    EXPECT_EQ(window->fontLevel(), 0);
    click("NewImage14");
    EXPECT_EQ(bodyFontSize(), QString("15px"));
}

TEST_F(Page, NavigationStartedByThePageIsCancelled) {
    ASSERT_TRUE(openPage());
    evaluate(window->page(), "location.href = 'http://example.invalid/elsewhere'");
    QTest::qWait(300);
    EXPECT_EQ(evaluate(window->page(), "document.getElementById('fan7') != null").toBool(), true);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.errors.isEmpty());
}

} // namespace

namespace {

TEST(HtmlViewPages, ANewPageStartedDuringALoadReplacesIt) {
    testing_support::FixtureBank fixture;
    fixture.finish();
    QFile::copy(QStringLiteral(PROGRAM_FOLDER "/ty.html"), fixture.programFolder() + "ty.html");
    web::HtmlView view;
    view.resize(400, 300);
    view.show();
    const QString page = fixture.programFolder() + "ty.html";
    std::vector<std::pair<int, bool>> finished;
    for (int round = 0; round < 3; ++round) {
        view.showPage(page, {QStringLiteral("<p id='first%1'>1</p>").arg(round)},
                      [&, round](bool ok) { finished.emplace_back(round * 2, ok); });
        QTest::qWait(round * 10); // the second click comes at once, or while loading
        view.showPage(page, {QStringLiteral("<p id='second%1'>2</p>").arg(round)},
                      [&, round](bool ok) { finished.emplace_back(round * 2 + 1, ok); });
        ASSERT_TRUE(testing_support::waitUntil([&] { return !finished.empty(); }, 20000));
        EXPECT_EQ(finished, (std::vector<std::pair<int, bool>>{{round * 2 + 1, true}}));
        EXPECT_TRUE(evaluate(&view, QStringLiteral("!!document.getElementById('second%1') && "
                                                   "!document.getElementById('first%1')")
                                        .arg(round))
                        .toBool());
        finished.clear();
    }
}

} // namespace
