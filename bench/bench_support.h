#pragma once

// What the window benchmarks share: medians, and waits that end the run with
// a message instead of hanging.

#include "event_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench_support {

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The result of `script` in the view's page; ends the run when none comes.
inline QVariant evaluate(web::HtmlView* view, const QString& script) {
    const std::optional<QVariant> result = testing_support::scriptResult(view, script, 60000);
    if (!result) {
        std::fprintf(stderr, "%s: no result from %s\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(script));
        std::exit(1);
    }
    return *result;
}

// A floor's document: the program folder's page template with `fragments`
// in its body, as one file beside it; returns its path.
inline QString writeTemplateWithBody(const QString& folder, const QStringList& fragments) {
    QFile templateFile(folder + QStringLiteral("ty.html"));
    templateFile.open(QIODevice::ReadOnly);
    QString whole = QString::fromUtf8(templateFile.readAll());
    whole.replace(QStringLiteral("<body></body>"),
                  QStringLiteral("<body>") + fragments.join(QString()) + QStringLiteral("</body>"));
    const QString path = folder + QStringLiteral("floor.html");
    QFile floorFile(path);
    floorFile.open(QIODevice::WriteOnly | QIODevice::Truncate);
    floorFile.write(whole.toUtf8());
    return path;
}

template <class Condition> void waitFor(Condition condition, const char* what) {
    if (!testing_support::waitUntil(condition, 60000)) {
        std::fprintf(stderr, "%s: timed out waiting for %s\n",
                     qPrintable(QCoreApplication::applicationName()), what);
        std::exit(1);
    }
}

// An event-loop watchdog: a timer of this thread due every few milliseconds
// notes how late each of its ticks comes. The latest one is the longest
// stretch of work that held the thread (and the window's painting) up.
class BusyWatch {
public:
    BusyWatch() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(interval);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        longest_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    // The longest lateness since start(), in milliseconds.
    double stop() {
        tick();
        timer_.stop();
        return longest_;
    }

private:
    static constexpr int interval = 4;
    void tick() {
        const double now = double(clock_.nsecsElapsed()) / 1e6;
        longest_ = std::max(longest_, now - last_ - interval);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    double last_ = 0;
    double longest_ = 0;
};

} // namespace bench_support
