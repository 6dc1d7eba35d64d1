#pragma once

#include <QString>

// A pocket calculator's arithmetic: each operator applies to the result so far
// (no precedence), as on a desk calculator.
class Calculator {
public:
    enum class Operator { None, Add, Subtract, Multiply, Divide };

    void inputDigit(int digit);
    void inputPoint();
    void backspace();
    void setOperator(Operator op);
    void equals();
    // The entry as a percentage of the result so far (or of 1 without one).
    void percent();
    void toggleSign();
    void clear();

    const QString& display() const { return display_; }

private:
    double entry() const;
    void show(double value);
    // Applies the pending operator to the result so far and the entry.
    bool applyPending();

    QString display_ = QStringLiteral("0");
    double result_ = 0;
    Operator pending_ = Operator::None;
    bool startNewEntry_ = true;
    bool error_ = false;
};
