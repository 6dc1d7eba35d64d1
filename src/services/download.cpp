#include "services/download.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace services {

Downloader::Downloader(QObject* parent)
    : QObject(parent)
    , network_(new QNetworkAccessManager(this)) {}

void Downloader::downloadToFile(const QUrl& url, const QString& path,
                                std::function<void(bool)> done, int timeoutMs) {
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "text/html, */*");
    const QString version = QCoreApplication::applicationVersion();
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      version.isEmpty() ? QStringLiteral("Morrowquill")
                                        : QStringLiteral("Morrowquill/") + version);
    QNetworkReply* reply = network_->get(request);
    // A limit on the whole request: a transfer timeout restarts with every
    // byte, so a server that trickles would hold the download open for ever.
    QTimer::singleShot(timeoutMs, reply, &QNetworkReply::abort);
    // The reply keeps the whole body in memory: a server that announces or
    // sends more than a date file is cut off before it can fill it.
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maximumBodyBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (reply->bytesAvailable() > maximumBodyBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [reply, path, done = std::move(done)] {
        reply->deleteLater();
        bool written = false;
        if (reply->error() == QNetworkReply::NoError &&
            reply->bytesAvailable() <= maximumBodyBytes) {
            QSaveFile file(path);
            written = file.open(QIODevice::WriteOnly) && file.write(reply->readAll()) >= 0 &&
                      file.commit();
        }
        done(written);
    });
}

} // namespace services
