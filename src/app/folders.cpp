#include "app/folders.h"

#include "store/bank.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace app {

namespace {

const QString predateName = QStringLiteral("predate.ini");

// Copies `source` to `target` through `target.part`; an empty text on success.
QString copyWhole(const QString& source, const QString& target) {
    const QString part = target + QStringLiteral(".part");
    const auto failure = [&](const QString& reason) {
        QFile::remove(part);
        return QStringLiteral("无法把“%1”复制到“%2”：%3").arg(source, target, reason);
    };
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return failure(QStringLiteral("无法建立文件夹。"));
    QFile::remove(part);
    QFile in(source);
    QFile out(part);
    if (!in.open(QIODevice::ReadOnly))
        return failure(in.errorString());
    if (!out.open(QIODevice::WriteOnly))
        return failure(out.errorString());
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 read = in.read(chunk.data(), chunk.size());
        if (read < 0)
            return failure(in.errorString());
        if (read == 0)
            break;
        if (out.write(chunk.constData(), read) != read)
            return failure(out.errorString());
    }
    if (!out.flush() || ::fsync(out.handle()) != 0)
        return failure(out.errorString());
    out.close();
    if (!QFile::rename(part, target))
        return failure(QStringLiteral("无法改名。"));
    return {};
}

} // namespace

Folders chooseFolders(const QString& programFolder, const QString& userDataFolder) {
    const bool installed = QFileInfo::exists(programFolder + installedMarkerName);
    const bool writable = QFileInfo(programFolder).isWritable();
    return {programFolder, installed || !writable ? userDataFolder : programFolder};
}

Folders foldersOf(const QString& programFolder) {
    const QString share = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return chooseFolders(programFolder, share + QStringLiteral("/morrowquill/"));
}

QString prepareDataFolder(const Folders& folders) {
    if (folders.data == folders.program)
        return {};
    const QString sources[] = {store::Bank::pathIn(folders.program), folders.program + predateName};
    const QString targets[] = {store::Bank::pathIn(folders.data), folders.data + predateName};
    for (int i = 0; i < 2; ++i) {
        if (QFileInfo::exists(targets[i]) || !QFileInfo::exists(sources[i]))
            continue;
        if (QString failure = copyWhole(sources[i], targets[i]); !failure.isEmpty())
            return failure;
    }
    return {};
}

} // namespace app
