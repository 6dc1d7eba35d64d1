#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>

// Silent snapshots of the bank in the data folder's `backups/`, named by date
// and time so that the restore dialog accepts them.
namespace services {

inline constexpr int automaticBackupsKept = 10;

QString automaticBackupFolder(const QString& dataFolder);
// The automatic backups present, oldest first.
QStringList automaticBackups(const QString& dataFolder);
// Whether no automatic backup was made on `today` yet.
bool dailyBackupDue(const QString& dataFolder, const QDate& today);
// Where the automatic backup made at `now` goes; makes the folder. Throws
// store::StoreError.
QString newAutomaticBackupPath(const QString& dataFolder, const QDateTime& now);
// Removes all but the newest `automaticBackupsKept`.
void removeOldAutomaticBackups(const QString& dataFolder);
// Snapshots the bank of `dataFolder`, then keeps only the newest
// `automaticBackupsKept`. Returns the new file; throws store::StoreError.
// Once `stop` (when given) is set, the snapshot ends early and leaves no file.
QString writeAutomaticBackup(const QString& dataFolder, const QDateTime& now,
                             const std::atomic<bool>* stop = nullptr);
// The daily backup: made when one is due; a failure goes to stderr only.
void backUpOncePerDay(const QString& dataFolder, const QDateTime& now,
                      const std::atomic<bool>* stop = nullptr);

} // namespace services
