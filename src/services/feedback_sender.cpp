#include "services/feedback_sender.h"

#include <QDeadlineTimer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace services {

namespace {

std::atomic<int> runningSendThreads = 0;

// An attribute value in braces where the driver would otherwise split it.
QString attributeValue(const QString& value) {
    static const QString special = QStringLiteral("[]{}(),;?*=!@ ");
    const bool plain =
        std::none_of(value.begin(), value.end(), [](QChar c) { return special.contains(c); });
    if (plain)
        return value;
    QString braced = value;
    braced.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

} // namespace

QString odbcConnectionString(const FeedbackConnection& connection) {
    QString text = QStringLiteral("DRIVER={") + connection.driver + QStringLiteral("};SERVER=") +
                   attributeValue(connection.server) + QLatin1Char(';');
    if (!connection.port.isEmpty())
        text += QStringLiteral("PORT=") + connection.port + QLatin1Char(';');
    text += QStringLiteral("DATABASE=") + attributeValue(connection.database) +
            QStringLiteral(";UID=") + attributeValue(connection.user) + QStringLiteral(";PWD=") +
            attributeValue(connection.password) + QLatin1Char(';');
    if (!connection.driverOptions.isEmpty())
        text += connection.driverOptions;
    return text;
}

void sendFeedback(const FeedbackConnection& connection, const store::FeedbackRow& row,
                  const std::function<bool()>& mayInsert) {
    store::FeedbackTable table(odbcConnectionString(connection), connection.timeoutSeconds);
    table.open();
    if (mayInsert && !mayInsert())
        throw store::StoreError(QStringLiteral("反馈已放弃。"));
    table.insert(row);
}

// What a send's thread shares with its sender. The thread reports through
// `receiver` only while the sender lives: the sender's destructor clears it.
struct FeedbackSender::Attempt {
    enum class Stage { loggingIn, inserting, givenUp };

    explicit Attempt(quint64 number, FeedbackSender* receiver)
        : number(number)
        , receiver(receiver) {}

    // On the thread, once logged in: false when the send was given up first.
    bool startInsert() {
        const std::lock_guard lock(mutex);
        if (stage == Stage::givenUp)
            return false;
        stage = Stage::inserting;
        return true;
    }

    // True when the insert is now sure never to run. An insert already sent
    // cannot be taken back; only the driver's statement limit ends it.
    bool giveUp() {
        const std::lock_guard lock(mutex);
        if (stage == Stage::inserting || done)
            return false;
        stage = Stage::givenUp;
        return true;
    }

    void end(const QString& error) {
        const std::lock_guard lock(mutex);
        done = true;
        if (receiver) {
            FeedbackSender* sender = receiver;
            QMetaObject::invokeMethod(
                sender, [sender, number = number, error] { sender->settle(number, error); },
                Qt::QueuedConnection);
        }
        ended.notify_all();
    }

    const quint64 number;
    std::mutex mutex;
    std::condition_variable ended;
    Stage stage = Stage::loggingIn;
    bool done = false;
    FeedbackSender* receiver;
};

FeedbackSender::FeedbackSender(FeedbackConnection connection, QObject* parent)
    : QObject(parent)
    , connection_(std::move(connection)) {}

FeedbackSender::~FeedbackSender() {
    const QDeadlineTimer deadline(quitWaitMs);
    for (const std::shared_ptr<Attempt>& attempt : attempts_) {
        std::unique_lock lock(attempt->mutex);
        attempt->receiver = nullptr;
        if (attempt->stage == Attempt::Stage::loggingIn)
            attempt->stage = Attempt::Stage::givenUp;
        // Only an insert under way is worth a wait: it may still be finished.
        if (attempt->stage == Attempt::Stage::inserting)
            attempt->ended.wait_for(lock, std::chrono::milliseconds(deadline.remainingTime()),
                                    [&attempt] { return attempt->done; });
    }
}

bool FeedbackSender::anySendThreadRunning() {
    return runningSendThreads > 0;
}

bool FeedbackSender::send(const store::FeedbackRow& row) {
    if (sending_)
        return false;
    std::erase_if(attempts_, [](const std::shared_ptr<Attempt>& attempt) {
        const std::lock_guard lock(attempt->mutex);
        return attempt->done;
    });
    sending_ = true;
    auto attempt = std::make_shared<Attempt>(++attempt_, this);
    attempts_.push_back(attempt);
    // Detached: a server that never answers holds this thread, but must not
    // hold the window or the end of the program.
    ++runningSendThreads;
    std::thread([attempt, connection = connection_, row] {
        QString error;
        try {
            sendFeedback(connection, row, [&attempt] { return attempt->startInsert(); });
        } catch (const store::StoreError& failure) {
            error = failure.message();
        }
        attempt->end(error);
        --runningSendThreads;
    }).detach();
    QTimer::singleShot(connection_.timeoutSeconds * 1000, this, [this, attempt] {
        if (attempt->giveUp())
            settle(
                attempt->number,
                QStringLiteral("反馈服务器在 %1 秒内没有应答。").arg(connection_.timeoutSeconds));
    });
    return true;
}

void FeedbackSender::settle(quint64 attempt, const QString& error) {
    if (attempt != attempt_ || !sending_)
        return;
    sending_ = false;
    emit finished(error.isEmpty(), error);
}

} // namespace services
