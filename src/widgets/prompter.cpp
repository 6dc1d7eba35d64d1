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

// Texts in boxes often carry bank or file data, which is shown as it stands,
// never read as markup.
QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preferred, const QString& detail = {}) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(preferred);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void DialogPrompter::message(QWidget* parent, const QString& text) {
    ask(parent, QMessageBox::Information, programCaption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void DialogPrompter::notice(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool DialogPrompter::confirm(QWidget* parent, const QString& caption, const QString& text) {
    return ask(parent, QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok) == QMessageBox::Ok;
}

bool DialogPrompter::askYesNo(QWidget* parent, const QString& caption, const QString& text) {
    return ask(parent, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes;
}

void DialogPrompter::showModal(QDialog& dialog) {
    dialog.exec();
}

void DialogPrompter::failure(QWidget* parent, const QString& text, const QString& detail) {
    ask(parent, QMessageBox::Warning, programCaption, text, QMessageBox::Ok, QMessageBox::Ok,
        detail);
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
    ask(parent, QMessageBox::Critical, programCaption, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace widgets
