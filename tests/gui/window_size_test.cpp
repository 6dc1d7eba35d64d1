// The main window at other sizes, and the size and place it reopens at.

#include "app/window_state.h"
#include "main_window_fixture.h"
#include "widgets/picture_button.h"

#include <QFile>
#include <QTest>

using testing_support::MainWindowTest;

namespace {

class WindowSize : public MainWindowTest {
protected:
    QRect placeOf(const char* name) { return child(name)->geometry(); }
    // Closes the window, as the user confirms, and opens it again on the same folders.
    void reopen() {
        prompter.confirmAnswer = true;
        window->close();
        window = std::make_unique<app::MainWindow>(
            app::Folders{fixture.programFolder(), fixture.programFolder()}, prompter, desktop);
        window->show();
        QCoreApplication::processEvents();
    }
};

TEST_F(WindowSize, AWiderWindowKeepsTheTreeAndMovesTheTitleButtonsRight) {
    openWindow();
    const QSize design = window->size();
    const QRect tree = placeOf("Panel2");
    const QRect grade = placeOf("NewImage12");
    window->resize(design + QSize(400, 250));
    QCoreApplication::processEvents();
    EXPECT_EQ(placeOf("Panel2").width(), tree.width());
    EXPECT_EQ(placeOf("Panel3").width(), window->width() - 6 - tree.width() - 1);
    EXPECT_EQ(placeOf("NewImage12"), grade) << "the page bar keeps its buttons in place";
    EXPECT_EQ(window->width() - placeOf("NewImage7").x(), design.width() - 969);
    EXPECT_EQ(window->width() - placeOf("NewImage9").x(), design.width() - 911);
    EXPECT_EQ(child("ToolBar1")->width(), window->width() - 6);

    window->resize(600, 300);
    EXPECT_EQ(window->size(), design) << "never smaller than it was designed";
}

// At the smallest size and larger ones, every control of the title, tool and
// page bars shows whole inside the window and its bar, and none covers
// another.
TEST_F(WindowSize, EveryControlOfTheBarsShowsWholeAndApartAtEverySize) {
    openWindow();
    const QSize design = window->size();
    QList<QWidget*> controls;
    for (QWidget* button : window->findChildren<widgets::PictureButton*>())
        controls << button;
    controls << child("searchField") << child("AdvOfficeImage3") << child("Label4");
    const QWidget* logo = child("AdvOfficeImage3");
    for (const QSize size : {design, QSize(1366, 768), QSize(1920, 1080), QSize(1280, 600)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        ASSERT_EQ(window->size(), size);
        QList<std::pair<QString, QRect>> shown;
        for (QWidget* control : std::as_const(controls)) {
            if (!control->isVisibleTo(window.get()))
                continue;
            QRect place(control->mapTo(window.get(), QPoint(0, 0)), control->size());
            // The logo's first columns are margin its bar hides.
            if (control == logo)
                place.setLeft(place.left() + 10);
            const QString name = control->objectName();
            for (QWidget* outer = control->parentWidget(); outer; outer = outer->parentWidget())
                EXPECT_TRUE(
                    QRect(outer->mapTo(window.get(), QPoint(0, 0)), outer->size()).contains(place))
                    << name.toStdString() << " cut by " << outer->objectName().toStdString()
                    << " at " << size.width() << "x" << size.height();
            for (const auto& [otherName, other] : std::as_const(shown))
                EXPECT_FALSE(place.intersects(other))
                    << name.toStdString() << " covers " << otherName.toStdString() << " at "
                    << size.width() << "x" << size.height();
            shown.append({name, place});
        }
        EXPECT_EQ(shown.size(), 13 + 3 + 8 + 3) << "tool, title and page buttons, and the rest";
    }
}

// Maximised and restored by the window manager, not by the title bar's own
// buttons: the bar shows the other button and its controls follow the edge.
TEST_F(WindowSize, TheTitleBarFollowsAMaximiseByTheWindowManager) {
    openWindow();
    window->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->isMaximized());
    EXPECT_FALSE(child("NewImage8")->isVisibleTo(window.get()));
    EXPECT_TRUE(child("NewImage19")->isVisibleTo(window.get()));
    const int screenWidth = window->screen()->availableGeometry().width();
    EXPECT_EQ(placeOf("NewImage7").x(), screenWidth - 47);
    EXPECT_EQ(placeOf("searchField").right() + 1 + 12, placeOf("NewImage9").x());

    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(child("NewImage8")->isVisibleTo(window.get()));
    EXPECT_FALSE(child("NewImage19")->isVisibleTo(window.get()));
    EXPECT_EQ(window->width() - placeOf("NewImage7").x(), 1007 - 969);
}

TEST_F(WindowSize, ReopensAtTheSizeAndPlaceItWasClosedAt) {
    openWindow();
    const QRect chosen(40, 30, 1100, 620);
    window->setGeometry(chosen);
    QCoreApplication::processEvents();
    reopen();
    EXPECT_EQ(window->geometry(), chosen);
    EXPECT_FALSE(window->isMaximized());

    QTest::mouseClick(child("NewImage8"), Qt::LeftButton);
    ASSERT_TRUE(window->isMaximized());
    reopen();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(child("NewImage19")->isVisibleTo(window.get()));
}

TEST_F(WindowSize, AnUnusableSavedStateOpensAtTheDesignSize) {
    QDir().mkpath(fixture.programFolder());
    QFile file(fixture.programFolder() + app::windowStateFileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MainWindow]\nGeometry=@Rect(99999 5 -3 7)\nMaximised=banana\n");
    file.close();
    openWindow();
    EXPECT_EQ(window->size(), QSize(1007, 551));
    EXPECT_FALSE(window->isMaximized());

    const app::WindowState tiny = app::readWindowState(fixture.programFolder(), QSize(1007, 551));
    EXPECT_FALSE(tiny.normalGeometry.isValid());
}

} // namespace
