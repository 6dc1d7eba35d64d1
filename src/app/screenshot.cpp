#include "app/screenshot.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>

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

} // namespace

void screenshotThenQuit(QWidget* window, const QString& path) {
    // Give the window time to appear and settle before taking the picture.
    QTimer::singleShot(3000, window, [window, path] {
        const bool saved = capture(window).save(path, "PNG");
        if (!saved)
            std::fprintf(stderr, "morrowquill: cannot write %s\n", qPrintable(path));
        QApplication::exit(saved ? 0 : 1);
    });
}

} // namespace app
