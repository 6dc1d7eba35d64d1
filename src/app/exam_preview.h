#pragma once

#include "app/folders.h"

#include <QString>

class QWidget;

namespace widgets {
class Desktop;
}

namespace app {

class MainWindow;

// Opens one of the exam room's windows over the main window, as the entry
// sequence would show it, for a screenshot: "settings", "login", "candidate",
// "exam", or "result" (the exam handed in with a few answers given). Messages
// those windows show are answered silently. Null for any other name.
QWidget* openExamPreview(const QString& name, MainWindow& mainWindow, const Folders& folders,
                         widgets::Desktop& desktop);

} // namespace app
