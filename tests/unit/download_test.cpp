#include "fake_http_server.h"
#include "services/download.h"
#include "test_files.h"

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

using testing_support::contentOf;
using testing_support::FakeHttpServer;

namespace {

// The outcome, or nothing when the download never reported one.
std::optional<bool> download(const QUrl& url, const QString& path, int timeoutMs = 5000) {
    services::Downloader downloader;
    QEventLoop loop;
    std::optional<bool> result;
    downloader.downloadToFile(
        url, path,
        [&](bool ok) {
            result = ok;
            loop.quit();
        },
        timeoutMs);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

// Answers every request with a body of unannounced length, sent as fast as
// the connection takes it: megabytes, then silence without an end.
class FloodingServer {
public:
    FloodingServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.0 200 OK\r\n\r\n");
                QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] {
                    if (sent_ < 4 * 1024 * 1024)
                        sent_ += socket->write(QByteArray(16 * 1024, 'x'));
                });
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/Predate.ini").arg(server_.serverPort()));
    }

private:
    QTcpServer server_;
    qint64 sent_ = 0;
};

class DownloadToFile : public testing::Test {
protected:
    void SetUp() override {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("old");
    }
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("tmp.ini"));
};

TEST_F(DownloadToFile, ReplacesTheFileWithTheWholeBody) {
    FakeHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: 22\r\n\r\n[ver]\r\ndate=2026-12-01");
    EXPECT_EQ(download(server.url(), path), true);
    EXPECT_EQ(contentOf(path), QByteArray("[ver]\r\ndate=2026-12-01"));
    EXPECT_TRUE(server.request().startsWith("GET /yiyaozj/zyb/Predate.ini HTTP/1.1\r\n"));
    EXPECT_TRUE(server.request().contains("\r\nAccept: text/html, */*\r\n"));
    EXPECT_TRUE(server.request().contains("\r\nUser-Agent: Morrowquill"));
}

TEST_F(DownloadToFile, FailuresReportFalseAndKeepTheFile) {
    FakeHttpServer missing("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
    EXPECT_EQ(download(missing.url(), path), false);
    FakeHttpServer silent{QByteArray()};
    EXPECT_EQ(download(silent.url(), path, 300), false);
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    EXPECT_EQ(download(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(port)), path), false);
    EXPECT_EQ(contentOf(path), QByteArray("old"));
}

TEST_F(DownloadToFile, ABodyOverTheLimitIsCutOffAndKeepsTheFile) {
    const QByteArray longest(services::Downloader::maximumBodyBytes, 'x');
    const auto response = [](const QByteArray& body) {
        return "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\n\r\n" + body;
    };
    FakeHttpServer tooLong(response(longest + 'x'));
    EXPECT_EQ(download(tooLong.url(), path), false);
    // No time limit to fall back on: the body alone must end the download.
    FloodingServer endless;
    EXPECT_EQ(download(endless.url(), path, 60000), false);
    EXPECT_EQ(contentOf(path), QByteArray("old"));

    FakeHttpServer atTheLimit(response(longest));
    EXPECT_EQ(download(atTheLimit.url(), path), true);
    EXPECT_EQ(contentOf(path), longest);
}

} // namespace
