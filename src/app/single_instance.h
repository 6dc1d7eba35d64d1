#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

namespace app {

// The lock file in the data folder that the running copy of the program holds.
inline const QString instanceLockName = QStringLiteral("morrowquill.lock");
// What a later start says when the running copy cannot be reached.
inline const QString alreadyRunningText = QStringLiteral("Morrowquill 已在运行");

// One copy of the program per data folder. The first start holds a lock file
// there for its whole life and listens on a local socket named after the
// folder; a later start asks it to show its window and ends without writing.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Claim {
        // This copy holds the folder (or the folder cannot hold a lock at all).
        Taken,
        // The copy that holds the folder has been asked to show its window.
        RunningCopyShown,
        // Another copy holds the folder and did not answer.
        HeldByAnother,
    };

    // `dataFolder` ends in '/'.
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);

    Claim claim();

signals:
    // A later start asked this copy to show its window.
    void showRequested();

private:
    void listen();
    bool askRunningCopyToShow() const;

    QString dataFolder_;
    QString serverName_;
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace app
