#include "exam/exam_settings_dialog.h"

#include "store/bank.h"
#include "widgets/prompter.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace exam {

namespace {

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

ExamSettingsDialog::ExamSettingsDialog(const QString& dataFolder, widgets::Prompter& prompter,
                                       QWidget* mainWindow)
    : QDialog(mainWindow)
    , bankPath_(store::Bank::pathIn(dataFolder))
    , prompter_(prompter)
    , mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("参数设置"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 16, 24, 16);
    column->setSpacing(12);
    column->addWidget(boldLabel(QStringLiteral("请您设置模拟考试题的参数"), this), 0,
                      Qt::AlignHCenter);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    const char* rowLabels[] = {"单项选择题:", "多项选择题:", "案例分析题:", "配伍选择题:"};
    // Digits only; backspace still works.
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (int row = 0; row < 4; ++row) {
        grid->addWidget(new QLabel(QString::fromUtf8(rowLabels[row]), this), row, 0);
        countEdits_[row] = new QLineEdit(this);
        countEdits_[row]->setObjectName(QStringLiteral("RzEdit%1").arg(row + 1));
        countEdits_[row]->setValidator(digits);
        countEdits_[row]->setFixedWidth(80);
        grid->addWidget(countEdits_[row], row, 1);
        grid->addWidget(new QLabel(QStringLiteral("题"), this), row, 2);
    }
    // The multiple-choice count is shown and stored back unchanged.
    countEdits_[1]->setEnabled(false);
    column->addLayout(grid);
    column->addWidget(
        boldLabel(QStringLiteral("温馨提示：请您注意，每种题型不能设置超过50道题。"), this));

    auto* buttons = new QHBoxLayout;
    confirmButton_ = new QPushButton(QStringLiteral("确 定"), this);
    confirmButton_->setObjectName(QStringLiteral("RzBitBtn1"));
    enterButton_ = new QPushButton(QStringLiteral("进 入"), this);
    enterButton_->setObjectName(QStringLiteral("RzBitBtn2"));
    confirmButton_->setAutoDefault(false);
    enterButton_->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(confirmButton_);
    buttons->addWidget(enterButton_);
    buttons->addStretch();
    column->addLayout(buttons);
    connect(confirmButton_, &QPushButton::clicked, this, &ExamSettingsDialog::confirm);
    connect(enterButton_, &QPushButton::clicked, this, &ExamSettingsDialog::enter);
}

void ExamSettingsDialog::showEvent(QShowEvent* event) {
    if (mainWindow_)
        move(mainWindow_->x() + 190, mainWindow_->y() + 150);
    enterRequested_ = false;
    loadEdits();
    QDialog::showEvent(event);
}

void ExamSettingsDialog::loadEdits() {
    try {
        store::Bank bank(bankPath_);
        const SettingsEdits stored = loadSettings(bank);
        for (int row = 0; row < 4; ++row)
            countEdits_[row]->setText(stored[row]);
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
    }
}

SettingsEdits ExamSettingsDialog::edits() const {
    return {countEdits_[0]->text(), countEdits_[1]->text(), countEdits_[2]->text(),
            countEdits_[3]->text()};
}

void ExamSettingsDialog::confirm() {
    switch (checkSettings(edits())) {
    case SettingsVerdict::OverLimit:
        prompter_.message(this, QStringLiteral("请仔细看下边的温馨提示，谢谢！"));
        loadEdits();
        return;
    case SettingsVerdict::AllZero:
    case SettingsVerdict::Empty:
        prompter_.message(this, QStringLiteral("设置错误！"));
        return;
    case SettingsVerdict::Valid:
        break;
    }
    try {
        store::Bank bank(bankPath_);
        storeSettings(bank, edits());
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
        return;
    }
    prompter_.message(this, QStringLiteral("设置成功！"));
}

void ExamSettingsDialog::enter() {
    enterRequested_ = true;
    close();
}

} // namespace exam
