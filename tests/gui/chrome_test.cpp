#include "main_window_fixture.h"
#include "widgets/picture_button.h"
#include "widgets/prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRubberBand>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QWindow>

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

// The close button and the window manager's close (Alt+F4, the frame's
// button) ask alike, and a confirmed close asks once.
TEST_F(Chrome, EveryCloseAsksBeforeQuitting) {
    openWindow();
    prompter.confirmAnswer = false;
    ASSERT_TRUE(window->windowHandle());
    window->windowHandle()->close();
    EXPECT_EQ(prompter.questions, QStringList({"提示|确定退出系统？"}));
    EXPECT_TRUE(window->isVisible());

    prompter.confirmAnswer = true;
    window->windowHandle()->close();
    EXPECT_EQ(prompter.questions.size(), 2);
    EXPECT_FALSE(window->isVisible());

    prompter.questions.clear();
    window->show();
    QTest::mouseClick(child("NewImage7"), Qt::LeftButton);
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_FALSE(window->isVisible());
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

TEST_F(Chrome, HidingAButtonKeepsItsPicture) {
    openWindow();
    auto* showAll = child<PictureButton>("NewImage10");
    moveOver(showAll);
    QTest::mousePress(showAll, Qt::LeftButton);
    // Under the mouse, hiding sends the button a leave as well.
    showAll->setAttribute(Qt::WA_UnderMouse);
    showAll->hide();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(showAll, &leave);
    showAll->show();
    EXPECT_EQ(showAll->shownPicture(), QString("/tp/xsda-3.bmp"));
}

TEST_F(Chrome, LabelsSitWhereTheLayoutPutsThem) {
    openWindow();
    EXPECT_EQ(child("Label4")->pos(), QPoint(15, 5));
    EXPECT_EQ(child("Label3")->pos(), QPoint(69, 6));
}

// Sends a mouse event at a point of `widget`, with the left button held where
// the event is a move.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST_F(Chrome, DraggingTheSplitterDrawsNothingUntilTheRelease) {
    openWindow();
    auto* splitter = child<QSplitter>("Panel1");
    QSplitterHandle* handle = splitter->handle(1);
    const int handleAt = handle->x();
    sendMouse(handle, QEvent::MouseButtonPress, QPoint(0, 50));
    // Leftwards: the page panel is at its narrowest already.
    sendMouse(handle, QEvent::MouseMove, QPoint(-60, 50));
    for (QWidget* band : splitter->findChildren<QRubberBand*>())
        EXPECT_FALSE(band->isVisible());
    EXPECT_EQ(handle->x(), handleAt);
    sendMouse(handle, QEvent::MouseButtonRelease, QPoint(-60, 50));
    EXPECT_EQ(handle->x(), handleAt - 60);
}

// However far the tree is widened, the page bar keeps its last buttons in view.
TEST_F(Chrome, TheSplitterNeverCutsOffThePageBar) {
    openWindow();
    auto* splitter = child<QSplitter>("Panel1");
    QSplitterHandle* handle = splitter->handle(1);
    sendMouse(handle, QEvent::MouseButtonPress, QPoint(0, 50));
    sendMouse(handle, QEvent::MouseButtonRelease, QPoint(600, 50));
    EXPECT_GT(handle->x(), 257);
    QWidget* pageBar = child("Panel4");
    for (const char* name : {"NewImage14", "NewImage15", "NewImage17"}) {
        QWidget* button = child(name);
        EXPECT_LE(button->geometry().right(), pageBar->width() - 1) << name;
        EXPECT_EQ(button->visibleRegion().boundingRect(), button->rect()) << name;
    }
}

// Without a window system's move loop (as here), the window follows the mouse.
TEST_F(Chrome, TheTitleBarDragsTheWindow) {
    openWindow();
    const QPoint start = window->pos();
    QWidget* titleBar = child("Panel5");
    const QPointF grab = titleBar->mapToGlobal(QPointF(400, 10));
    const auto send = [&](QEvent::Type type, QPointF global, Qt::MouseButtons held) {
        QMouseEvent event(type, titleBar->mapFromGlobal(global), global,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(titleBar, &event);
    };
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    send(QEvent::MouseMove, grab + QPointF(40, 20), Qt::LeftButton);
    EXPECT_EQ(window->pos(), start + QPoint(40, 20));
    send(QEvent::MouseMove, grab + QPointF(50, 30), Qt::LeftButton);
    EXPECT_EQ(window->pos(), start + QPoint(50, 30));
    send(QEvent::MouseButtonRelease, grab + QPointF(50, 30), Qt::NoButton);
}

// Box texts often carry bank or file data: each kind of box shows its text as
// it stands, never as markup.
TEST(DialogBoxes, ShowTheirTextAsText) {
    widgets::DialogPrompter prompter;
    const QString text = "<font color=red>题</font><img src=\"x.png\">";
    const std::function<void()> boxes[] = {
        [&] { prompter.message(nullptr, text); },
        [&] { prompter.notice(nullptr, "提示", text); },
        [&] { prompter.confirm(nullptr, "提示", text); },
        [&] { prompter.askYesNo(nullptr, "提示", text); },
        [&] { prompter.error(nullptr, text); },
        [&] { prompter.failure(nullptr, text, "细节"); },
    };
    for (const auto& show : boxes) {
        QList<Qt::TextFormat> formats;
        QStringList texts;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                formats << box->textFormat();
                texts << box->text();
                box->done(0);
            }
        });
        closer.start(10);
        show();
        EXPECT_EQ(formats, QList<Qt::TextFormat>({Qt::PlainText}));
        EXPECT_EQ(texts, QStringList({text}));
    }
}

} // namespace
