#pragma once

#include "services/bank_file_dialog.h"

namespace services {

// "数据备份": saves a snapshot of the bank to a file the user chooses.
class BackupDialog : public BankFileDialog {
    Q_OBJECT

public:
    BackupDialog(const QString& programFolder, const QString& dataFolder,
                 widgets::Prompter& prompter, QWidget* parent);

private:
    void browse() override;
    void confirm() override;

    QString bankPath_;
    QString chosenFile_;
};

} // namespace services
