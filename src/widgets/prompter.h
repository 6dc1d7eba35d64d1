#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace widgets {

// Every message box of the program goes through here, so that tests can answer
// them with a scripted prompter instead of a person.
class Prompter {
public:
    virtual ~Prompter() = default;
    // The program's own one-button message (its window's title as caption).
    virtual void message(QWidget* parent, const QString& text) = 0;
    // A one-button message with its own caption.
    virtual void notice(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A failure the user must know about; the window stays usable.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // A failure box whose detail text says why.
    virtual void failure(QWidget* parent, const QString& text, const QString& detail) = 0;
    // Shows one of the program's own dialogs modally and returns when it is closed.
    virtual void showModal(QDialog& dialog) = 0;
    // A save dialog proposing `proposedPath`; never asks about overwriting.
    // The chosen full path, or empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption,
                                 const QString& proposedPath, const QString& filter) = 0;
    // An open dialog for an existing file; its full path, or empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption,
                                 const QString& filter) = 0;
};

class DialogPrompter : public Prompter {
public:
    void message(QWidget* parent, const QString& text) override;
    void notice(QWidget* parent, const QString& caption, const QString& text) override;
    bool confirm(QWidget* parent, const QString& caption, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    void failure(QWidget* parent, const QString& text, const QString& detail) override;
    void showModal(QDialog& dialog) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                         const QString& filter) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
};

} // namespace widgets
