#pragma once

#include "calc/calculator.h"

#include <QWidget>

class QLabel;

// The calculator's window: a display and a pad of buttons; the keyboard works too.
class CalculatorWindow : public QWidget {
    Q_OBJECT

public:
    explicit CalculatorWindow(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();

    Calculator calculator_;
    QLabel* display_ = nullptr;
};
