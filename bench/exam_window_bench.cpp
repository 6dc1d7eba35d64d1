// Times one "next" in the real exam window (reading the page's controls,
// saving the answer, building the next item's page, loading it and putting
// its stored choices back) against its floor: the same question page loaded
// as one document in the same view.
//
// exam_window_bench PROGRAM_FOLDER: the folder holds ty.html and tp/, which
// the bench copies beside its own 200 000-question bank in a temporary folder,
// so that the floor page is read from where the template is.

#include "bank_writer.h"
#include "bench_support.h"
#include "event_wait.h"
#include "exam/exam_page.h"
#include "exam/exam_window.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"
#include "store/bank.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"
#include "synthetic_bank.h"
#include "web/html_view.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int runs = 15;

using bench_support::median;
using bench_support::waitFor;

// Lets the window finish what the last action left to do (repaints, the
// engine's own work) so that each timing starts from a quiet window.
void settle() {
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 250)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The paper item on screen with its first option ticked, as a candidate leaves it.
void answerFirstOption(store::Bank& bank, exam::ExamWindow& window) {
    const std::optional<store::PaperItem> item = store::paperItemByTid(bank, window.currentTid());
    if (!item) {
        std::fprintf(stderr, "exam_window_bench: no paper item on screen\n");
        std::exit(1);
    }
    const std::vector<store::Option> options =
        store::optionsOfQuestion(bank, exam::itemTargetId(*item));
    if (!options.empty())
        window.page()->setChecked(QString::number(options.front().id), true);
}

// The template with `fragments` in its body, written as one file.
QString writeWholePage(const QString& programFolder, const QStringList& fragments,
                       const QString& path) {
    QFile templateFile(programFolder + QStringLiteral("ty.html"));
    templateFile.open(QIODevice::ReadOnly);
    QString whole = QString::fromUtf8(templateFile.readAll());
    whole.replace(QStringLiteral("<body></body>"),
                  QStringLiteral("<body>") + fragments.join(QString()) + QStringLiteral("</body>"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(whole.toUtf8());
    return path;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: exam_window_bench PROGRAM_FOLDER\n");
        return 2;
    }
    const QString builtFolder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/");
    QTemporaryDir data;
    const QString dataFolder = data.path() + QStringLiteral("/");
    const QString programFolder = dataFolder;
    QFile::copy(builtFolder + QStringLiteral("ty.html"), programFolder + QStringLiteral("ty.html"));
    QDir().mkpath(programFolder + QStringLiteral("tp"));
    for (const QString& name : QDir(builtFolder + QStringLiteral("tp")).entryList(QDir::Files))
        QFile::copy(builtFolder + QStringLiteral("tp/") + name,
                    programFolder + QStringLiteral("tp/") + name);
    const QString bankPath = store::Bank::pathIn(dataFolder);
    QDir().mkpath(QFileInfo(bankPath).absolutePath());
    banktool::writeBank(banktool::syntheticBank({200000, 7, 60}), bankPath);
    store::Bank bank(bankPath);
    const char* const counts[] = {"100", "50", "20", "20"};
    for (int i = 0; i < 4; ++i)
        store::setExamParameter(bank, i, {QString::fromLatin1(counts[i]), {}});

    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    exam::ExamWindow window({programFolder, dataFolder, prompter, desktop, nullptr,
                             [] {
                                 return true;
                             }},
                            1);
    QSignalSpy shown(&window, &exam::ExamWindow::questionShown);
    window.show();
    // The paper is drawn on the window's first activation, which needs it mapped.
    waitFor([&] { return window.windowHandle() && window.windowHandle()->isExposed(); },
            "the window on screen");
    window.activateWindow();
    waitFor([&] { return shown.count() > 0; }, "the paper's first question");

    // The page is complete when the window says so; the answer left behind is
    // written right after, before control returns to the event loop.
    QElapsedTimer clock;
    double pageShownAt = 0;
    QObject::connect(&window, &exam::ExamWindow::questionShown,
                     [&] { pageShownAt = clock.nsecsElapsed() / 1e6; });
    std::vector<double> nextTimes, writtenTimes, floorTimes;
    const QString floorPath = programFolder + QStringLiteral("floor.html");
    // The first runs warm the engine and the store; they are not counted.
    for (int run = -3; run < runs; ++run) {
        answerFirstOption(bank, window);
        settle();
        shown.clear();
        clock.start();
        window.nextQuestion();
        waitFor([&] { return shown.count() > 0; }, "the next question");
        const double next = pageShownAt, written = clock.nsecsElapsed() / 1e6;

        const std::optional<exam::ExamPage> page =
            exam::buildExamPage(bank, window.currentTid(), exam::ExamPageVariant::Navigation);
        writeWholePage(programFolder, page->fragments, floorPath);
        bool loaded = false;
        settle();
        clock.restart();
        window.page()->showPage(floorPath, {}, [&](bool) { loaded = true; });
        waitFor([&] { return loaded; }, "the floor page");
        if (run >= 0) {
            nextTimes.push_back(next);
            writtenTimes.push_back(written);
            floorTimes.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    if (!prompter.errors.isEmpty() || !prompter.messages.isEmpty()) {
        std::fprintf(stderr, "exam_window_bench: unexpected message: %s\n",
                     qPrintable((prompter.errors + prompter.messages).join(QStringLiteral("; "))));
        return 1;
    }
    const double next = median(nextTimes), floor = median(floorTimes);
    std::printf("one next in the exam window, from the click to the next page complete with its "
                "stored choices: %.1f ms (median of %d)\n",
                next, runs);
    std::printf("  and to the answer left behind written: %.1f ms (median of %d)\n",
                median(writtenTimes), runs);
    std::printf("floor, the same question page loaded as one document: %.1f ms (median of %d)\n",
                floor, runs);
    std::printf("ratio to floor: %.2f\n", next / floor);
    return 0;
}
