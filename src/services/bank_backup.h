#pragma once

#include <QDate>
#include <QString>
#include <atomic>
#include <functional>

// Copies of the question bank out to a file and back. Every failure throws
// store::StoreError with a text for the user that names its cause; the bank
// is never left half written.
namespace services {

// The text by which a file is recognised as a backup of ours.
inline const QString backupNameText = QStringLiteral("Morrowquill医药软件数据备份");

// The file name a backup is proposed under on `today`.
QString proposedBackupName(const QDate& today);
// Whether the full path of a file names it as one of our backups. The
// unfinished copies we write beside a backup or the bank never are.
bool isBackupPath(const QString& path);

// Writes a snapshot of the bank at `bankPath` to `targetPath`: written beside
// the target, flushed to disk and renamed onto it, so the target holds either
// its old content or the whole backup. Once `stop` (when given) is set, the
// snapshot ends early with an error and leaves no file.
void backupBank(const QString& bankPath, const QString& targetPath,
                const std::atomic<bool>* stop = nullptr);

// Copies `from` to the file `to` and flushes it to disk. Throws StoreError
// saying which of the two failed and why (no space, no permission ...).
using FileCopy = std::function<void(const QString& from, const QString& to)>;
void copyAndFlush(const QString& from, const QString& to);

// Replaces the bank of `dataFolder` with the bank in `backupPath`. This
// program's connections to the bank are closed and the bank is locked against
// every other connection; the backup is copied beside the bank and must open
// as a sound question bank; the current bank is saved as an automatic backup;
// then the copy is renamed onto the bank and the connections that were open
// are opened again. A bank that another program holds, or that cannot be
// saved first, is left as it is.
void restoreBank(const QString& dataFolder, const QString& backupPath,
                 const FileCopy& copy = copyAndFlush);

// Removes what an interrupted restore or automatic backup left in
// `dataFolder`: only files named as we name unfinished copies, and only when
// no connection, of this program or another, holds the bank.
void removeUnfinishedCopies(const QString& dataFolder);

} // namespace services
