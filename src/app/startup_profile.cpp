#include "app/startup_profile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace app {

namespace {

// Milliseconds from the process's start to now, from the start time the
// kernel keeps for it (in clock ticks since boot).
double sinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    constexpr int startTimeField = 19; // the 22nd field, counted from the state
    if (fields.size() <= startTimeField)
        return -1;
    const double startTicks = fields[startTimeField].toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6 -
           startTicks * 1000 / double(sysconf(_SC_CLK_TCK));
}

struct Profile {
    bool on = std::getenv("MORROWQUILL_PROFILE_STARTUP") != nullptr;
    double offset = on ? sinceProcessStart() : 0;
    QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    QPointer<QTimer> watchdog;
    double lastTick = 0;
    double longestBusy = 0;
    double longestBusyEnd = 0;
};

constexpr int watchdogInterval = 4;

Profile& profile() {
    static Profile started;
    return started;
}

} // namespace

void markStartup(const char* step) {
    Profile& p = profile();
    if (!p.on)
        return;
    // The processor time of the program's own threads (not of the browser's
    // page processes): on a busy machine the part that is the program's.
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::fprintf(stderr, "startup %7.1f ms  cpu %6.1f ms  %s\n",
                 p.offset + double(p.clock.nsecsElapsed()) / 1e6,
                 double(cpu.tv_sec) * 1000 + double(cpu.tv_nsec) / 1e6, step);
}

void markStartup(const QString& step) {
    if (profile().on)
        markStartup(qUtf8Printable(step));
}

void watchStartupBusyness(QObject* owner) {
    Profile& p = profile();
    if (!p.on || p.watchdog)
        return;
    p.watchdog = new QTimer(owner);
    p.watchdog->setTimerType(Qt::PreciseTimer);
    p.watchdog->setInterval(watchdogInterval);
    p.lastTick = double(p.clock.nsecsElapsed()) / 1e6;
    QObject::connect(p.watchdog, &QTimer::timeout, [&p] {
        const double now = double(p.clock.nsecsElapsed()) / 1e6;
        if (now - p.lastTick - watchdogInterval > p.longestBusy) {
            p.longestBusy = now - p.lastTick - watchdogInterval;
            p.longestBusyEnd = p.offset + now;
        }
        p.lastTick = now;
    });
    p.watchdog->start();
}

void reportStartupBusynessAfter(int afterMs) {
    Profile& p = profile();
    if (!p.watchdog)
        return;
    QTimer::singleShot(afterMs, p.watchdog, [&p] {
        markStartup(QStringLiteral("longest busy stretch of the window's thread since it was "
                                   "shown: %1 ms, ending at %2 ms")
                        .arg(p.longestBusy, 0, 'f', 0)
                        .arg(p.longestBusyEnd, 0, 'f', 0));
        p.watchdog->deleteLater();
    });
}

} // namespace app
