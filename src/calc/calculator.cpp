#include "calc/calculator.h"

#include <cmath>

namespace {

constexpr int maxDigits = 16;

} // namespace

double Calculator::entry() const {
    return display_.toDouble();
}

void Calculator::show(double value) {
    if (!std::isfinite(value)) {
        display_ = QStringLiteral("错误");
        error_ = true;
        return;
    }
    // Rounding noise such as 0.30000000000000004 is not shown.
    display_ = QString::number(value, 'g', 12);
}

void Calculator::inputDigit(int digit) {
    if (error_)
        clear();
    if (startNewEntry_) {
        display_ = QString::number(digit);
        startNewEntry_ = false;
        return;
    }
    if (display_.size() >= maxDigits)
        return;
    display_ = display_ == QStringLiteral("0") ? QString::number(digit)
                                               : display_ + QString::number(digit);
}

void Calculator::inputPoint() {
    if (error_)
        clear();
    if (startNewEntry_) {
        display_ = QStringLiteral("0.");
        startNewEntry_ = false;
    } else if (!display_.contains(QLatin1Char('.'))) {
        display_ += QLatin1Char('.');
    }
}

void Calculator::backspace() {
    if (error_ || startNewEntry_)
        return;
    display_.chop(1);
    if (display_.isEmpty() || display_ == QStringLiteral("-"))
        display_ = QStringLiteral("0");
}

bool Calculator::applyPending() {
    const double value = entry();
    switch (pending_) {
    case Operator::None:
        result_ = value;
        break;
    case Operator::Add:
        result_ += value;
        break;
    case Operator::Subtract:
        result_ -= value;
        break;
    case Operator::Multiply:
        result_ *= value;
        break;
    case Operator::Divide:
        if (value == 0) {
            show(NAN);
            return false;
        }
        result_ /= value;
        break;
    }
    show(result_);
    return !error_;
}

void Calculator::setOperator(Operator op) {
    if (error_)
        return;
    // A second operator in a row replaces the first.
    if (!startNewEntry_ || pending_ == Operator::None)
        if (!applyPending())
            return;
    pending_ = op;
    startNewEntry_ = true;
}

void Calculator::equals() {
    if (error_)
        return;
    applyPending();
    pending_ = Operator::None;
    startNewEntry_ = true;
}

void Calculator::percent() {
    if (error_)
        return;
    const double base = pending_ == Operator::None ? 1 : result_;
    show(base * entry() / 100);
    startNewEntry_ = true;
}

void Calculator::toggleSign() {
    if (error_ || entry() == 0)
        return;
    display_ =
        display_.startsWith(QLatin1Char('-')) ? display_.mid(1) : QStringLiteral("-") + display_;
}

void Calculator::clear() {
    *this = Calculator();
}
