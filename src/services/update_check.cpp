#include "services/update_check.h"

#include <QFile>

namespace services {

namespace {

// A key may hold blanks, but never markup: `<html><body>Date=…` is a page.
bool isEntry(const QByteArray& line, qsizetype equals) {
    const QByteArray key = line.left(equals).trimmed();
    return !key.isEmpty() && !key.contains('<') && !key.contains('>');
}

} // namespace

std::optional<QByteArray> releaseDate(const QString& iniPath) {
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray content = file.readAll();
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    if (content.contains('\0'))
        return std::nullopt;
    std::optional<QByteArray> date;
    bool inSection = false;
    for (const QByteArray& rawLine : content.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            if (end < 0)
                return std::nullopt;
            inSection = line.mid(1, end - 1).trimmed().compare("File1", Qt::CaseInsensitive) == 0;
            continue;
        }
        // Every other line must be an entry, so that a page with a date-like
        // line somewhere in it is not taken for a release file.
        const qsizetype equals = line.indexOf('=');
        if (equals < 0 || !isEntry(line, equals))
            return std::nullopt;
        if (!inSection || date ||
            line.left(equals).trimmed().compare("Date", Qt::CaseInsensitive) != 0)
            continue;
        QByteArray value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        if (!value.isEmpty())
            date = value;
    }
    return date;
}

ReleaseComparison compareReleases(const QString& dataFolder) {
    const std::optional<QByteArray> published = releaseDate(dataFolder + publishedDateFile);
    if (!published)
        return ReleaseComparison::publishedUnknown;
    const std::optional<QByteArray> installed = releaseDate(dataFolder + installedDateFile);
    if (!installed)
        return ReleaseComparison::installedUnknown;
    return *published > *installed ? ReleaseComparison::newer : ReleaseComparison::upToDate;
}

UpdateCheck::UpdateCheck(QString dataFolder, QObject* parent)
    : QObject(parent)
    , dataFolder_(std::move(dataFolder))
    , downloader_() {}

void UpdateCheck::checkAfterDownload(const QUrl& address, std::function<void(bool)> done,
                                     int timeoutMs) {
    if (!address.isValid() || address.isEmpty()) {
        done(false);
        return;
    }
    downloader_.downloadToFile(
        address, dataFolder_ + publishedDateFile,
        [this, done = std::move(done)](bool downloaded) {
            done(downloaded && compareReleases(dataFolder_) == ReleaseComparison::newer);
        },
        timeoutMs);
}

} // namespace services
