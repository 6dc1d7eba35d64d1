#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Silent snapshots of the bank in the data folder's `backups/`, named by date
// and time so that the restore dialog accepts them.
namespace services {

inline constexpr int automaticBackupsKept = 10;

QString automaticBackupFolder(const QString& dataFolder);
// The automatic backups present, oldest first.
QStringList automaticBackups(const QString& dataFolder);
// Whether no automatic backup was made on `today` yet.
bool dailyBackupDue(const QString& dataFolder, const QDate& today);
// Snapshots the bank of `dataFolder`, then keeps only the newest
// `automaticBackupsKept`. Returns the new file; throws store::StoreError.
QString writeAutomaticBackup(const QString& dataFolder, const QDateTime& now);
// The start-up backup: made when one is due; a failure goes to stderr only.
void backUpOncePerDay(const QString& dataFolder, const QDateTime& now);

} // namespace services
