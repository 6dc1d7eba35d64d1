#include "main_window_fixture.h"
#include "widgets/picture_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using testing_support::MainWindowTest;
using widgets::PictureButton;

namespace {

// What the window system sends while the mouse moves over a widget.
void moveOver(QWidget* widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class Chrome : public MainWindowTest {
protected:
    bool shown(const char* name) { return child(name)->isVisibleTo(window.get()); }
};

TEST_F(Chrome, PicturesFollowTheMouse) {
    openWindow();
    auto* button = child<PictureButton>("NewImage1");
    EXPECT_EQ(button->shownPicture(), QString("/tp/wdsc-1.jpg"));
    moveOver(button);
    EXPECT_EQ(button->shownPicture(), QString("/tp/wdsc-2.jpg"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->shownPicture(), QString("/tp/wdsc-1.jpg"));
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(button->shownPicture(), QString("/tp/wdsc-3.jpg"));
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(button->shownPicture(), QString("/tp/wdsc-3.jpg"));

    auto* restore = child<PictureButton>("NewImage2");
    QTest::mousePress(restore, Qt::LeftButton);
    EXPECT_EQ(restore->shownPicture(), QString("/tp/sjhy-1.jpg"));

    auto* bank = child<PictureButton>("gjst");
    moveOver(bank);
    EXPECT_EQ(bank->shownPicture(), QString("/tp/KSTK-2.jpg"));
}

TEST_F(Chrome, MissingPictureKeepsThePreviousOne) {
    openWindow();
    QFile::remove(fixture.programFolder() + "tp/cttk-2.jpg");
    PictureButton button("test", fixture.programFolder(),
                         {"/tp/cttk-1.jpg", "/tp/cttk-2.jpg", "/tp/cttk-3.jpg"}, QSize(58, 64),
                         window.get());
    moveOver(&button);
    EXPECT_EQ(button.shownPicture(), QString("/tp/cttk-1.jpg"));
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.shownPicture(), QString("/tp/cttk-3.jpg"));
}

TEST_F(Chrome, QuitCancelledLeavesEverything) {
    openWindow();
    prompter.confirmAnswer = false;
    QTest::mouseClick(child("NewImage7"), Qt::LeftButton);
    EXPECT_EQ(prompter.questions, QStringList({"提示|确定退出系统？"}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentChapterId(), QString("101"));
}

TEST_F(Chrome, FullScreenReturnsToTheStateBeforeIt) {
    openWindow();
    QTest::mouseClick(child("NewImage17"), Qt::LeftButton);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_FALSE(shown("ToolBar1"));
    EXPECT_FALSE(shown("Panel2"));
    EXPECT_FALSE(shown("Panel5"));
    EXPECT_TRUE(shown("Panel4"));
    EXPECT_TRUE(shown("NewImage18"));
    EXPECT_FALSE(shown("NewImage17"));
    QTest::mouseClick(child("NewImage18"), Qt::LeftButton);
    EXPECT_FALSE(window->isMaximized());
    EXPECT_TRUE(shown("ToolBar1"));
    EXPECT_TRUE(shown("Panel2"));
    EXPECT_TRUE(shown("NewImage8"));
    EXPECT_FALSE(shown("NewImage19"));

    QTest::mouseClick(child("NewImage8"), Qt::LeftButton);
    EXPECT_TRUE(window->isMaximized());
    QTest::mouseClick(child("NewImage17"), Qt::LeftButton);
    QTest::mouseClick(child("NewImage18"), Qt::LeftButton);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(shown("NewImage19"));
}

TEST_F(Chrome, DoubleClickOnTheTitleBarTogglesLikeTheButtons) {
    openWindow();
    QTest::mouseDClick(child("Panel5"), Qt::LeftButton, {}, QPoint(400, 10));
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(shown("NewImage19"));
    QTest::mouseDClick(child("Panel5"), Qt::LeftButton, {}, QPoint(400, 10));
    EXPECT_FALSE(window->isMaximized());
    EXPECT_TRUE(shown("NewImage8"));
    EXPECT_EQ(child("NewImage9")->x(), 911);
    EXPECT_EQ(child("NewImage7")->x(), 969);
}

} // namespace
