// The window's own frame: maximise and restore, full screen, moving, leaving.

#include "app/main_window.h"
#include "app/prompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace app {

void MainWindow::Image6Click() {
    const int notedWidth = width();
    if (isMaximized()) {
        NewImage8_->show();
        NewImage19_->hide();
        showNormal();
        NewImage9_->move(minimiseLeft, 0);
        NewImage8_->move(maximiseLeft, 0);
        NewImage7_->move(closeLeft, 0);
        AdvOfficeImage3_->move(logoLeft, AdvOfficeImage3_->y());
    } else {
        NewImage8_->hide();
        NewImage19_->show();
        showMaximized();
        const int screenWidth = screen()->availableGeometry().width();
        NewImage9_->move(screenWidth - minimiseFromRight, 0);
        NewImage19_->move(screenWidth - restoreFromRight, 0);
        NewImage7_->move(screenWidth - closeFromRight, 0);
        AdvOfficeImage3_->move(screenWidth - notedWidth + logoLeft, AdvOfficeImage3_->y());
    }
    layoutChanged_ = true;
}

void MainWindow::tcxtClick() {
    if (!prompter_.confirm(this, QStringLiteral("提示"), QStringLiteral("确定退出系统？")))
        return;
    bank_.close();
    QApplication::quit();
}

void MainWindow::NewImage17Click() {
    ToolBar1_->hide();
    Panel2_->hide();
    Panel5_->hide();
    NewImage18_->show();
    NewImage17_->hide();
    if (isMaximized()) {
        wasMaximised_ = true;
    } else {
        wasMaximised_ = false;
        Image6Click();
    }
}

void MainWindow::NewImage18Click() {
    NewImage17_->show();
    NewImage18_->hide();
    ToolBar1_->show();
    Panel2_->show();
    Panel5_->show();
    if (!wasMaximised_)
        Image6Click();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void MainWindow::FormClose() {
    bank_.close();
}

void MainWindow::startWindowMove() {
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    // The window's own surface, where no control covers it, drags the window.
    if (event->buttons() & Qt::LeftButton)
        startWindowMove();
    QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel5_) {
        if (event->type() == QEvent::MouseMove &&
            (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
            startWindowMove();
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            Image6Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace app
