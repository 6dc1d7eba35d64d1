#pragma once

#include "app/prompter.h"

#include <QStringList>

namespace testing_support {

// Records every message instead of showing it.
class ScriptedPrompter : public app::Prompter {
public:
    void error(QWidget*, const QString& text) override { errors << text; }

    QStringList errors;
};

} // namespace testing_support
