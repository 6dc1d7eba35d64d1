// Times start-up from process start to the first chapter's first screenful on
// the screen, read from the screen, against the floor: a bare browser window
// (start_floor) loading the same template with the same first screenful as
// one document, from process start, placed and sized as the main window's page.
//
// start_bench PROGRAM_FOLDER FLOOR_PROGRAM RUNS: the folder holds the program
// (morrowquill), its template and pictures, and the bank in Data/med.db.

#include "bench_support.h"
#include "collections/view_mode.h"
#include "practice/page_builder.h"
#include "store/bank.h"
#include "store/tree_statements.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

using bench_support::median;
using bench_support::waitFor;

// Fragments in the program's first screenful of a page.
constexpr int firstScreenFragments = 160;
// The text zoom of a practice page.
constexpr double pageZoom = 0.9;
// The piece of the screen read: the page's top left, where its first heading
// and question begin.
constexpr QSize readSize{320, 100};

QImage screenAt(QPoint corner) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, corner.x(), corner.y(), readSize.width(), readSize.height())
        .toImage();
}

void pause(int ms) {
    QElapsedTimer clock;
    clock.start();
    waitFor([&] { return clock.elapsed() >= ms; }, "a pause");
}

// The floor's document: the template with the first chapter's first
// screenful in its body, as the program's first call appends it.
QString writeFloorDocument(const QString& folder) {
    store::Bank bank(store::Bank::pathIn(folder));
    const auto top = store::topLevelNodes(bank).at(0);
    const auto section = store::childNodes(bank, top.id).at(0);
    const qint64 chapter = store::childNodes(bank, section.id).at(0).id;
    QStringList fragments;
    practice::ChapterPageBuilder(bank, chapter, collections::ViewMode::WholeBank)
        .writeFirst(firstScreenFragments, fragments);
    return bench_support::writeTemplateWithBody(folder, fragments.mid(0, firstScreenFragments));
}

// One started process, its start-up profile lines read as they come.
class Started {
public:
    Started(const QString& program, const QStringList& arguments, bool profiled) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (profiled)
            environment.insert(QStringLiteral("MORROWQUILL_PROFILE_STARTUP"), QStringLiteral("1"));
        process_.setProcessEnvironment(environment);
        QObject::connect(&process_, &QProcess::readyReadStandardError, [this] { read(); });
        clock_.start();
        process_.start(program, arguments);
    }
    ~Started() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    double elapsed() const { return double(clock_.nsecsElapsed()) / 1e6; }
    bool has(const QString& step) const {
        return std::any_of(steps_.begin(), steps_.end(),
                           [&](const Step& s) { return s.name.startsWith(step); });
    }
    struct Step {
        QString name;
        double at;  // ms from the process start
        double cpu; // ms of processor time used by then
    };
    const std::vector<Step>& steps() const { return steps_; }

private:
    void read() {
        static const QRegularExpression mark(
            QStringLiteral("^startup +(-?[0-9.]+) ms  cpu +([0-9.]+) ms  (.*)$"));
        buffer_ += QString::fromUtf8(process_.readAllStandardError());
        qsizetype end;
        while ((end = buffer_.indexOf(QLatin1Char('\n'))) >= 0) {
            const QString line = buffer_.left(end);
            buffer_.remove(0, end + 1);
            if (const auto match = mark.match(line); match.hasMatch())
                steps_.push_back({match.captured(3), match.captured(1).toDouble(),
                                  match.captured(2).toDouble()});
        }
    }

    QProcess process_;
    QElapsedTimer clock_;
    QString buffer_;
    std::vector<Step> steps_;
};

// Milliseconds from the start until `reference` shows at `corner`.
double timeToScreen(Started& started, QPoint corner, const QImage& reference) {
    double shownAt = -1;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (shownAt < 0 && screenAt(corner) == reference)
            shownAt = started.elapsed();
    });
    poll.start();
    waitFor([&] { return shownAt >= 0; }, "the first screenful on the screen");
    return shownAt;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: start_bench PROGRAM_FOLDER FLOOR_PROGRAM RUNS\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/");
    const QString program = folder + QStringLiteral("morrowquill");
    const QString floorProgram = QString::fromLocal8Bit(argv[2]);
    const int runs = std::max(1, std::atoi(argv[3]));
    const QString floorDocument = writeFloorDocument(folder);

    // A first start of each, not timed: it finds where the page is, what it
    // shows once drawn, and does what a program does once a day (a backup).
    QRect pageRect;
    QImage programReference;
    {
        Started started(program, {}, true);
        waitFor([&] { return started.has(QStringLiteral("page view at")); }, "the page's place");
        for (const auto& [step, at, cpu] : started.steps()) {
            static const QRegularExpression place(
                QStringLiteral("page view at (-?\\d+),(-?\\d+) (\\d+)x(\\d+)"));
            if (const auto m = place.match(step); m.hasMatch())
                pageRect = QRect(m.captured(1).toInt(), m.captured(2).toInt(),
                                 m.captured(3).toInt(), m.captured(4).toInt());
        }
        pause(2000);
        programReference = screenAt(pageRect.topLeft());
    }
    const QStringList floorArguments = {floorDocument,
                                        QString::number(pageRect.x()),
                                        QString::number(pageRect.y()),
                                        QString::number(pageRect.width()),
                                        QString::number(pageRect.height()),
                                        QString::number(pageZoom)};
    QImage floorReference;
    {
        Started started(floorProgram, floorArguments, false);
        pause(3000);
        floorReference = screenAt(pageRect.topLeft());
    }
    if (programReference.isNull() || floorReference.isNull()) {
        std::fprintf(stderr, "start_bench: the screen could not be read\n");
        return 1;
    }

    std::vector<double> programTimes, floorTimes, busyTimes;
    std::vector<QString> stepOrder;
    std::map<QString, std::vector<double>> stepTimes, stepCpu;
    static const QRegularExpression busyMark(
        QStringLiteral("longest busy stretch .*: ([0-9.]+) ms"));
    for (int run = 0; run < runs; ++run) {
        pause(500);
        {
            Started started(program, {}, true);
            programTimes.push_back(timeToScreen(started, pageRect.topLeft(), programReference));
            waitFor([&] { return started.has(QStringLiteral("longest busy stretch")); },
                    "the start-up profile");
            for (const auto& [step, at, cpu] : started.steps()) {
                if (const auto m = busyMark.match(step); m.hasMatch()) {
                    busyTimes.push_back(m.captured(1).toDouble());
                    continue;
                }
                if (step.startsWith(QStringLiteral("page view at")))
                    continue;
                if (!stepTimes.count(step))
                    stepOrder.push_back(step);
                stepTimes[step].push_back(at);
                stepCpu[step].push_back(cpu);
            }
        }
        pause(500);
        {
            Started started(floorProgram, floorArguments, false);
            floorTimes.push_back(timeToScreen(started, pageRect.topLeft(), floorReference));
        }
    }

    const auto list = [](const std::vector<double>& values) {
        QString text;
        for (double value : values)
            text += QStringLiteral(" %1").arg(value, 0, 'f', 0);
        return text;
    };
    std::printf("start-up profile of the program (medians of %d): ms from process start, and "
                "processor time used by then\n",
                runs);
    for (const QString& step : stepOrder)
        std::printf("  %7.0f ms  cpu %5.0f ms  %s\n", median(stepTimes[step]),
                    median(stepCpu[step]), qPrintable(step));
    if (!busyTimes.empty())
        std::printf(
            "longest busy stretch of the window's thread from the window shown to 2 s after "
            "the first page: %.0f ms (median of %d; worst %.0f ms; goal: 50 ms at most)\n",
            median(busyTimes), int(busyTimes.size()),
            *std::max_element(busyTimes.begin(), busyTimes.end()));
    const double programTime = median(programTimes), floorTime = median(floorTimes);
    std::printf("process start to first screenful on the screen:%s ms, median %.0f ms\n",
                qPrintable(list(programTimes)), programTime);
    std::printf(
        "floor, a bare browser window with the same first screenful:%s ms, median %.0f ms\n",
        qPrintable(list(floorTimes)), floorTime);
    std::printf("ratio to floor: %.2f (goal: 1.30 at most)\n\n", programTime / floorTime);
    return 0;
}
