#include "calc/calculator_window.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <functional>

CalculatorWindow::CalculatorWindow(QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("计算器"));
    display_ = new QLabel(this);
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setMinimumHeight(48);
    display_->setStyleSheet(QStringLiteral(
        "background: white; border: 1px solid #8aa; padding: 4px 8px; font-size: 24px;"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(display_, 0, 0, 1, 4);
    using Op = Calculator::Operator;
    struct Key {
        const char* label;
        int row, column;
        std::function<void(Calculator&)> press;
    };
    const auto digit = [](int d) {
        return [d](Calculator& c) {
            c.inputDigit(d);
        };
    };
    const auto op = [](Op o) {
        return [o](Calculator& c) {
            c.setOperator(o);
        };
    };
    const Key keys[] = {
        {"C", 1, 0,
         [](Calculator& c) {
             c.clear();
         }},
        {"±", 1, 1,
         [](Calculator& c) {
             c.toggleSign();
         }},
        {"%", 1, 2,
         [](Calculator& c) {
             c.percent();
         }},
        {"÷", 1, 3, op(Op::Divide)},
        {"7", 2, 0, digit(7)},
        {"8", 2, 1, digit(8)},
        {"9", 2, 2, digit(9)},
        {"×", 2, 3, op(Op::Multiply)},
        {"4", 3, 0, digit(4)},
        {"5", 3, 1, digit(5)},
        {"6", 3, 2, digit(6)},
        {"−", 3, 3, op(Op::Subtract)},
        {"1", 4, 0, digit(1)},
        {"2", 4, 1, digit(2)},
        {"3", 4, 2, digit(3)},
        {"+", 4, 3, op(Op::Add)},
        {"0", 5, 0, digit(0)},
        {".", 5, 1,
         [](Calculator& c) {
             c.inputPoint();
         }},
        {"←", 5, 2,
         [](Calculator& c) {
             c.backspace();
         }},
        {"=", 5, 3,
         [](Calculator& c) {
             c.equals();
         }},
    };
    for (const Key& key : keys) {
        auto* button = new QPushButton(QString::fromUtf8(key.label), this);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumSize(56, 40);
        connect(button, &QPushButton::clicked, this, [this, press = key.press] {
            press(calculator_);
            refresh();
        });
        grid->addWidget(button, key.row, key.column);
    }
    refresh();
}

void CalculatorWindow::refresh() {
    display_->setText(calculator_.display());
}

void CalculatorWindow::keyPressEvent(QKeyEvent* event) {
    using Op = Calculator::Operator;
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        calculator_.inputDigit(key - Qt::Key_0);
    else if (key == Qt::Key_Period || key == Qt::Key_Comma)
        calculator_.inputPoint();
    else if (key == Qt::Key_Plus)
        calculator_.setOperator(Op::Add);
    else if (key == Qt::Key_Minus)
        calculator_.setOperator(Op::Subtract);
    else if (key == Qt::Key_Asterisk)
        calculator_.setOperator(Op::Multiply);
    else if (key == Qt::Key_Slash)
        calculator_.setOperator(Op::Divide);
    else if (key == Qt::Key_Percent)
        calculator_.percent();
    else if (key == Qt::Key_Enter || key == Qt::Key_Return || key == Qt::Key_Equal)
        calculator_.equals();
    else if (key == Qt::Key_Backspace)
        calculator_.backspace();
    else if (key == Qt::Key_Escape || key == Qt::Key_Delete)
        calculator_.clear();
    else
        return QWidget::keyPressEvent(event);
    refresh();
}
