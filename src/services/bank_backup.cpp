#include "services/bank_backup.h"

#include "services/automatic_backups.h"
#include "store/bank.h"
#include "store/bank_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <unistd.h>

namespace services {

namespace {

using store::StoreError;

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool flushToDisk(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

// Makes a rename in `folder` survive a crash of the machine.
void flushFolder(const QString& folder) {
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}

// Renames `from` onto `to`, replacing it in one step.
void replaceFile(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    if (error)
        throw StoreError(QStringLiteral("无法写入“%1”：%2")
                             .arg(to, QString::fromLocal8Bit(error.message().c_str())));
    flushFolder(QFileInfo(to).absolutePath());
}

// An empty file beside `target`, removed again unless renamed.
std::unique_ptr<QTemporaryFile> fileBeside(const QString& target, const QString& purpose) {
    auto file = std::make_unique<QTemporaryFile>(target + QStringLiteral(".XXXXXX.") + purpose);
    if (!file->open())
        throw StoreError(
            QStringLiteral("无法在“%1”所在的文件夹中写入：%2").arg(target, file->errorString()));
    file->close();
    return file;
}

} // namespace

QString proposedBackupName(const QDate& today) {
    return backupNameText + today.toString(QStringLiteral("yyyy-MM-dd"));
}

bool isBackupPath(const QString& path) {
    return path.contains(backupNameText);
}

void backupBank(const QString& bankPath, const QString& targetPath) {
    const auto staged = fileBeside(targetPath, QStringLiteral("part"));
    {
        store::Bank bank(bankPath);
        store::writeSnapshot(bank, staged->fileName());
    }
    if (!flushToDisk(staged->fileName()))
        throw StoreError(QStringLiteral("无法写入“%1”。").arg(targetPath));
    replaceFile(staged->fileName(), targetPath);
}

bool copyAndFlush(const QString& from, const QString& to) {
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
        return false;
    QByteArray block;
    while (!(block = source.read(1 << 20)).isEmpty())
        if (target.write(block) != block.size())
            return false;
    return source.error() == QFileDevice::NoError && target.flush() &&
           ::fsync(target.handle()) == 0;
}

void restoreBank(const QString& dataFolder, const QString& backupPath, const FileCopy& copy) {
    const QString bankPath = store::Bank::pathIn(dataFolder);
    QDir().mkpath(QFileInfo(bankPath).absolutePath());
    const auto staged = fileBeside(bankPath, QStringLiteral("restoring"));
    if (!copy(backupPath, staged->fileName()))
        throw StoreError(QStringLiteral("无法读取备份文件“%1”。").arg(backupPath));
    try {
        store::Bank candidate(staged->fileName());
        candidate.open();
        store::checkIntegrity(candidate);
    } catch (const StoreError& error) {
        QString reason = error.message();
        reason.replace(staged->fileName(), backupPath);
        throw StoreError(QStringLiteral("所选文件不是可用的题库备份。%1").arg(reason));
    }

    if (QFileInfo::exists(bankPath)) {
        try {
            writeAutomaticBackup(dataFolder, QDateTime::currentDateTime());
        } catch (const StoreError& error) {
            std::fprintf(stderr, "morrowquill: 还原前的自动备份失败：%s\n",
                         qUtf8Printable(error.message()));
        }
    }

    const std::vector<store::Bank*> closed = store::Bank::closeEveryConnectionTo(bankPath);
    std::optional<StoreError> failure;
    try {
        replaceFile(staged->fileName(), bankPath);
    } catch (const StoreError& error) {
        failure = error;
    }
    for (store::Bank* bank : closed)
        bank->open();
    if (failure)
        throw *failure;
}

} // namespace services
