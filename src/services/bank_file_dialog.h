#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace widgets {
class Prompter;
}

namespace services {

// The frame the backup and restore dialogs share: a fixed window with only a
// close box, a background that labels the path field, the path field, a "..."
// browse button, "确定" and "取消". Created once; the path stays between showings.
class BankFileDialog : public QDialog {
    Q_OBJECT

public:
    QLineEdit* pathEdit() const { return pathEdit_; }
    QPushButton* browseButton() const { return browseButton_; }
    QPushButton* okButton() const { return okButton_; }

protected:
    BankFileDialog(const QString& objectName, const QString& caption, const QString& programFolder,
                   widgets::Prompter& prompter, QWidget* parent);

    virtual void browse() = 0;
    virtual void confirm() = 0;

    widgets::Prompter& prompter_;
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QPushButton* okButton_;
};

// Both file dialogs list every file first: the backups we write carry no
// file extension.
inline const QString backupFileFilter = QStringLiteral("所有文件 (*);;备份文件 (*.mdb.bak)");

} // namespace services
