#pragma once

#include "services/settings.h"
#include "store/feedback_table.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace services {

// The ODBC connection string for the settings' driver, server and login.
QString odbcConnectionString(const FeedbackConnection& connection);

// Sends one report on the calling thread with a connection of its own. Throws
// store::StoreError. `mayInsert` runs after logging in; when it answers false
// the send stops there, so a caller that gave up sends nothing.
void sendFeedback(const FeedbackConnection& connection, const store::FeedbackRow& row,
                  const std::function<bool()>& mayInsert = {});

// Sends reports on worker threads, so the window never waits for the server.
// Each send ends in exactly one `finished`, through the event loop. A send
// reported as failed can no longer arrive: one still logging in at the
// connection's timeout is given up before its insert, and an insert under way
// is waited for, the driver ending it at the same timeout.
class FeedbackSender : public QObject {
    Q_OBJECT

public:
    explicit FeedbackSender(FeedbackConnection connection, QObject* parent = nullptr);
    // Gives up sends still logging in, and waits a few seconds at most for
    // inserts under way; a server that stalls keeps only their threads, never
    // the caller, and they end with the process.
    ~FeedbackSender() override;

    // How long the destructor waits for inserts under way.
    static constexpr int quitWaitMs = 3000;

    // True while the thread of some send, of any sender, still runs: one
    // stuck in the driver cannot be stopped, and a process that ends must then
    // end without tearing down the libraries under it (std::_Exit).
    static bool anySendThreadRunning();

    // False, and nothing sent, while an earlier send is under way.
    bool send(const store::FeedbackRow& row);
    bool isSending() const { return sending_; }

signals:
    // `error` is the reason when the row was not delivered.
    void finished(bool delivered, const QString& error);

private:
    struct Attempt;

    void settle(quint64 attempt, const QString& error);

    FeedbackConnection connection_;
    quint64 attempt_ = 0;
    bool sending_ = false;
    // Sends whose threads may still run, the current one last.
    std::vector<std::shared_ptr<Attempt>> attempts_;
};

} // namespace services
