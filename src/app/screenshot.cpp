#include "app/screenshot.h"

#include "web/html_view.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <memory>

namespace app {

namespace {

// Pixels as the screen shows them, where the platform has a screen to read;
// offscreen, the window paints itself.
QPixmap capture(QWidget* window) {
    if (QGuiApplication::platformName() != QStringLiteral("offscreen")) {
        QPixmap shot = window->screen()->grabWindow(window->winId());
        if (!shot.isNull())
            return shot;
    }
    return window->grab();
}

// The longest a picture waits for the window's pages: a page that never
// comes (a renderer that cannot start) still gives a picture of the rest.
constexpr std::chrono::seconds pageLimit{20};

void saveThenQuit(QWidget* window, const QString& path) {
    window->repaint();
    const bool saved = capture(window).save(path, "PNG");
    if (!saved)
        std::fprintf(stderr, "morrowquill: cannot write %s\n", qPrintable(path));
    QApplication::exit(saved ? 0 : 1);
}

} // namespace

void screenshotThenQuit(QWidget* window, const QString& path) {
    // Queued behind what the window queued when it was shown (its first page
    // among them), then waits for every page under way to be on the screen.
    QMetaObject::invokeMethod(
        window,
        [window, path] {
            auto pending = std::make_shared<int>(0);
            auto taken = std::make_shared<bool>(false);
            const auto take = [window, path, taken] {
                if (!std::exchange(*taken, true))
                    saveThenQuit(window, path);
            };
            for (web::HtmlView* view : window->findChildren<web::HtmlView*>()) {
                if (!view->pageUnderWay())
                    continue;
                ++*pending;
                QObject::connect(
                    view, &web::HtmlView::pageOnScreen, window,
                    [pending, take] {
                        if (--*pending == 0)
                            take();
                    },
                    Qt::SingleShotConnection);
            }
            if (*pending == 0)
                take();
            else
                QTimer::singleShot(pageLimit, window, take);
        },
        Qt::QueuedConnection);
}

} // namespace app
