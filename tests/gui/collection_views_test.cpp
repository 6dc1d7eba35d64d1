#include "main_window_fixture.h"
#include "page_support.h"
#include "store/question_statements.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using testing_support::evaluate;
using testing_support::MainWindowTest;

namespace {

// The page fixture's chapter 101, and a third section (30) with chapter 301,
// whose one question 30001 is a favourite: in the favourites view the sections 10 and 20 stand
// empty, so position 2 is a section without chapters.
void favouriteInThirdSection(store::BankBuilder& rows) {
    testing_support::chapterContent(rows);
    rows.addNode({30, "第三节", 1, 0, {}, {}});
    rows.addNode({301, "第三节第1章", 30, 0, {}, {}});
    rows.addGroup({9, 301, 3, {}, {}});
    store::Question question;
    question.id = 30001;
    question.readtextid = 9;
    question.content = QStringLiteral("收藏的题");
    question.answer = QStringLiteral("A");
    question.scbt = QStringLiteral("1");
    rows.addQuestion(question);
    rows.addOption({300011, 30001, "A", "甲"});
    rows.addOption({300012, 30001, "B", "乙"});
}

class CollectionViews : public MainWindowTest {
protected:
    bool waitForPage() { return QSignalSpy(window.get(), &app::MainWindow::pageShown).wait(20000); }
    void openFavourites() { QTest::mouseClick(child("NewImage1"), Qt::LeftButton); }
};

TEST_F(CollectionViews, AViewWhosePositionTwoIsAnEmptySectionOpensItsFirstChapter) {
    createWindow(1, 1, favouriteInThirdSection);
    window->show();
    ASSERT_TRUE(waitForPage());
    openFavourites();
    EXPECT_EQ(window->viewKey(), QString("收 藏 试 题"));
    EXPECT_EQ(window->nodeIds(), (std::vector<qint64>{0, 0, 0, 0, 301}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(window->currentChapterId(), QString("301"));
    ASSERT_TRUE(waitForPage());
    EXPECT_TRUE(
        evaluate(window->page(), "document.body.innerText").toString().contains("收藏的题"));

    // The message stays for the user's own click on an empty section.
    QTreeWidgetItem* emptySection = tree()->topLevelItem(0)->child(1);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                      tree()->visualItemRect(emptySection).center());
    EXPECT_EQ(prompter.messages, QStringList({"本章节无试题!"}));
}

// From now on the bank refuses every change of the tree's flags.
void refuseTreeUpdates(const QString& bankPath) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "damage");
        db.setDatabaseName(bankPath);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec("CREATE TRIGGER refuse_tree_update BEFORE UPDATE ON tree "
                                       "BEGIN SELECT RAISE(ABORT, '磁盘已满'); END"));
    }
    QSqlDatabase::removeDatabase("damage");
}

TEST_F(CollectionViews, AFailedSwitchLeavesThePageAnsweringItsButtons) {
    createWindow(1, 1, favouriteInThirdSection);
    refuseTreeUpdates(fixture.bankPath());
    window->show();
    ASSERT_TRUE(waitForPage());
    openFavourites();
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains("磁盘已满"));

    // The page's own buttons are still commands, not addresses to go to.
    evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.messages.isEmpty(); }, 10000));
    EXPECT_EQ(prompter.messages, QStringList({"收藏成功！"}));
    EXPECT_TRUE(
        evaluate(window->page(), "document.getElementsByName('sanyangscbt').length > 0").toBool());
}

} // namespace
