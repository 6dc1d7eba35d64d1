#include "services/backup_dialog.h"

#include "services/bank_backup.h"
#include "store/bank.h"
#include "widgets/prompter.h"

#include <QDate>
#include <QDir>
#include <QLineEdit>

namespace services {

BackupDialog::BackupDialog(const QString& programFolder, const QString& dataFolder,
                           widgets::Prompter& prompter, QWidget* parent)
    : BankFileDialog(QStringLiteral("TForm13"), QStringLiteral("数据备份"), programFolder, prompter,
                     parent)
    , bankPath_(store::Bank::pathIn(dataFolder)) {
    pathEdit_->setReadOnly(true);
}

void BackupDialog::browse() {
    const QString chosen = prompter_.saveFileName(this, QStringLiteral("数据备份"),
                                                  QDir::homePath() + QLatin1Char('/') +
                                                      proposedBackupName(QDate::currentDate()),
                                                  backupFileFilter);
    if (chosen.isEmpty())
        return;
    chosenFile_ = chosen;
    pathEdit_->setText(chosen);
}

void BackupDialog::confirm() {
    if (pathEdit_->text().trimmed().isEmpty()) {
        prompter_.message(this, QStringLiteral("请选择备份路径！"));
        return;
    }
    try {
        backupBank(bankPath_, chosenFile_);
    } catch (const store::StoreError& error) {
        prompter_.failure(this, QStringLiteral("备份失败，请重试！"), error.message());
        return;
    }
    prompter_.message(this, QStringLiteral("备份成功！"));
    accept();
}

} // namespace services
