// The window's own frame: maximise and restore, full screen, moving, leaving.

#include "app/main_window.h"
#include "widgets/prompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace app {

void MainWindow::toggleMaximised() {
    const int notedWidth = width();
    if (isMaximized()) {
        maximiseButton_->show();
        restoreButton_->hide();
        const int normalWidth = normalGeometry().isValid() ? normalGeometry().width() : width();
        showNormal();
        placeRightEdgeControls(normalWidth);
    } else {
        maximiseButton_->hide();
        restoreButton_->show();
        showMaximized();
        placeMaximisedControls(notedWidth);
    }
    layoutChanged_ = true;
}

void MainWindow::placeMaximisedControls(int notedWidth) {
    const int screenWidth = screen()->availableGeometry().width();
    minimiseButton_->move(screenWidth - minimiseFromRight, 0);
    restoreButton_->move(screenWidth - restoreFromRight, 0);
    closeButton_->move(screenWidth - closeFromRight, 0);
    logo_->move(screenWidth - notedWidth + logoLeft, logo_->y());
    placeSearchField();
}

void MainWindow::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::enterFullScreen() {
    toolBar_->hide();
    treePanel_->hide();
    titleBar_->hide();
    leaveFullScreenButton_->show();
    fullScreenButton_->hide();
    if (isMaximized()) {
        wasMaximised_ = true;
    } else {
        wasMaximised_ = false;
        toggleMaximised();
    }
}

void MainWindow::leaveFullScreen() {
    fullScreenButton_->show();
    leaveFullScreenButton_->hide();
    toolBar_->show();
    treePanel_->show();
    titleBar_->show();
    if (!wasMaximised_)
        toggleMaximised();
}

// Every way of closing the window (its own button, the window manager's
// close, Alt+F4) asks once and then ends the program, other windows included.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (!quitConfirmed_ &&
        !prompter_.confirm(this, QStringLiteral("提示"), QStringLiteral("确定退出系统？"))) {
        event->ignore();
        return;
    }
    quitConfirmed_ = true;
    saveWindowState();
    closeBank();
    QWidget::closeEvent(event);
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MainWindow::closeBank() {
    bank_.close();
}

void MainWindow::noteDragStart(const QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragOffset_ = event->globalPosition().toPoint() - pos();
    windowDrag_ = WindowDrag::NotStarted;
}

// The window system's move loop where it has one; elsewhere the window
// follows the mouse by hand. The loop is started once per press: it owns the
// mouse until the button is released, and a window manager asked again while
// its loop runs keeps moving the window after the release.
void MainWindow::dragWindow(const QMouseEvent* event) {
    if (windowDrag_ == WindowDrag::BySystem)
        return;
    if (windowDrag_ == WindowDrag::NotStarted) {
        if (QWindow* window = windowHandle(); window && window->startSystemMove()) {
            windowDrag_ = WindowDrag::BySystem;
            return;
        }
        windowDrag_ = WindowDrag::ByHand;
    }
    move(event->globalPosition().toPoint() - dragOffset_);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && startResize(event->position().toPoint()))
        return;
    noteDragStart(event);
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    // The window's own surface, where no control covers it, drags the window;
    // its edges resize it.
    if (event->buttons() & Qt::LeftButton)
        dragWindow(event);
    else
        showResizeCursor(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == titleBar_) {
        if (event->type() == QEvent::MouseButtonPress)
            noteDragStart(static_cast<QMouseEvent*>(event));
        if (event->type() == QEvent::MouseMove &&
            (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
            dragWindow(static_cast<QMouseEvent*>(event));
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            toggleMaximised();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace app
