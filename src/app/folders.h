#pragma once

#include <QString>

namespace app {

// Where the program reads and where it writes. Both end in '/'.
struct Folders {
    // The executable's folder: page template, pictures, help, calculator and
    // the bundled bank. Never written when it differs from `data`.
    QString program;
    // Everything the program writes: the bank, the settings file,
    // `predate.ini`, `tmp.ini` and backups.
    QString data;
};

// `cmake --install` puts this file in the program folder, so an installed
// program keeps each user's data in their own folder even for a user who may
// write to the program folder (root).
inline const QString installedMarkerName = QStringLiteral("installed");

// The data folder is the program folder itself when that is writable and was
// not installed; otherwise `userDataFolder` (ending in '/').
Folders chooseFolders(const QString& programFolder, const QString& userDataFolder);

// chooseFolders with the user's data folder of this desktop:
// `$XDG_DATA_HOME/morrowquill/`, by default `~/.local/share/morrowquill/`.
Folders foldersOf(const QString& programFolder);

// Gives a data folder apart from the program folder the bundled bank and
// `predate.ini` it lacks. Each copy is written beside its target, flushed to
// disk and renamed onto it, so a copy cut short is never taken for a bank and
// is redone on the next start. A file the data folder already has is kept.
// Returns a Chinese error text naming the file, or an empty text.
QString prepareDataFolder(const Folders& folders);

} // namespace app
