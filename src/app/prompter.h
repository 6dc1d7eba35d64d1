#pragma once

#include <QString>

class QWidget;

namespace app {

// Every message box of the program goes through here, so that tests can answer
// them with a scripted prompter instead of a person.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A failure the user must know about; the window stays usable.
    virtual void error(QWidget* parent, const QString& text) = 0;
};

class DialogPrompter : public Prompter {
public:
    void error(QWidget* parent, const QString& text) override;
};

} // namespace app
