#include "widgets/prompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace widgets {

namespace {

const QString programCaption = QStringLiteral("Morrowquill");

// The filter's last parenthesis holds the patterns and is hidden, so a label
// may name one kind of file while every file is listed.
QString chooseFile(QWidget* parent, const QString& caption, const QString& filter,
                   QFileDialog::AcceptMode mode, const QString& proposedPath) {
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails |
                      QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(filter);
    if (!proposedPath.isEmpty())
        dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void DialogPrompter::message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, programCaption, text);
}

void DialogPrompter::notice(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::information(parent, caption, text);
}

bool DialogPrompter::confirm(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

bool DialogPrompter::askYesNo(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void DialogPrompter::showModal(QDialog& dialog) {
    dialog.exec();
}

void DialogPrompter::failure(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, programCaption, text, QMessageBox::Ok, parent);
    box.setDetailedText(detail);
    box.exec();
}

QString DialogPrompter::saveFileName(QWidget* parent, const QString& caption,
                                     const QString& proposedPath, const QString& filter) {
    return chooseFile(parent, caption, filter, QFileDialog::AcceptSave, proposedPath);
}

QString DialogPrompter::openFileName(QWidget* parent, const QString& caption,
                                     const QString& filter) {
    return chooseFile(parent, caption, filter, QFileDialog::AcceptOpen, {});
}

void DialogPrompter::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, programCaption, text);
}

} // namespace widgets
