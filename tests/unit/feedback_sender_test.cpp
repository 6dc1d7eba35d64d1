#include "feedback_server.h"
#include "qt_printers.h"
#include "services/feedback_sender.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using services::FeedbackSender;
using store::FeedbackRow;
using testing_support::FeedbackServer;

namespace {

struct Outcome {
    bool delivered = false;
    QString error;
};

// Runs the event loop until the sender reports, for at most `limitMs`.
std::optional<Outcome> waitForOutcome(FeedbackSender& sender, int limitMs = 30000) {
    std::optional<Outcome> outcome;
    QEventLoop loop;
    QObject::connect(&sender, &FeedbackSender::finished, &loop,
                     [&](bool delivered, const QString& error) {
                         outcome = Outcome{delivered, error};
                         loop.quit();
                     });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return outcome;
}

// Asks `condition` every 50 ms, serving events meanwhile, for at most `limitMs`.
bool becomesTrue(const std::function<bool()>& condition, int limitMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs)
            return false;
        QEventLoop pause;
        QTimer::singleShot(50, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return true;
}

std::optional<Outcome> sendAndWait(FeedbackSender& sender, const FeedbackRow& row) {
    if (!sender.send(row))
        return std::nullopt;
    return waitForOutcome(sender);
}

QStringList columnsOf(const FeedbackRow& row) {
    QStringList columns{row.subject, row.questionId, row.questionText};
    for (const bool fault : row.faults)
        columns << (fault ? "1" : "0");
    columns << row.note;
    return columns;
}

class FeedbackSending : public testing::Test {
protected:
    void SetUp() override {
        if (!server.unavailable().isEmpty())
            GTEST_SKIP() << "no test database server: " << server.unavailable().toStdString();
        ASSERT_TRUE(server.isRunning());
    }

    FeedbackServer server;
};

TEST_F(FeedbackSending, EmptyReportAndASingleFaultArriveAsZerosAndOnes) {
    FeedbackSender sender(server.connection());
    const FeedbackRow empty{"职业病", "17", "题干", {}, {}};
    FeedbackRow thirdFault{"职业病", "18", "另一题", {}, {}};
    thirdFault.faults[2] = true;

    const auto first = sendAndWait(sender, empty);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->delivered) << first->error.toStdString();
    const auto second = sendAndWait(sender, thirdFault);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->delivered) << second->error.toStdString();

    const auto rows = server.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], QStringList({"职业病", "17", "题干", "0", "0", "0", "0", "0", "0", "0", "0",
                                    "0", "0", ""}));
    EXPECT_EQ(rows[1], QStringList({"职业病", "18", "另一题", "0", "0", "1", "0", "0", "0", "0",
                                    "0", "0", "0", ""}));
}

TEST_F(FeedbackSending, TextsThatLookLikeSqlArriveByteForByte) {
    FeedbackSender sender(server.connection());
    const QString hostile = "it's \"quoted\" '); drop table yiyao; -- \\ 尘肺病 ☣ \n第二行 %s ?";
    const FeedbackRow row{"职业病'", "9'; --", hostile, {true, false, true}, hostile + "备注"};

    const auto outcome = sendAndWait(sender, row);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->delivered) << outcome->error.toStdString();
    EXPECT_EQ(server.rows(), std::vector<QStringList>{columnsOf(row)});
}

TEST_F(FeedbackSending, AStoppedServerFailsAndAfterARestartTheSameReportArrivesOnce) {
    FeedbackSender sender(server.connection());
    const FeedbackRow row{"职业病", "21", "题干", {false, true}, "说明"};
    server.stop();

    const auto failed = sendAndWait(sender, row);
    ASSERT_TRUE(failed);
    EXPECT_FALSE(failed->delivered);
    EXPECT_FALSE(failed->error.isEmpty());

    server.start();
    ASSERT_TRUE(server.isRunning());
    const auto delivered = sendAndWait(sender, row);
    ASSERT_TRUE(delivered);
    EXPECT_TRUE(delivered->delivered) << delivered->error.toStdString();
    EXPECT_EQ(server.rows(), std::vector<QStringList>{columnsOf(row)});
}

TEST_F(FeedbackSending, AnInsertHeldPastTheLimitFailsForRealAndTheRetryArrivesOnce) {
    services::FeedbackConnection connection = server.connection();
    connection.timeoutSeconds = 2;
    const FeedbackRow row{"职业病", "31", "题干", {true}, "锁"};
    {
        FeedbackSender sender(connection);
        {
            testing_support::TableLock lock(server.connection());
            ASSERT_TRUE(lock.isHeld());
            ASSERT_TRUE(sender.send(row));
            // Reported while the table is still locked.
            const auto failed = waitForOutcome(sender);
            ASSERT_TRUE(failed);
            EXPECT_FALSE(failed->delivered);
        }
        const auto retried = sendAndWait(sender, row);
        ASSERT_TRUE(retried);
        EXPECT_TRUE(retried->delivered) << retried->error.toStdString();
    }
    // With the sender gone no insert of its own can still be waiting to arrive.
    EXPECT_EQ(server.rows(), std::vector<QStringList>{columnsOf(row)});
}

TEST_F(FeedbackSending, GoingAwayDuringAnInsertHeldByALockReturnsLongBeforeTheTimeout) {
    services::FeedbackConnection connection = server.connection();
    connection.timeoutSeconds = 60;
    testing_support::TableLock lock(server.connection());
    ASSERT_TRUE(lock.isHeld());
    QElapsedTimer clock;
    {
        FeedbackSender sender(connection);
        ASSERT_TRUE(sender.send({"职业病", "1", "题干", {}, {}}));
        ASSERT_TRUE(becomesTrue([&] { return server.statementsWaitingForALock() == 1; }));
        clock.start();
    }
    // A bound for a loaded machine, far below the statement's own limit.
    EXPECT_LT(clock.elapsed(), 15000);
}

// Needs no database server: a port that takes connections and never says a word.
TEST(FeedbackSendingToASilentServer, FailsWithinTheTimeoutWhileEventsAreServed) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    services::FeedbackConnection connection = FeedbackServer::connectionTo(silent.serverPort());
    connection.timeoutSeconds = 2;
    FeedbackSender sender(connection);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(sender.send({"职业病", "1", "题干", {}, {}}));
    EXPECT_TRUE(sender.isSending());
    EXPECT_FALSE(sender.send({"职业病", "2", "题干", {}, {}}));
    const auto outcome = waitForOutcome(sender);

    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->delivered);
    EXPECT_LT(clock.elapsed(), 2000 + 1000);
    EXPECT_GT(ticks, 10);
    EXPECT_FALSE(sender.isSending());
}

TEST(FeedbackSendingToASilentServer, GoingAwayDuringTheSendReturnsLongBeforeTheTimeout) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    services::FeedbackConnection connection = FeedbackServer::connectionTo(silent.serverPort());
    connection.timeoutSeconds = 60;
    QElapsedTimer clock;
    {
        FeedbackSender sender(connection);
        ASSERT_TRUE(sender.send({"职业病", "1", "题干", {}, {}}));
        ASSERT_TRUE(silent.waitForNewConnection(10000));
        clock.start();
    }
    // A bound for a loaded machine, far below the send's own timeout.
    EXPECT_LT(clock.elapsed(), 15000);
}

} // namespace
