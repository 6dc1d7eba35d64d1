#include "services/feedback_sender.h"

#include <QThread>
#include <QTimer>
#include <algorithm>

namespace services {

namespace {

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
                  const std::atomic<bool>* abandoned) {
    store::FeedbackTable table(odbcConnectionString(connection), connection.timeoutSeconds);
    table.open();
    if (abandoned && *abandoned)
        throw store::StoreError(QStringLiteral("反馈已放弃。"));
    table.insert(row);
}

FeedbackSender::FeedbackSender(FeedbackConnection connection, QObject* parent)
    : QObject(parent)
    , connection_(std::move(connection)) {}

FeedbackSender::~FeedbackSender() {
    if (abandoned_)
        *abandoned_ = true;
    for (QThread* worker : workers_) {
        worker->wait();
        delete worker;
    }
}

bool FeedbackSender::send(const store::FeedbackRow& row) {
    if (sending_)
        return false;
    const quint64 attempt = ++attempt_;
    sending_ = true;
    abandoned_ = std::make_shared<std::atomic<bool>>(false);
    QThread* worker =
        QThread::create([this, attempt, connection = connection_, row, abandoned = abandoned_] {
            QString error;
            try {
                sendFeedback(connection, row, abandoned.get());
            } catch (const store::StoreError& failure) {
                error = failure.message();
            }
            QMetaObject::invokeMethod(
                this, [this, attempt, error] { settle(attempt, error); }, Qt::QueuedConnection);
        });
    workers_.push_back(worker);
    connect(worker, &QThread::finished, this, [this, worker] {
        workers_.erase(std::find(workers_.begin(), workers_.end(), worker));
        worker->deleteLater();
    });
    worker->start();
    // The driver's timeouts should end the send first; this is the window's promise.
    QTimer::singleShot(connection_.timeoutSeconds * 1000, this, [this, attempt] {
        if (attempt == attempt_)
            *abandoned_ = true;
        settle(attempt,
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
