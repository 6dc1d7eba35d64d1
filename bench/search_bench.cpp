// Search over a 200 000-question synthetic bank: building the index, answering
// queries (three characters and more through the index, shorter ones by a
// scan), building a results page's fragments, drawing a random practice page
// from the whole bank, and in the real main window under Xvfb, from Enter in
// the search field to the first screenful drawn and to the results page
// complete. Each figure is given as wall time and as the CPU time of this
// process (the browser's renderer process is not counted), as the machine
// may be shared.
//
// search_bench PROGRAM_FOLDER: the folder holds ty.html and tp/, copied beside
// the bench's own bank in a temporary folder.

#include "app/folders.h"
#include "app/main_window.h"
#include "bank_writer.h"
#include "bench_support.h"
#include "practice/random_practice.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"
#include "search/result_page.h"
#include "search/search_field.h"
#include "search/search_index.h"
#include "store/bank.h"
#include "store/tree_statements.h"
#include "synthetic_bank.h"
#include "web/html_view.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <ctime>
#include <random>

namespace {

using bench_support::evaluate;
using bench_support::median;
using bench_support::waitFor;

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(u' ', 0, 2)
                                          : QStringLiteral("?");
}

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Times {
    std::vector<double> wall, cpu;
    void add(double wallMs, double cpuMs) {
        wall.push_back(wallMs);
        cpu.push_back(cpuMs);
    }
    QString text() const {
        return QStringLiteral("%1 ms wall, %2 ms CPU")
            .arg(median(wall), 0, 'f', 1)
            .arg(median(cpu), 0, 'f', 1);
    }
};

template <class Work> Times timed(int runs, Work work) {
    Times times;
    for (int run = 0; run < runs; ++run) {
        const double cpuBefore = cpuMilliseconds();
        QElapsedTimer timer;
        timer.start();
        work();
        times.add(double(timer.nsecsElapsed()) / 1e6, cpuMilliseconds() - cpuBefore);
    }
    return times;
}

// Notes when the browser first draws a page holding a question of a new
// page after it is armed: the questions on show when armed are marked old,
// as the page may change before the old ones are taken down.
const QString paintProbe = QStringLiteral(
    "<script>function mqArmPaintProbe() { window.firstPaintAt = 0; "
    "document.querySelectorAll(\"[id^=fan]\").forEach(function (e) { e.dataset.mqOld = 1; }); "
    "new MutationObserver(function (m, o) { "
    "if (!document.querySelector(\"[id^=fan]:not([data-mq-old])\")) return; o.disconnect(); "
    "requestAnimationFrame(function () { window.firstPaintAt = performance.timeOrigin + "
    "performance.now(); }); }).observe(document.documentElement, {childList: true, subtree: "
    "true}); } mqArmPaintProbe();</script>");

std::vector<qint64> everyChapter(store::Bank& bank) {
    std::vector<qint64> chapters;
    for (const store::TreeNode& top : store::topLevelNodes(bank))
        for (const store::TreeNode& section : store::childNodes(bank, top.id))
            for (const store::TreeNode& chapter : store::childNodes(bank, section.id))
                chapters.push_back(chapter.id);
    return chapters;
}

class SeededRandom : public exam::RandomSource {
public:
    quint32 below(quint32 bound) override { return quint32(engine_() % bound); }

private:
    std::mt19937 engine_{11};
};

void settle() {
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 250)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: search_bench PROGRAM_FOLDER\n");
        return 2;
    }
    const QString builtFolder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/");
    QTemporaryDir data;
    const QString folder = data.path() + QStringLiteral("/");
    {
        QFile built(builtFolder + QStringLiteral("ty.html"));
        QFile probed(folder + QStringLiteral("ty.html"));
        if (!built.open(QIODevice::ReadOnly) || !probed.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "search_bench: cannot copy the page template\n");
            return 1;
        }
        probed.write(QString::fromUtf8(built.readAll())
                         .replace(QStringLiteral("</body>"), QStringLiteral("</body>") + paintProbe)
                         .toUtf8());
    }
    QDir().mkpath(folder + QStringLiteral("tp"));
    for (const QString& name : QDir(builtFolder + QStringLiteral("tp")).entryList(QDir::Files))
        QFile::copy(builtFolder + QStringLiteral("tp/") + name,
                    folder + QStringLiteral("tp/") + name);
    const QString bankPath = store::Bank::pathIn(folder);
    QDir().mkpath(folder + QStringLiteral("Data"));
    banktool::writeBank(banktool::syntheticBank({200000, 7, 60}), bankPath);
    std::printf("search over 200 000 questions (load average at start %s)\n",
                qPrintable(loadAverage()));

    {
        store::Bank bank(bankPath);
        search::SearchIndex index(bank);
        for (int run = 1; run <= 2; ++run)
            std::printf("  index build, run %d: %s (goal <= 15000)\n", run,
                        qPrintable(timed(1, [&] { index.build(); }).text()));
        const Times check = timed(1, [&] {
            search::SearchIndex later(bank);
            later.needsBuilding();
        });
        std::printf("  index check against the bank, once a session: %s\n",
                    qPrintable(check.text()));

        struct Query {
            const char* text;
            const char* what;
            const char* goal;
        };
        const Query queries[] = {
            {"矽肺铅", "3 characters, two words", " (goal <= 30)"},
            {"硫化氢", "3 characters, a word in most questions", " (goal <= 30)"},
            {"一氧化碳诊断", "6 characters", ""},
            {"汞", "1 character, scanned", ""}};
        for (const Query& query : queries) {
            search::SearchResult result;
            const Times times = timed(15, [&] {
                result =
                    index.find(QString::fromUtf8(query.text), collections::ViewMode::WholeBank);
            });
            std::printf("  query %s (%s): %d found, median %s%s\n", query.text, query.what,
                        result.questionCount, qPrintable(times.text()), query.goal);
        }
        const search::SearchResult result =
            index.find(QStringLiteral("矽肺铅"), collections::ViewMode::WholeBank);
        const Times fragments = timed(15, [&] {
            QStringList written;
            search::resultPageBuilder(bank, result, 0, collections::ViewMode::WholeBank)
                ->writeRest(written);
        });
        std::printf("  first results page's fragments (矽肺铅): median %s\n",
                    qPrintable(fragments.text()));

        const std::vector<qint64> chapters = everyChapter(bank);
        SeededRandom random;
        int drawn = 0;
        const Times drawing = timed(15, [&] {
            drawn = practice::drawRandomPractice(bank, chapters, collections::ViewMode::WholeBank,
                                                 100, random)
                        .questionCount();
        });
        std::printf(
            "  random practice, 100 of the whole bank (%zu chapters): %d drawn, median %s\n",
            chapters.size(), drawn, qPrintable(drawing.text()));
    }

    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    const app::Folders folders{folder, folder};
    app::MainWindow window(folders, prompter, desktop);
    QSignalSpy shown(&window, &app::MainWindow::pageShown);
    window.show();
    waitFor([&] { return shown.count() > 0; }, "the first chapter");
    auto* field = window.findChild<search::SearchField*>(QStringLiteral("searchField"));
    web::HtmlView* view = window.page();
    for (const char* text : {"矽肺铅", "硫化氢"}) {
        Times complete, painted;
        for (int run = 0; run < 7; ++run) {
            settle();
            field->setText(QString::fromUtf8(text));
            evaluate(view, QStringLiteral("mqArmPaintProbe(); 1"));
            const qsizetype before = shown.count();
            const qint64 pressedAt = QDateTime::currentMSecsSinceEpoch();
            const double cpuBefore = cpuMilliseconds();
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(field, Qt::Key_Return);
            waitFor([&] { return shown.count() > before; }, "the results page");
            complete.add(double(timer.nsecsElapsed()) / 1e6, cpuMilliseconds() - cpuBefore);
            // The CPU time up to the first paint is not known: the paint is
            // noted by the page; the wall time is.
            painted.add(evaluate(view, QStringLiteral("window.firstPaintAt || 0")).toDouble() -
                            double(pressedAt),
                        0);
        }
        std::printf("  Enter to first screenful drawn (%s): median %.0f ms wall (goal <= 100)\n",
                    text, median(painted.wall));
        std::printf("  Enter to results page complete (%s): median %s\n", text,
                    qPrintable(complete.text()));
    }
    std::printf("  load average at end %s\n", qPrintable(loadAverage()));
    return 0;
}
