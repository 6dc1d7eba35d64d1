#pragma once

#include "exam/exam_settings.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace widgets {
class Prompter;
}

namespace exam {

// The parameter dialog: how many questions of each type the next paper holds.
// Confirm stores the counts; enter lets the entry sequence go on.
class ExamSettingsDialog : public QDialog {
    Q_OBJECT

public:
    ExamSettingsDialog(const QString& dataFolder, widgets::Prompter& prompter, QWidget* mainWindow);

    // Set by enter; cleared each time the dialog is shown.
    bool enterRequested() const { return enterRequested_; }

    void confirm();
    void enter();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadEdits();
    SettingsEdits edits() const;

    QString bankPath_;
    widgets::Prompter& prompter_;
    QWidget* mainWindow_;
    QLineEdit* countEdits_[4] = {};
    QPushButton* confirmButton_ = nullptr;
    QPushButton* enterButton_ = nullptr;
    bool enterRequested_ = false;
};

} // namespace exam
