#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace widgets {
class Desktop;
class Prompter;
} // namespace widgets

namespace exam {

// What every exam-room window is handed by the entry sequence.
struct ExamContext {
    QString programFolder;
    // Where the bank is.
    QString dataFolder;
    widgets::Prompter& prompter;
    // Starts the calculator.
    widgets::Desktop& desktop;
    // The main window, for placing the dialogs.
    QWidget* mainWindow = nullptr;
    // True from the start of the entry sequence until its login screen closes.
    std::function<bool()> examPathOpen;
};

} // namespace exam
