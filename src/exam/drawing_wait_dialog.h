#pragma once

#include <QDialog>

namespace exam {

// The aqua notice shown while a paper is drawn, placed against `anchor`.
class DrawingWaitDialog : public QDialog {
    Q_OBJECT

public:
    DrawingWaitDialog(QWidget* anchor, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* anchor_;
};

} // namespace exam
