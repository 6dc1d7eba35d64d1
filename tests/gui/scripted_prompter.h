#pragma once

#include "widgets/prompter.h"

#include <QDialog>
#include <QStringList>
#include <functional>

namespace testing_support {

// Records every box instead of showing it, and answers questions as told.
class ScriptedPrompter : public widgets::Prompter {
public:
    void message(QWidget*, const QString& text) override { messages << text; }
    void notice(QWidget*, const QString& caption, const QString& text) override {
        notices << caption + QStringLiteral("|") + text;
    }
    bool confirm(QWidget*, const QString& caption, const QString& text) override {
        questions << caption + QStringLiteral("|") + text;
        return confirmAnswer;
    }
    bool askYesNo(QWidget*, const QString& caption, const QString& text) override {
        questions << caption + QStringLiteral("|") + text;
        return yesAnswer;
    }
    void error(QWidget*, const QString& text) override { errors << text; }
    void failure(QWidget*, const QString& text, const QString& detail) override {
        failures << text + QStringLiteral("|") + detail;
    }
    // File dialogs answer with the next of `fileAnswers` (empty: cancelled).
    QString saveFileName(QWidget*, const QString& caption, const QString& proposedPath,
                         const QString& filter) override {
        fileDialogs << caption + QStringLiteral("|") + proposedPath + QStringLiteral("|") + filter;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    QString openFileName(QWidget*, const QString& caption, const QString& filter) override {
        fileDialogs << caption + QStringLiteral("|") + filter;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    // Runs the test's script for the dialog (it must close it); without one the
    // dialog is closed at once.
    void showModal(QDialog& dialog) override {
        dialogs << dialog.objectName();
        if (onModal)
            onModal(dialog);
    }

    QStringList messages;
    QStringList notices;
    QStringList questions;
    QStringList errors;
    QStringList failures;
    QStringList fileDialogs;
    QStringList fileAnswers;
    QStringList dialogs;
    bool confirmAnswer = false;
    bool yesAnswer = false;
    std::function<void(QDialog&)> onModal;
};

} // namespace testing_support
