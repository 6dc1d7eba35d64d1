#include "services/update_check.h"

#include <QFile>

namespace services {

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");

} // namespace

QByteArray releaseDate(const QString& iniPath, const QDate& today) {
    const QByteArray missing = today.toString(dateFormat).toLatin1();
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return missing;
    QByteArray content = file.readAll();
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    bool inSection = false;
    for (const QByteArray& rawLine : content.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            inSection = end > 0 &&
                        line.mid(1, end - 1).trimmed().compare("File1", Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inSection || equals < 0 ||
            line.left(equals).trimmed().compare("Date", Qt::CaseInsensitive) != 0)
            continue;
        QByteArray value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return missing;
}

bool updateAvailable(const QString& dataFolder, const QDate& today) {
    return releaseDate(dataFolder + publishedDateFile, today) >
           releaseDate(dataFolder + installedDateFile, today);
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
            done(downloaded && updateAvailable(dataFolder_, QDate::currentDate()));
        },
        timeoutMs);
}

} // namespace services
