#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;

namespace services {

// DownloadToFile: an HTTP GET whose whole body replaces the file at `path`.
// Asynchronous; `done` runs once, with true only when the request succeeded and
// the file was written. A failed download leaves the file as it was. After
// `timeoutMs` the request is given up, however much of it has arrived; so is a
// body longer than `maximumBodyBytes`, as soon as it is announced or received.
class Downloader : public QObject {
    Q_OBJECT

public:
    // Far above any date file, far below what would strain memory.
    static constexpr qint64 maximumBodyBytes = 64 * 1024;

    explicit Downloader(QObject* parent = nullptr);

    void downloadToFile(const QUrl& url, const QString& path, std::function<void(bool)> done,
                        int timeoutMs = 15000);

private:
    QNetworkAccessManager* network_;
};

} // namespace services
