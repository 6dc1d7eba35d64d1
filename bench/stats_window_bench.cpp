// The statistics window opened on the large history bench/run stats makes:
// from the click that opens it to every figure, table and chart filled and
// painted, and the longest stretch its thread was busy meanwhile.
//
// stats_window_bench BANK

#include "bench_support.h"
#include "record/statistics_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <ctime>
#include <vector>

namespace {

constexpr int runs = 5;
constexpr double goalMs = 300;

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Lets the window's pending work (layout, paints of the tables and charts)
// run until the event loop has had nothing to do for a moment.
void paintAndSettle(QWidget& window) {
    window.repaint();
    QElapsedTimer idle;
    idle.start();
    bench_support::waitFor(
        [&] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            return idle.elapsed() > 200;
        },
        "the window to settle");
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: stats_window_bench BANK\n");
        return 2;
    }
    const QString bankPath = QString::fromLocal8Bit(argv[1]);
    std::vector<double> wallTimes, cpuTimes, busyTimes;
    bench_support::BusyWatch busyWatch;
    qint64 chapters = 0;
    for (int run = 0; run < runs; ++run) {
        // As the main window does on each click of the button: the window is
        // made once and filled again each time it is opened.
        record::StatisticsWindow window(QString(), bankPath);
        paintAndSettle(window);
        busyWatch.start();
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuMs();
        window.refresh();
        window.show();
        bench_support::waitFor([&] { return window.isVisible(); }, "the window to show");
        window.repaint();
        wallTimes.push_back(double(clock.nsecsElapsed()) / 1e6);
        cpuTimes.push_back(threadCpuMs() - cpuBefore);
        paintAndSettle(window);
        busyTimes.push_back(busyWatch.stop());
        chapters = qint64(window.statistics().chapters.size());
        window.close();
    }
    std::printf("statistics window on %s (%lld chapters), %d runs:\n", qPrintable(bankPath),
                static_cast<long long>(chapters), runs);
    std::printf("  opened with every figure and chart painted: median %.1f ms wall "
                "(worst %.1f), %.1f ms CPU of the window's thread; goal <= %.0f ms\n",
                bench_support::median(wallTimes),
                *std::max_element(wallTimes.begin(), wallTimes.end()),
                bench_support::median(cpuTimes), goalMs);
    std::printf("  longest busy stretch of the window's thread while it opens and paints: "
                "median %.1f ms (worst %.1f)\n",
                bench_support::median(busyTimes),
                *std::max_element(busyTimes.begin(), busyTimes.end()));
    return 0;
}
