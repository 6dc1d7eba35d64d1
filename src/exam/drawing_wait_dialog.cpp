#include "exam/drawing_wait_dialog.h"

#include <QLabel>
#include <QVBoxLayout>

namespace exam {

DrawingWaitDialog::DrawingWaitDialog(QWidget* anchor, QWidget* parent)
    : QDialog(parent)
    , anchor_(anchor) {
    setObjectName(QStringLiteral("TForm7"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(685, 97);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0, 255, 255));
    setPalette(colours);
    auto* line = new QLabel(QStringLiteral("您好！ 本系统正在进行智能抽题，请稍候......"), this);
    line->setObjectName(QStringLiteral("Label1"));
    line->setTextFormat(Qt::PlainText);
    QFont font = line->font();
    font.setPixelSize(19);
    font.setBold(true);
    line->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line, 0, Qt::AlignCenter);
}

void DrawingWaitDialog::showEvent(QShowEvent* event) {
    if (anchor_)
        move(anchor_->x() + 165, anchor_->y() + 350);
    QDialog::showEvent(event);
}

} // namespace exam
