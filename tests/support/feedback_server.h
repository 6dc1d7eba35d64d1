#pragma once

#include "services/settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <sys/types.h>
#include <vector>

class QProcess;

namespace testing_support {

// A private PostgreSQL server on 127.0.0.1 holding the feedback table `yiyao`,
// reached through the psqlODBC driver exactly as the program reaches its
// server. Its cluster lives in a temporary folder and goes with the object;
// the server is a child of the test and dies with it. Run as root, the server
// runs as the unprivileged `postgres` user.
class FeedbackServer {
public:
    FeedbackServer();
    ~FeedbackServer();
    FeedbackServer(const FeedbackServer&) = delete;
    FeedbackServer& operator=(const FeedbackServer&) = delete;

    // Why no server can run on this machine at all; empty when one can.
    const QString& unavailable() const { return unavailable_; }
    // Set up and running; otherwise the test has already been failed.
    bool isRunning() const;

    // The settings that reach this server.
    services::FeedbackConnection connection() const { return connectionTo(port_); }
    // The same driver and login on another local port.
    static services::FeedbackConnection connectionTo(quint16 port);
    void stop();
    void start();
    // Every row of `yiyao` in arrival order, its fourteen columns in table order.
    std::vector<QStringList> rows() const;
    // How many statements wait for a lock on the server.
    int statementsWaitingForALock() const;

private:
    // A process of the server's programs, as the server's user.
    std::unique_ptr<QProcess> serverProgram(const QString& name, const QStringList& arguments);
    bool initialise();
    bool createTable();

    QString binFolder_;
    QString unavailable_;
    QTemporaryDir folder_;
    uid_t serverUid_;
    gid_t serverGid_;
    quint16 port_ = 0;
    std::unique_ptr<QProcess> server_;
    QByteArray log_;
    bool ready_ = false;
};

// An exclusive lock on `yiyao`, held by a connection of its own for as long as
// the object lives: every insert into the table waits until it goes.
class TableLock {
public:
    explicit TableLock(const services::FeedbackConnection& connection);
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

    bool isHeld() const { return held_; }

private:
    QString connectionName_;
    bool held_ = false;
};

} // namespace testing_support
