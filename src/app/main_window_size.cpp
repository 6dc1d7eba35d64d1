// The window's size: resizing at its edges, the controls that keep to its
// right edge, and the size and place it reopens at.

#include "app/main_window.h"
#include "app/night_mode.h"
#include "app/window_state.h"
#include "search/search_field.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <cstdio>

namespace app {

namespace {

// How far in from the window's edge a press resizes it: the frame's width.
constexpr int resizeBorder = 3;

} // namespace

Qt::Edges MainWindow::resizeEdgesAt(QPoint position) const {
    Qt::Edges edges;
    if (isMaximized())
        return edges;
    if (position.x() < resizeBorder)
        edges |= Qt::LeftEdge;
    if (position.x() >= width() - resizeBorder)
        edges |= Qt::RightEdge;
    if (position.y() < resizeBorder)
        edges |= Qt::TopEdge;
    if (position.y() >= height() - resizeBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

void MainWindow::showResizeCursor(QPoint position) {
    const Qt::Edges edges = resizeEdgesAt(position);
    if ((edges & Qt::LeftEdge && edges & Qt::TopEdge) ||
        (edges & Qt::RightEdge && edges & Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if ((edges & Qt::RightEdge && edges & Qt::TopEdge) ||
             (edges & Qt::LeftEdge && edges & Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

bool MainWindow::startResize(QPoint position) {
    const Qt::Edges edges = resizeEdgesAt(position);
    QWindow* window = windowHandle();
    return edges && window && window->startSystemResize(edges);
}

// In a window of any size the title bar's buttons and the logo keep their
// distance from its right edge; a maximised window places them itself.
void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!isMaximized() && titleBar_)
        placeRightEdgeControls(width());
}

// Maximised or restored by the window manager (its keys or menu) rather than
// by the title bar's buttons, which show the state before they change it.
void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !titleBar_ || isMinimized())
        return;
    const bool shownMaximised = restoreButton_->isVisibleTo(this);
    if (isMaximized() == shownMaximised)
        return;
    maximiseButton_->setVisible(!isMaximized());
    restoreButton_->setVisible(isMaximized());
    if (isMaximized())
        placeMaximisedControls(normalGeometry().isValid() ? normalGeometry().width() : width());
    else
        placeRightEdgeControls(width());
    layoutChanged_ = true;
}

void MainWindow::placeRightEdgeControls(int windowWidth) {
    const int grown = windowWidth - designSize.width();
    minimiseButton_->move(minimiseLeft + grown, 0);
    maximiseButton_->move(maximiseLeft + grown, 0);
    restoreButton_->move(maximiseLeft + grown, 0);
    closeButton_->move(closeLeft + grown, 0);
    logo_->move(logoLeft + grown, logo_->y());
    placeSearchField();
}

void MainWindow::placeSearchField() {
    constexpr int gap = 12;
    searchField_->move(minimiseButton_->x() - gap - searchField_->width(),
                       (titleBar_->height() - searchField_->height()) / 2);
}

void MainWindow::restoreWindowState() {
    const WindowState state = readWindowState(dataFolder_, designSize);
    if (state.nightMode)
        setNightMode(true);
    startMaximised_ = state.maximised;
    const QRect saved = state.normalGeometry;
    // Only where a screen still shows it: a screen may have gone since.
    if (saved.isValid() && QGuiApplication::screenAt(saved.center()))
        setGeometry(saved);
}

void MainWindow::setNightMode(bool on) {
    nightMode_ = on;
    applyNightMode(on);
    const QSignalBlocker quiet(nightModeBox_);
    nightModeBox_->setChecked(on);
}

void MainWindow::saveWindowState() {
    // Full screen is the maximised window without its bars.
    const bool fullScreen = leaveFullScreenButton_->isVisibleTo(this);
    WindowState state;
    state.maximised = isMaximized() && (!fullScreen || wasMaximised_);
    state.normalGeometry = isMaximized() ? normalGeometry() : geometry();
    state.nightMode = nightMode_;
    if (!writeWindowState(dataFolder_, state))
        std::fprintf(stderr, "morrowquill: cannot write %s\n",
                     qPrintable(dataFolder_ + windowStateFileName));
}

} // namespace app
