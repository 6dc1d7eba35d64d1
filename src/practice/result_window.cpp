#include "practice/result_window.h"

#include "web/html_view.h"
#include "widgets/day_and_night.h"
#include "widgets/picture_button.h"

#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace practice {

ResultWindow::ResultWindow(const QString& programFolder, std::function<QStringList()> report,
                           std::function<void()> afterTable, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , programFolder_(programFolder)
    , report_(std::move(report))
    , afterTable_(std::move(afterTable))
    , view_(new web::HtmlView(this))
    , tableTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("TForm15"));
    setWindowTitle(QStringLiteral("测试结果"));
    setFixedSize(915, 450);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    view_->setObjectName(QStringLiteral("WebBrowser1"));
    column->addWidget(view_, 1);
    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setFixedHeight(41);
    strip->setAttribute(Qt::WA_StyledBackground);
    widgets::followDayAndNight(strip, [strip](bool night) {
        strip->setStyleSheet(
            QStringLiteral("#Panel1 { background: %1; }")
                .arg(night ? QStringLiteral("#22272b") : QStringLiteral("rgb(219, 236, 248)")));
    });
    auto* close =
        new widgets::PictureButton(QStringLiteral("NewImage1"), programFolder,
                                   {QStringLiteral("/tp/gb-1.bmp"), QStringLiteral("/tp/gb-2.bmp"),
                                    QStringLiteral("/tp/gb-3.bmp")},
                                   QSize(105, 33), strip);
    close->move(696, 4);
    connect(close, &widgets::PictureButton::clicked, this, &QDialog::accept);
    column->addWidget(strip);

    tableTimer_->setInterval(100);
    tableTimer_->setSingleShot(true);
    connect(tableTimer_, &QTimer::timeout, this, &ResultWindow::fillScoreTable);
    if (parent)
        move(parent->geometry().center() - rect().center());
}

void ResultWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    tableTimer_->start();
}

void ResultWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        tableTimer_->start();
}

void ResultWindow::fillScoreTable() {
    view_->showPage(programFolder_ + QStringLiteral("ty.html"), report_(), [this](bool) {
        afterTable_();
        emit tableShown();
    });
}

} // namespace practice
