#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <memory>

namespace services {

// The start-up work on the data folder's copies, kept off the window's
// thread: what an interrupted restore or backup left is removed, then the
// daily backup is made when due. It starts once the event loop runs, so after
// the window has been shown, on a thread with connections of its own.
class DailyBackup : public QObject {
    Q_OBJECT

public:
    DailyBackup(const QString& dataFolder, const QDateTime& now, QObject* parent);
    // Stops the work and waits for it a short while at most; a backup stopped
    // part way leaves no file.
    ~DailyBackup() override;

signals:
    // The work has ended, whether a backup was made or not.
    void finished();

private:
    struct Work;
    std::shared_ptr<Work> work_;
};

} // namespace services
