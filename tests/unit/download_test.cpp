#include "fake_http_server.h"
#include "services/download.h"
#include "test_files.h"

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using testing_support::contentOf;
using testing_support::FakeHttpServer;

namespace {

bool download(const QUrl& url, const QString& path, int timeoutMs = 5000) {
    services::Downloader downloader;
    QEventLoop loop;
    bool result = false;
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
    EXPECT_TRUE(download(server.url(), path));
    EXPECT_EQ(contentOf(path), QByteArray("[ver]\r\ndate=2026-12-01"));
    EXPECT_TRUE(server.request().startsWith("GET /yiyaozj/zyb/Predate.ini HTTP/1.1\r\n"));
    EXPECT_TRUE(server.request().contains("\r\nAccept: text/html, */*\r\n"));
    EXPECT_TRUE(server.request().contains("\r\nUser-Agent: Morrowquill"));
}

TEST_F(DownloadToFile, FailuresReportFalseAndKeepTheFile) {
    FakeHttpServer missing("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
    EXPECT_FALSE(download(missing.url(), path));
    FakeHttpServer silent{QByteArray()};
    EXPECT_FALSE(download(silent.url(), path, 300));
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    EXPECT_FALSE(download(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(port)), path));
    EXPECT_EQ(contentOf(path), QByteArray("old"));
}

} // namespace
