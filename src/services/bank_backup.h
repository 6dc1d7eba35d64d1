#pragma once

#include <QDate>
#include <QString>
#include <functional>

// Copies of the question bank out to a file and back. Every failure throws
// store::StoreError with a text for the user; the bank is never left half
// written.
namespace services {

// The text by which a file is recognised as a backup of ours.
inline const QString backupNameText = QStringLiteral("Morrowquill医药软件数据备份");

// The file name a backup is proposed under on `today`.
QString proposedBackupName(const QDate& today);
// Whether the full path of a file names it as one of our backups.
bool isBackupPath(const QString& path);

// Writes a snapshot of the bank at `bankPath` to `targetPath`: written beside
// the target, flushed to disk and renamed onto it, so the target holds either
// its old content or the whole backup.
void backupBank(const QString& bankPath, const QString& targetPath);

// Copies `from` to the new file `to` and flushes it to disk; false on failure.
using FileCopy = std::function<bool(const QString& from, const QString& to)>;
bool copyAndFlush(const QString& from, const QString& to);

// Replaces the bank of `dataFolder` with the bank in `backupPath`. The backup
// is copied beside the bank and must open as a sound question bank before
// anything is replaced; the current bank is then saved as an automatic
// backup, every connection to it is closed, the copy is renamed onto it and
// the connections that were open are opened again.
void restoreBank(const QString& dataFolder, const QString& backupPath,
                 const FileCopy& copy = copyAndFlush);

} // namespace services
