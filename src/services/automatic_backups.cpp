#include "services/automatic_backups.h"

#include "services/bank_backup.h"
#include "store/bank.h"
#include "store/store_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>

namespace services {

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");
const QString timeFormat = QStringLiteral("hh-mm-ss");

} // namespace

QString automaticBackupFolder(const QString& dataFolder) {
    return dataFolder + QStringLiteral("backups/");
}

QStringList automaticBackups(const QString& dataFolder) {
    // Only files named as we name them: anything else there is the user's.
    static const QRegularExpression ours(
        QStringLiteral("^") + backupNameText +
        QStringLiteral("\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2}$"));
    QStringList names = QDir(automaticBackupFolder(dataFolder)).entryList(QDir::Files, QDir::Name);
    names = names.filter(ours);
    return names;
}

bool dailyBackupDue(const QString& dataFolder, const QDate& today) {
    const QString prefix = backupNameText + today.toString(dateFormat) + QLatin1Char('_');
    const QStringList names = automaticBackups(dataFolder);
    return std::none_of(names.cbegin(), names.cend(),
                        [&](const QString& name) { return name.startsWith(prefix); });
}

QString newAutomaticBackupPath(const QString& dataFolder, const QDateTime& now) {
    const QString folder = automaticBackupFolder(dataFolder);
    if (!QDir().mkpath(folder))
        throw store::StoreError(QStringLiteral("无法建立文件夹“%1”。").arg(folder));
    return folder + backupNameText + now.toString(dateFormat) + QLatin1Char('_') +
           now.toString(timeFormat);
}

void removeOldAutomaticBackups(const QString& dataFolder) {
    const QStringList names = automaticBackups(dataFolder);
    for (qsizetype i = 0; i + automaticBackupsKept < names.size(); ++i)
        QFile::remove(automaticBackupFolder(dataFolder) + names[i]);
}

QString writeAutomaticBackup(const QString& dataFolder, const QDateTime& now,
                             const std::atomic<bool>* stop) {
    const QString path = newAutomaticBackupPath(dataFolder, now);
    backupBank(store::Bank::pathIn(dataFolder), path, stop);
    removeOldAutomaticBackups(dataFolder);
    return path;
}

void backUpOncePerDay(const QString& dataFolder, const QDateTime& now,
                      const std::atomic<bool>* stop) {
    if (!QFileInfo::exists(store::Bank::pathIn(dataFolder)) ||
        !dailyBackupDue(dataFolder, now.date()))
        return;
    try {
        writeAutomaticBackup(dataFolder, now, stop);
    } catch (const store::StoreError& error) {
        if (!(stop && *stop))
            std::fprintf(stderr, "morrowquill: 自动备份失败：%s\n",
                         qUtf8Printable(error.message()));
    }
}

} // namespace services
