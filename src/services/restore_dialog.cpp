#include "services/restore_dialog.h"

#include "store/store_error.h"
#include "widgets/prompter.h"

#include <QLineEdit>

namespace services {

RestoreDialog::RestoreDialog(const QString& programFolder, const QString& dataFolder,
                             widgets::Prompter& prompter, QWidget* parent)
    : BankFileDialog(QStringLiteral("TForm14"), QStringLiteral("数据还原"), programFolder, prompter,
                     parent)
    , dataFolder_(dataFolder) {}

void RestoreDialog::browse() {
    const QString chosen =
        prompter_.openFileName(this, QStringLiteral("数据还原"), backupFileFilter);
    if (chosen.isEmpty())
        return;
    if (!isBackupPath(chosen)) {
        prompter_.message(this, QStringLiteral("请恢复您备份的文件！"));
        return;
    }
    acceptedFile_ = chosen;
    pathEdit_->setText(chosen);
}

void RestoreDialog::confirm() {
    if (pathEdit_->text().trimmed().isEmpty()) {
        prompter_.message(this, QStringLiteral("请选择恢复路径！"));
        return;
    }
    const QString failed = QStringLiteral("恢复失败，请重试!");
    if (acceptedFile_.isEmpty()) {
        prompter_.failure(this, failed,
                          QStringLiteral("请用“...”按钮选择备份文件；输入的路径不会被使用。"));
        return;
    }
    try {
        restoreBank(dataFolder_, acceptedFile_);
    } catch (const store::StoreError& error) {
        prompter_.failure(this, failed, error.message());
        return;
    }
    prompter_.message(this, QStringLiteral("成功恢复数据！"));
    accept();
    emit restored();
}

} // namespace services
