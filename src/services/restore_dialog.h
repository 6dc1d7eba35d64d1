#pragma once

#include "services/bank_backup.h"
#include "services/bank_file_dialog.h"

namespace services {

// "数据还原": puts a backup of ours in place of the bank. Only a file accepted
// through the file dialog is restored; text typed into the field never is.
class RestoreDialog : public BankFileDialog {
    Q_OBJECT

public:
    RestoreDialog(const QString& programFolder, const QString& dataFolder,
                  widgets::Prompter& prompter, QWidget* parent);

signals:
    // The bank has been replaced; whoever shows it reads it anew.
    void restored();

private:
    void browse() override;
    void confirm() override;

    QString dataFolder_;
    QString acceptedFile_;
};

} // namespace services
