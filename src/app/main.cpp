#include "app/application_setup.h"
#include "app/exam_preview.h"
#include "app/folders.h"
#include "app/main_window.h"
#include "app/screenshot.h"
#include "app/single_instance.h"
#include "app/startup_profile.h"
#include "services/feedback_sender.h"
#include "web/html_view.h"
#include "widgets/desktop.h"
#include "widgets/prompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    app::markStartup("main");
    // The embedded browser shares its graphics context with the windows.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    app::markStartup("application object");
    app::configureApplication();
    app::markStartup("translations and fonts");
    QApplication::setApplicationVersion(QStringLiteral(MORROWQUILL_VERSION));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Morrowquill 职称考试训练软件"));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("窗口显示后把它保存为 PNG 图片 <file>，然后退出。"), QStringLiteral("file"));
    options.addOption(screenshot);
    const QCommandLineOption show(
        QStringLiteral("show"),
        QStringLiteral("截图时显示考场窗口 <name>：settings、login、candidate、exam 或 "
                       "result；drill 为主窗口中的薄弱环节练习。"),
        QStringLiteral("name"));
    options.addOption(show);
    options.process(application);

    const app::Folders folders =
        app::foldersOf(QApplication::applicationDirPath() + QStringLiteral("/"));
    widgets::DialogPrompter prompter;
    widgets::SystemDesktop desktop;
    // Two copies on one data folder would overwrite each other's bank and papers.
    app::SingleInstance instance(folders.data);
    switch (instance.claim()) {
    case app::SingleInstance::Claim::Taken:
        break;
    case app::SingleInstance::Claim::RunningCopyShown:
        return 0;
    case app::SingleInstance::Claim::HeldByAnother:
        std::fprintf(stderr, "morrowquill: %s\n", qUtf8Printable(app::alreadyRunningText));
        prompter.message(nullptr, app::alreadyRunningText);
        return 1;
    }
    app::markStartup("single instance");
    if (const QString failure = app::prepareDataFolder(folders); !failure.isEmpty())
        prompter.error(nullptr, failure);
    app::markStartup("data folder");
    int status = 0;
    {
        app::MainWindow window(folders, prompter, desktop);
        app::markStartup("main window built");
        QObject::connect(
            window.page(), &web::HtmlView::pageOnScreen, &window,
            [&window] {
                app::markStartup("first page on screen");
                const QPoint corner = window.page()->mapToGlobal(QPoint(0, 0));
                app::markStartup(QStringLiteral("page view at %1,%2 %3x%4")
                                     .arg(corner.x())
                                     .arg(corner.y())
                                     .arg(window.page()->width())
                                     .arg(window.page()->height()));
                app::reportStartupBusynessAfter(2000);
            },
            Qt::SingleShotConnection);
        window.show();
        app::markStartup("window shown");
        app::watchStartupBusyness(&window);
        // Behind the work the window queued when it was shown.
        QMetaObject::invokeMethod(
            &window, [] { app::markStartup("tree filled, first chapter asked for"); },
            Qt::QueuedConnection);
        QObject::connect(&instance, &app::SingleInstance::showRequested, &window,
                         &app::MainWindow::bringToFront);
        if (options.isSet(screenshot)) {
            QWidget* shown = &window;
            if (options.value(show) == QStringLiteral("drill")) {
                // After the first chapter the window opens by itself.
                QTimer::singleShot(1000, &window, [&window] { window.openWeakPointDrill(); });
            } else if (options.isSet(show)) {
                shown = app::openExamPreview(options.value(show), window, folders, desktop);
                if (!shown) {
                    std::fprintf(stderr, "morrowquill: unknown window %s\n",
                                 qPrintable(options.value(show)));
                    return 2;
                }
            }
            app::screenshotThenQuit(shown, options.value(screenshot));
        }
        status = QApplication::exec();
    }
    // A feedback send stuck in the driver cannot be stopped; unloading the
    // libraries under its thread would crash the ending process.
    if (services::FeedbackSender::anySendThreadRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
