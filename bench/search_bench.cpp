// Search over a 200 000-question synthetic bank: building the index, answering
// queries (three characters and more through the index, shorter ones by a
// scan), building a results page's fragments, and in the real main window
// under Xvfb, from Enter in the search field to the results page complete.
//
// search_bench PROGRAM_FOLDER: the folder holds ty.html and tp/, copied beside
// the bench's own bank in a temporary folder.

#include "app/folders.h"
#include "app/main_window.h"
#include "bank_writer.h"
#include "bench_support.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"
#include "search/result_page.h"
#include "search/search_field.h"
#include "search/search_index.h"
#include "store/bank.h"
#include "synthetic_bank.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

using bench_support::median;
using bench_support::waitFor;

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(u' ', 0, 2)
                                          : QStringLiteral("?");
}

template <class Work> double milliseconds(Work work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

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
    QFile::copy(builtFolder + QStringLiteral("ty.html"), folder + QStringLiteral("ty.html"));
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
            std::printf("  index build, run %d: %.0f ms (goal <= 15000)\n", run,
                        milliseconds([&] { index.build(); }));
        double check = milliseconds([&] {
            search::SearchIndex later(bank);
            later.needsBuilding();
        });
        std::printf("  index check against the bank, once a session: %.0f ms\n", check);

        struct Query {
            const char* text;
            const char* what;
        };
        const Query queries[] = {{"矽肺铅", "3 characters, two words"},
                                 {"一氧化碳诊断", "6 characters"},
                                 {"硫化氢", "3 characters, a word in most questions"},
                                 {"汞", "1 character, scanned"}};
        for (const Query& query : queries) {
            std::vector<double> times;
            search::SearchResult result;
            for (int run = 0; run < 15; ++run)
                times.push_back(milliseconds([&] {
                    result =
                        index.find(QString::fromUtf8(query.text), collections::ViewMode::WholeBank);
                }));
            std::printf("  query %s (%s): %d found, median %.1f ms\n", query.text, query.what,
                        result.questionCount, median(times));
        }
        const search::SearchResult result =
            index.find(QStringLiteral("矽肺铅"), collections::ViewMode::WholeBank);
        std::vector<double> times;
        for (int run = 0; run < 15; ++run)
            times.push_back(milliseconds([&] {
                QStringList fragments;
                search::resultPageBuilder(bank, result, 0, collections::ViewMode::WholeBank)
                    ->writeRest(fragments);
            }));
        std::printf("  first results page's fragments (矽肺铅): median %.1f ms\n", median(times));
    }

    testing_support::ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    const app::Folders folders{folder, folder};
    app::MainWindow window(folders, prompter, desktop);
    QSignalSpy shown(&window, &app::MainWindow::pageShown);
    window.show();
    waitFor([&] { return shown.count() > 0; }, "the first chapter");
    auto* field = window.findChild<search::SearchField*>(QStringLiteral("searchField"));
    for (const char* text : {"矽肺铅", "硫化氢"}) {
        std::vector<double> times;
        for (int run = 0; run < 7; ++run) {
            settle();
            field->setText(QString::fromUtf8(text));
            const qsizetype before = shown.count();
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(field, Qt::Key_Return);
            waitFor([&] { return shown.count() > before; }, "the results page");
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::printf("  Enter to results page complete in the window (%s): median %.0f ms "
                    "(goal <= 100)\n",
                    text, median(times));
    }
    std::printf("  load average at end %s\n", qPrintable(loadAverage()));
    return 0;
}
