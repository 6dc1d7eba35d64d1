#pragma once

#include "services/settings.h"
#include "store/feedback_table.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class QThread;

namespace services {

// The ODBC connection string for the settings' driver, server and login.
QString odbcConnectionString(const FeedbackConnection& connection);

// Sends one report on the calling thread with a connection of its own. Throws
// store::StoreError. `abandoned`, when given and set before the insert runs,
// stops the send after logging in, so a caller that gave up sends nothing.
void sendFeedback(const FeedbackConnection& connection, const store::FeedbackRow& row,
                  const std::atomic<bool>* abandoned = nullptr);

// Sends reports on worker threads, so the window never waits for the server.
// Each send ends in exactly one `finished`, through the event loop, at the
// latest after the connection's timeout.
class FeedbackSender : public QObject {
    Q_OBJECT

public:
    explicit FeedbackSender(FeedbackConnection connection, QObject* parent = nullptr);
    // Waits for sends still under way (the driver's own timeouts bound them).
    ~FeedbackSender() override;

    // False, and nothing sent, while an earlier send is under way.
    bool send(const store::FeedbackRow& row);
    bool isSending() const { return sending_; }

signals:
    // `error` is the reason when the row was not delivered.
    void finished(bool delivered, const QString& error);

private:
    void settle(quint64 attempt, const QString& error);

    FeedbackConnection connection_;
    quint64 attempt_ = 0;
    bool sending_ = false;
    std::shared_ptr<std::atomic<bool>> abandoned_;
    std::vector<QThread*> workers_;
};

} // namespace services
