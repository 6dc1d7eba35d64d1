#include "services/daily_backup.h"

#include "services/automatic_backups.h"
#include "services/bank_backup.h"

#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace services {

namespace {

// How long quitting waits for the work: stopping a snapshot takes moments,
// so only a disk that hangs makes the program leave without it.
constexpr std::chrono::seconds stopWait{2};

} // namespace

// Shared with the thread, which may outlive the object when the disk hangs.
struct DailyBackup::Work {
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    DailyBackup* owner = nullptr; // guarded by mutex; null once the owner is gone
    std::thread thread;
};

DailyBackup::DailyBackup(const QString& dataFolder, const QDateTime& now, QObject* parent)
    : QObject(parent)
    , work_(std::make_shared<Work>()) {
    work_->owner = this;
    QTimer::singleShot(0, this, [this, dataFolder, now] {
        work_->thread = std::thread([work = work_, dataFolder, now] {
            removeUnfinishedCopies(dataFolder);
            backUpOncePerDay(dataFolder, now, &work->stop);
            const std::lock_guard lock(work->mutex);
            work->done = true;
            work->ended.notify_all();
            if (work->owner)
                QMetaObject::invokeMethod(
                    work->owner, [owner = work->owner] { emit owner->finished(); },
                    Qt::QueuedConnection);
        });
    });
}

DailyBackup::~DailyBackup() {
    work_->stop = true;
    bool done = false;
    {
        std::unique_lock lock(work_->mutex);
        work_->owner = nullptr;
        if (work_->thread.joinable())
            done = work_->ended.wait_for(lock, stopWait, [this] { return work_->done; });
    }
    if (!work_->thread.joinable())
        return;
    if (done)
        work_->thread.join();
    else
        work_->thread.detach();
}

} // namespace services
