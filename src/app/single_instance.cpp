#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cstdio>

namespace app {

namespace {

const QByteArray showRequest = "show\n";
const QByteArray shownReply = "shown\n";

// The same folder reached by another path gives the same name.
QString serverNameOf(const QString& dataFolder) {
    const QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    const QByteArray digest = QCryptographicHash::hash(
        (canonical.isEmpty() ? dataFolder : canonical).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("morrowquill-") + QString::fromLatin1(digest.toHex().left(24));
}

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent)
    , dataFolder_(dataFolder)
    , serverName_(serverNameOf(dataFolder))
    , lock_(dataFolder + instanceLockName) {
    // Only a lock whose process has ended is stale, however old it is.
    lock_.setStaleLockTime(0);
}

SingleInstance::Claim SingleInstance::claim() {
    QDir().mkpath(dataFolder_);
    if (lock_.tryLock(0)) {
        listen();
        return Claim::Taken;
    }
    if (lock_.error() != QLockFile::LockFailedError) {
        // A folder that cannot hold a lock (read-only, say) is used as before.
        std::fprintf(stderr, "morrowquill: %s 无法加锁。\n",
                     qUtf8Printable(dataFolder_ + instanceLockName));
        return Claim::Taken;
    }
    return askRunningCopyToShow() ? Claim::RunningCopyShown : Claim::HeldByAnother;
}

void SingleInstance::listen() {
    // Holding the lock, any socket of this name is left from a copy that ended.
    QLocalServer::removeServer(serverName_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverName_)) {
        std::fprintf(stderr, "morrowquill: %s\n", qUtf8Printable(server_->errorString()));
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine(64) == showRequest) {
                    emit showRequested();
                    socket->write(shownReply);
                }
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::askRunningCopyToShow() const {
    // The running copy may have taken the lock a moment ago and not yet listen,
    // or be busy starting: it is given a few seconds.
    const QDeadlineTimer deadline(5000);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    socket.write(showRequest);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(64) == shownReply;
}

} // namespace app
