#include "fake_http_server.h"
#include "services/update_check.h"
#include "test_files.h"

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

using namespace services;
using testing_support::FakeHttpServer;

using testing_support::contentOf;
using testing_support::writeFile;

namespace {

QByteArray dated(const char* date) {
    return QByteArray("[File1]\r\nDate=") + date + "\r\n";
}

struct DateCase {
    const char* name;
    std::optional<QByteArray> published; // tmp.ini; none: no file
    std::optional<QByteArray> installed; // predate.ini
    ReleaseComparison outcome;
};

void PrintTo(const DateCase& dateCase, std::ostream* out) {
    *out << dateCase.name;
}

class ReleaseDates : public testing::TestWithParam<DateCase> {};

TEST_P(ReleaseDates, AreComparedAsTextWhenBothCanBeRead) {
    QTemporaryDir folder;
    const QString dataFolder = folder.path() + "/";
    if (GetParam().published)
        writeFile(dataFolder + publishedDateFile, *GetParam().published);
    if (GetParam().installed)
        writeFile(dataFolder + installedDateFile, *GetParam().installed);
    EXPECT_EQ(compareReleases(dataFolder), GetParam().outcome);
}

constexpr auto newer = ReleaseComparison::newer;
constexpr auto upToDate = ReleaseComparison::upToDate;
constexpr auto publishedUnknown = ReleaseComparison::publishedUnknown;
constexpr auto installedUnknown = ReleaseComparison::installedUnknown;

INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, ReleaseDates,
    testing::Values(
        DateCase{"NewerPublished", dated("2009-05-12"), dated("2009-05-11"), newer},
        DateCase{"Equal", dated("2009-05-12"), dated("2009-05-12"), upToDate},
        DateCase{"OlderPublished", dated("2009-05-11"), dated("2009-05-12"), upToDate},
        DateCase{"NextYear", dated("2010-01-01"), dated("2009-12-31"), newer},
        DateCase{"NoLeadingZerosComparesByCharacters", dated("2009-5-12"), dated("2009-10-01"),
                 newer},
        DateCase{"SectionAndKeyInAnyCaseWithCommentsAndOtherEntries",
                 QByteArray("; release\n[Other]\nDate=2000-01-01\n[file1]\nName = x\n date = "
                            "2010-01-01 \n"),
                 dated("2009-12-31"), newer},
        DateCase{"AnyOtherFormIsComparedAllTheSame", dated("12/05/2009"), dated("2009-05-11"),
                 upToDate},
        // Without a published date nothing is known, however old the installed release.
        DateCase{"NoDownload", std::nullopt, dated("2000-01-01"), publishedUnknown},
        DateCase{"NeitherFile", std::nullopt, std::nullopt, publishedUnknown},
        DateCase{"HtmlPageOnOneLine", QByteArray("<html><body>Date=2099</body></html>"),
                 dated("2000-01-01"), publishedUnknown},
        DateCase{"LoginPageWithTheEntryInIt",
                 QByteArray("<!DOCTYPE html>\n[File1]\nDate=2099-01-01\n<p>请登录</p>\n"),
                 dated("2000-01-01"), publishedUnknown},
        DateCase{"EntryOnlyInAnotherSection", QByteArray("[Other]\nDate=2099-01-01\n"),
                 dated("2000-01-01"), publishedUnknown},
        DateCase{"EmptyDate", QByteArray("[File1]\nDate=\n"), dated("2000-01-01"),
                 publishedUnknown},
        DateCase{"EmptyFile", QByteArray(), dated("2000-01-01"), publishedUnknown},
        DateCase{"NoInstalledDate", dated("2009-05-12"), std::nullopt, installedUnknown},
        DateCase{"InstalledFileWithoutTheEntry", dated("2009-05-12"), QByteArray("[Update]\n"),
                 installedUnknown}),
    [](const auto& info) { return std::string(info.param.name); });

// Answers every request with a long body, one byte at a time, so the
// transfer never stalls and never ends.
class TricklingServer {
public:
    TricklingServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.0 200 OK\r\nContent-Length: 10000\r\n\r\n");
                QObject::connect(&drip_, &QTimer::timeout, socket,
                                 [socket] { socket->write("x"); });
                drip_.start(50);
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/yiyaozj/zyb/Predate.ini")
                        .arg(server_.serverPort()));
    }

private:
    QTcpServer server_;
    QTimer drip_;
};

class UpdateDownload : public testing::Test {
protected:
    void SetUp() override {
        writeFile(dataFolder + publishedDateFile, "old");
        writeFile(dataFolder + installedDateFile, dated("2009-05-11"));
    }

    // Runs the check; counts the timer ticks served meanwhile.
    std::optional<bool> check(const QUrl& address, int timeoutMs = 5000) {
        UpdateCheck updateCheck(dataFolder);
        std::optional<bool> result;
        QEventLoop loop;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [this] { ++ticks; });
        tick.start(10);
        updateCheck.checkAfterDownload(
            address,
            [&](bool newer) {
                result = newer;
                loop.quit();
            },
            timeoutMs);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (!result)
            loop.exec();
        return result;
    }

    QTemporaryDir folder;
    QString dataFolder = folder.path() + "/";
    int ticks = 0;
};

TEST_F(UpdateDownload, ANewerPublishedDateIsDownloadedAndReported) {
    const QByteArray body = dated("2009-05-12");
    FakeHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                          "\r\n\r\n" + body);
    EXPECT_EQ(check(server.url()), true);
    EXPECT_EQ(contentOf(dataFolder + publishedDateFile), body);
    EXPECT_TRUE(server.request().contains("\r\nUser-Agent: Morrowquill"));
}

TEST_F(UpdateDownload, AnHtmlPageWithSuccessAnnouncesNothing) {
    FakeHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: 13\r\n\r\n<html></html>");
    EXPECT_EQ(check(server.url()), false);
}

TEST_F(UpdateDownload, FailuresReportNothingNewAndKeepTheOldFile) {
    FakeHttpServer missing("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
    EXPECT_EQ(check(missing.url()), false);
    EXPECT_EQ(check(QUrl()), false);
    EXPECT_EQ(contentOf(dataFolder + publishedDateFile), "old");
}

TEST_F(UpdateDownload, AServerThatNeverAnswersIsGivenUpWhileEventsAreServed) {
    FakeHttpServer silent{QByteArray()};
    EXPECT_EQ(check(silent.url(), 300), false);
    EXPECT_GT(ticks, 5);
    EXPECT_FALSE(silent.request().isEmpty());
    EXPECT_EQ(contentOf(dataFolder + publishedDateFile), "old");
}

TEST_F(UpdateDownload, AServerThatTricklesIsGivenUpAtTheLimitToo) {
    TricklingServer trickling;
    EXPECT_EQ(check(trickling.url(), 300), false);
    EXPECT_EQ(contentOf(dataFolder + publishedDateFile), "old");
}

} // namespace
