#include "widgets/prompter.h"

#include <QDialog>
#include <QMessageBox>

namespace widgets {

namespace {

const QString programCaption = QStringLiteral("Morrowquill");

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

void DialogPrompter::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, programCaption, text);
}

} // namespace widgets
