#include "services/bank_backup.h"

#include "services/automatic_backups.h"
#include "store/bank.h"
#include "store/bank_copy.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

namespace services {

namespace {

using store::StoreError;

// The suffixes our unfinished copies carry: QTemporaryFile's six characters
// and what the copy is for, and the journal the database may keep beside one.
const QString unfinishedSuffix = QStringLiteral("\\.[A-Za-z0-9]{6}\\.(part|restoring)(-journal)?$");

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The cause of a failed file operation, in words a user can act on.
QString causeOf(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
    case EDQUOT:
        return QStringLiteral("超出了磁盘配额");
    case EFBIG:
        return QStringLiteral("文件超过了允许的大小");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有权限");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case ENOENT:
        return QStringLiteral("文件或文件夹不存在");
    case ENOTDIR:
        return QStringLiteral("路径中有一项不是文件夹");
    case EISDIR:
        return QStringLiteral("这是一个文件夹");
    case EIO:
        return QStringLiteral("磁盘读写出错");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

StoreError readFailure(const QString& path, int error) {
    return StoreError(QStringLiteral("无法读取“%1”：%2。").arg(path, causeOf(error)));
}

StoreError writeFailure(const QString& path, int error) {
    return StoreError(QStringLiteral("无法写入“%1”：%2。").arg(path, causeOf(error)));
}

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int handle)
        : handle_(handle) {}
    ~Descriptor() {
        if (handle_ >= 0)
            ::close(handle_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return handle_; }
    // Closes now, so that a failure of the close itself is seen.
    bool close() {
        const int handle = std::exchange(handle_, -1);
        return ::close(handle) == 0;
    }

private:
    int handle_;
};

bool writeAll(int handle, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t written = ::write(handle, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Makes a rename in `folder` survive a crash of the machine.
void flushFolder(const QString& folder) {
    const Descriptor handle(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY));
    if (handle.get() >= 0)
        ::fsync(handle.get());
}

// Renames `from` onto `to`, replacing it in one step.
void replaceFile(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    if (error)
        throw writeFailure(to, error.value());
    flushFolder(QFileInfo(to).absolutePath());
}

// An empty file beside `target`, removed again (with any journal the
// database kept beside it) unless renamed.
class FileBeside {
public:
    FileBeside(const QString& target, const QString& purpose)
        : file_(target + QStringLiteral(".XXXXXX.") + purpose) {
        if (!file_.open())
            throw StoreError(QStringLiteral("无法在“%1”所在的文件夹中写入：%2")
                                 .arg(target, file_.errorString()));
        file_.close();
    }
    ~FileBeside() { QFile::remove(file_.fileName() + QStringLiteral("-journal")); }
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;
    QString name() const { return file_.fileName(); }

private:
    QTemporaryFile file_;
};

void flushToDisk(const QString& path) {
    const Descriptor handle(::open(QFile::encodeName(path).constData(), O_RDWR));
    if (handle.get() < 0 || ::fsync(handle.get()) != 0)
        throw writeFailure(path, errno);
}

bool hasJournal(const QString& bankPath) {
    return QFileInfo(bankPath + QStringLiteral("-journal")).size() > 0 ||
           QFileInfo::exists(bankPath + QStringLiteral("-wal"));
}

StoreError bankInUse(const QString& bankPath) {
    return StoreError(QStringLiteral("题库文件正被其他程序使用，所以没有还原，题库保持原样。"
                                     "请关闭使用“%1”的程序后再试。")
                          .arg(bankPath));
}

// Saves the bank, which the caller keeps from every other connection, as an
// automatic backup. The file is at rest, so its bytes are a sound copy, and
// even a damaged bank is kept as it is.
void saveBeforeRestore(const QString& dataFolder, const QString& bankPath) {
    try {
        const QString target = newAutomaticBackupPath(dataFolder, QDateTime::currentDateTime());
        const FileBeside staged(target, QStringLiteral("part"));
        try {
            copyAndFlush(bankPath, staged.name());
        } catch (const StoreError& error) {
            throw StoreError(QString(error.message()).replace(staged.name(), target));
        }
        replaceFile(staged.name(), target);
    } catch (const StoreError& error) {
        throw StoreError(QStringLiteral("无法保存还原前的备份，所以没有还原，题库保持原样。%1")
                             .arg(error.message()));
    }
    removeOldAutomaticBackups(dataFolder);
}

// Puts the backup in place of the bank, none of this program's connections
// being open.
void replaceBank(const QString& dataFolder, const QString& bankPath, const QString& backupPath,
                 const FileCopy& copy) {
    // Held until the swap is done: no one reads or writes the old file meanwhile.
    store::BankFile current(bankPath);
    const bool bankExists = QFileInfo::exists(bankPath);
    if (bankExists) {
        const store::BankFile::Lock lock = current.lockExclusively();
        // A journal beside a file we could not lock would be applied to the new one.
        if (lock == store::BankFile::Lock::HeldByAnother ||
            (lock == store::BankFile::Lock::Unreadable && hasJournal(bankPath)))
            throw bankInUse(bankPath);
    }

    const FileBeside staged(bankPath, QStringLiteral("restoring"));
    try {
        copy(backupPath, staged.name());
    } catch (const StoreError& error) {
        throw StoreError(QString(error.message()).replace(staged.name(), bankPath));
    }
    try {
        store::Bank candidate(staged.name());
        candidate.open();
        store::checkIntegrity(candidate);
    } catch (const StoreError& error) {
        throw StoreError(QStringLiteral("所选文件不是可用的题库备份。%1")
                             .arg(QString(error.message()).replace(staged.name(), backupPath)));
    }

    if (bankExists)
        saveBeforeRestore(dataFolder, bankPath);
    replaceFile(staged.name(), bankPath);
}

bool isUnfinishedCopy(const QString& fileName) {
    static const QRegularExpression unfinished(unfinishedSuffix);
    return unfinished.match(fileName).hasMatch();
}

void removeUnfinishedIn(const QString& folder, const QString& prefix) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        if (name.startsWith(prefix) && isUnfinishedCopy(name))
            QFile::remove(dir.filePath(name));
}

} // namespace

QString proposedBackupName(const QDate& today) {
    return backupNameText + today.toString(QStringLiteral("yyyy-MM-dd"));
}

bool isBackupPath(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return path.contains(backupNameText) && !isUnfinishedCopy(name) &&
           !name.endsWith(QStringLiteral("-journal"));
}

void backupBank(const QString& bankPath, const QString& targetPath, const std::atomic<bool>* stop) {
    const FileBeside staged(targetPath, QStringLiteral("part"));
    try {
        store::BankFile bank(bankPath, stop);
        bank.writeSnapshot(staged.name());
        flushToDisk(staged.name());
    } catch (const StoreError& error) {
        throw StoreError(QString(error.message()).replace(staged.name(), targetPath));
    }
    replaceFile(staged.name(), targetPath);
}

void copyAndFlush(const QString& from, const QString& to) {
    const Descriptor source(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0)
        throw readFailure(from, errno);
    Descriptor target(
        ::open(QFile::encodeName(to).constData(), O_WRONLY | O_TRUNC | O_CREAT | O_CLOEXEC, 0644));
    if (target.get() < 0)
        throw writeFailure(to, errno);
    std::vector<char> block(1 << 20);
    for (;;) {
        const ssize_t read = ::read(source.get(), block.data(), block.size());
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw readFailure(from, errno);
        if (read == 0)
            break;
        if (!writeAll(target.get(), block.data(), read))
            throw writeFailure(to, errno);
    }
    if (::fsync(target.get()) != 0 || !target.close())
        throw writeFailure(to, errno);
}

void restoreBank(const QString& dataFolder, const QString& backupPath, const FileCopy& copy) {
    const QString bankPath = store::Bank::pathIn(dataFolder);
    const QString bankFolder = QFileInfo(bankPath).absolutePath();
    if (!QDir().mkpath(bankFolder))
        throw StoreError(QStringLiteral("无法建立文件夹“%1”。").arg(bankFolder));
    // Closed first, so that none of them keeps a lock that would pass for another program's.
    const std::vector<store::Bank*> closed = store::Bank::closeEveryConnectionTo(bankPath);
    // When this throws, the bank is as it was and each connection opens again when next used.
    replaceBank(dataFolder, bankPath, backupPath, copy);
    for (store::Bank* bank : closed)
        bank->open();
}

void removeUnfinishedCopies(const QString& dataFolder) {
    const QString bankPath = store::Bank::pathIn(dataFolder);
    store::BankFile bank(bankPath);
    // A restore holds the bank until its copy is renamed, an automatic backup
    // while it reads the bank; neither leaves its copy unattended for longer
    // than a flush to disk.
    if (bank.lockExclusively() != store::BankFile::Lock::Taken)
        return;
    removeUnfinishedIn(QFileInfo(bankPath).absolutePath(),
                       QFileInfo(bankPath).fileName() + QLatin1Char('.'));
    removeUnfinishedIn(automaticBackupFolder(dataFolder), backupNameText);
}

} // namespace services
