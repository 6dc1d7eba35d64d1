#pragma once

#include "app/prompter.h"

#include <QStringList>

namespace testing_support {

// Records every box instead of showing it, and answers questions as told.
class ScriptedPrompter : public app::Prompter {
public:
    void message(QWidget*, const QString& text) override { messages << text; }
    bool confirm(QWidget*, const QString& caption, const QString& text) override {
        questions << caption + QStringLiteral("|") + text;
        return confirmAnswer;
    }
    void error(QWidget*, const QString& text) override { errors << text; }

    QStringList messages;
    QStringList questions;
    QStringList errors;
    bool confirmAnswer = false;
};

} // namespace testing_support
