#include "main_window_fixture.h"

#include <QApplication>
#include <QTest>

using testing_support::MainWindowTest;

namespace {

class Activation : public MainWindowTest {
protected:
    void clickNode(int position) {
        QTreeWidgetItem* item = findItem(position);
        ASSERT_NE(item, nullptr);
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
    }
    QTreeWidgetItem* findItem(int position) const {
        QTreeWidgetItemIterator it(tree());
        for (int i = 0; *it && i < position; ++i)
            ++it;
        return *it;
    }
};

TEST_F(Activation, StartOpensTheChapterAtPositionTwo) {
    openWindow();
    EXPECT_EQ(window->nodeIds(), (std::vector<qint64>{0, 0, 101, 102, 0, 201}));
    EXPECT_EQ(window->currentChapterId(), QString("101"));
    EXPECT_EQ(window->fontLevel(), 2);
    EXPECT_EQ(tree()->currentItem()->text(0), QString("第1章"));
    EXPECT_EQ(window->viewKey(), QString("高 级 试 题"));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(Activation, PlainMessageReopensTheFirstChapterUnlessSkipped) {
    openWindow();
    clickNode(3);
    EXPECT_EQ(window->currentChapterId(), QString("102"));

    window->setSkipAutoOpen();
    window->showMessage("收藏成功！");
    EXPECT_EQ(window->currentChapterId(), QString("102"));

    window->showMessage("您没有错题！");
    EXPECT_EQ(window->currentChapterId(), QString("101"));
}

TEST_F(Activation, AfterMaximisingNothingReopensUntilTheTreeIsRebuilt) {
    openWindow();
    clickNode(3);
    QTest::mouseClick(child("NewImage8"), Qt::LeftButton);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(window->layoutChanged());
    window->showMessage("x");
    EXPECT_EQ(window->currentChapterId(), QString("102"));

    QTest::mouseClick(child("gjst"), Qt::LeftButton);
    EXPECT_EQ(window->viewKey(), QString("习 题 集"));
    EXPECT_FALSE(window->layoutChanged());
    EXPECT_EQ(window->currentChapterId(), QString("101"));
}

TEST_F(Activation, ReturningFromAnotherApplicationLeavesThePage) {
    openWindow();
    clickNode(3);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    EXPECT_EQ(window->currentChapterId(), QString("102"));
}

TEST_F(Activation, ASectionAtPositionTwoOpensNoChapter) {
    openWindow(0);
    EXPECT_EQ(window->nodeIds(), (std::vector<qint64>{0, 0, 0, 201}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(window->currentChapterId().isEmpty());
}

TEST_F(Activation, AnEmptySectionAtPositionTwoIsReportedOnce) {
    openWindow(0, 0);
    EXPECT_EQ(window->nodeIds(), (std::vector<qint64>{0, 0, 0}));
    EXPECT_EQ(prompter.messages, QStringList({"本章节无试题!"}));
    EXPECT_TRUE(window->currentChapterId().isEmpty());
}

} // namespace

namespace {

// The press selects the node and collapses the other branches, so the rows
// below move before the release: the click still opens the pressed chapter.
TEST_F(Activation, AChapterClickAfterAViewSwitchOpensThePressedChapter) {
    openWindow(3, 3);
    QTest::mouseClick(child("gjst"), Qt::LeftButton);
    ASSERT_EQ(window->currentChapterId(), QString("101"));
    for (const auto& [position, chapter] : {std::pair{7, "202"}, std::pair{3, "102"}}) {
        QTest::mouseClick(child("gjst"), Qt::LeftButton);
        QTreeWidgetItem* item = findItem(position);
        ASSERT_NE(item, nullptr);
        const QPoint point = tree()->visualItemRect(item).center();
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(tree()->viewport(), Qt::LeftButton, {}, point);
        EXPECT_EQ(window->currentChapterId(), QString(chapter)) << position;
    }
}

} // namespace
