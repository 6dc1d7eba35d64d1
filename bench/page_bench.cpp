// Times a practice page of a large chapter end to end, as a candidate moves
// from one chapter page to the next, against the floor of loading the same
// final HTML as one document in the same view.
//
// page_bench PROGRAM_FOLDER QUESTIONS: the folder holds Data/med.db, whose
// first chapter (of QUESTIONS questions) is the one measured, and ty.html.

#include "app/main_window.h"
#include "bench_support.h"
#include "collections/view_mode.h"
#include "event_wait.h"
#include "practice/page_builder.h"
#include "store/bank.h"
#include "store/tree_statements.h"
#include "web/html_view.h"
#include "widgets/desktop.h"
#include "widgets/prompter.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int runs = 7;

using bench_support::evaluate;
using bench_support::median;
using bench_support::waitFor;

// What the screen shows of the top left of the page view, where its first
// heading and question begin: a small piece, as it is read every millisecond
// on the thread that also puts the page on the screen.
QImage topOfPage(QWidget* view) {
    const QPoint corner = view->mapTo(view->window(), QPoint(0, 0));
    return view->screen()
        ->grabWindow(view->window()->winId(), corner.x(), corner.y(), 320, 100)
        .toImage();
}

void settle() {
    QElapsedTimer settling;
    settling.start();
    waitFor([&] { return settling.elapsed() > 300; }, "the page to settle");
}

int firstChapter(store::Bank& bank) {
    const auto top = store::topLevelNodes(bank).at(0);
    const auto section = store::childNodes(bank, top.id).at(0);
    return store::childNodes(bank, section.id).at(0).id;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: page_bench PROGRAM_FOLDER QUESTIONS\n");
        return 2;
    }
    const int questions = std::atoi(argv[2]);
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/");

    // Building the page from the store.
    QStringList fragments;
    std::vector<double> buildTimes;
    {
        store::Bank bank(store::Bank::pathIn(folder));
        const int chapter = firstChapter(bank);
        for (int run = 0; run < 20; ++run) {
            fragments.clear();
            QElapsedTimer clock;
            clock.start();
            practice::buildChapterPage(bank, chapter, collections::ViewMode::WholeBank, fragments);
            buildTimes.push_back(clock.nsecsElapsed() / 1e6);
        }
    }

    // The floor: the final page as one file.
    const QString floorPath = bench_support::writeTemplateWithBody(folder, fragments);

    widgets::DialogPrompter prompter;
    widgets::SystemDesktop desktop;
    app::MainWindow window({folder, folder}, prompter, desktop);
    QSignalSpy shown(&window, &app::MainWindow::pageShown);
    window.show();
    waitFor([&] { return shown.count() > 0; }, "the first page");
    web::HtmlView* view = window.page();

    std::vector<double> pageTimes, paintTimes, onScreenTimes, floorTimes, busyTimes;
    bench_support::BusyWatch busyWatch;
    for (int run = 0; run < runs; ++run) {
        // The page on screen is emptied rather than reloaded: the probe is armed anew.
        evaluate(view, QStringLiteral("mqArmPaintProbe(); 1"));
        const qint64 clickedAt = QDateTime::currentMSecsSinceEpoch();
        QElapsedTimer clock;
        clock.start();
        shown.clear();
        busyWatch.start();
        window.openFirstChapter();
        waitFor([&] { return shown.count() > 0; }, "the page");
        pageTimes.push_back(clock.nsecsElapsed() / 1e6);
        busyTimes.push_back(busyWatch.stop());
        paintTimes.push_back(evaluate(view, QStringLiteral("window.firstPaintAt || 0")).toDouble() -
                             double(clickedAt));
    }
    // On screen: the new page shows its top where the old one, scrolled down,
    // showed something else. The screen is read every millisecond or so, on
    // this thread, which slows the page down a little.
    settle();
    const QImage pageTop = topOfPage(view);
    for (int run = 0; run < runs; ++run) {
        // A busy machine may take a while to show the scrolled page.
        evaluate(view, QStringLiteral("window.scrollTo(0, 600); 1"));
        waitFor([&] { return topOfPage(view) != pageTop; }, "the page to scroll");
        settle();
        QElapsedTimer clock;
        qint64 onScreen = -1;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (onScreen < 0 && topOfPage(view) == pageTop)
                onScreen = clock.elapsed();
        });
        clock.start();
        poll.start();
        shown.clear();
        window.openFirstChapter();
        waitFor([&] { return onScreen >= 0 && shown.count() > 0; }, "the page on screen");
        onScreenTimes.push_back(double(onScreen));
    }
    for (int run = 0; run < runs; ++run) {
        // A file of its own each time: a page on the template on screen would
        // be emptied rather than loaded.
        const QString runFloorPath = folder + QStringLiteral("floor%1.html").arg(run);
        QFile::copy(floorPath, runFloorPath);
        QElapsedTimer clock;
        bool loaded = false;
        clock.restart();
        view->showPage(runFloorPath, {}, [&](bool) { loaded = true; });
        waitFor([&] { return loaded; }, "the floor page");
        floorTimes.push_back(clock.nsecsElapsed() / 1e6);
    }

    const double page = median(pageTimes), floor = median(floorTimes);
    std::printf("chapter: %d questions, %d fragments\n", questions, int(fragments.size()));
    std::printf("page building from the store: %.1f ms (median of 20)\n", median(buildTimes));
    std::printf("first screenful drawn by the browser after the click: %.0f ms (median of %d)\n",
                median(paintTimes), runs);
    std::printf("first screenful on screen after the click: %.0f ms (median of %d)\n",
                median(onScreenTimes), runs);
    std::printf("click to page complete: %.0f ms (median of %d)\n", page, runs);
    std::printf("longest busy stretch of the window's thread from click to page complete: "
                "%.0f ms (median of %d; worst %.0f ms)\n",
                median(busyTimes), runs, *std::max_element(busyTimes.begin(), busyTimes.end()));
    std::printf("floor, the same HTML loaded as one document: %.0f ms (median of %d)\n", floor,
                runs);
    std::printf("ratio to floor: %.2f\n\n", page / floor);
    return 0;
}
