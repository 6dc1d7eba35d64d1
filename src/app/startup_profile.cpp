#include "app/startup_profile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
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
};

Profile& profile() {
    static Profile started;
    return started;
}

} // namespace

void markStartup(const char* step) {
    Profile& p = profile();
    if (!p.on)
        return;
    std::fprintf(stderr, "startup %7.1f ms  %s\n", p.offset + double(p.clock.nsecsElapsed()) / 1e6,
                 step);
}

} // namespace app
