#pragma once

#include <QRect>
#include <QString>

namespace app {

// What the main window remembers between runs, in its own file in the data
// folder (the maintainer's settings file keeps its comments untouched).
inline const QString windowStateFileName = QStringLiteral("window.ini");

struct WindowState {
    // The window's place and size when not maximised; empty: never saved.
    QRect normalGeometry;
    bool maximised = false;
    bool nightMode = false;
};

// The saved state; a missing file or unusable values give the defaults, and a
// size below `smallest` is raised to it.
WindowState readWindowState(const QString& dataFolder, QSize smallest);
// Writes the state; false when the file cannot be written.
bool writeWindowState(const QString& dataFolder, const WindowState& state);

} // namespace app
