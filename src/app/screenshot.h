#pragma once

#include <QString>

class QWidget;

namespace app {

// Saves a PNG of the window once the pages it was showing are on the screen
// (within a limit), then quits the application (exit code 1 when the file
// could not be written).
void screenshotThenQuit(QWidget* window, const QString& path);

} // namespace app
