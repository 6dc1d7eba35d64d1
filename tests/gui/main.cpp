#include "services/feedback_sender.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <utility>

int main(int argc, char* argv[]) {
    // Windows and pages are real but never reach a screen. Tests run as root,
    // where the browser's sandbox cannot start, and without a GPU or network.
    const std::pair<const char*, const char*> environment[] = {
        {"QT_QPA_PLATFORM", "offscreen"},
        {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
        {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking"},
    };
    for (const auto& [name, value] : environment) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, value);
    }
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // Sends left stalled by a silent server end with the process, which
    // must then not unload the libraries under them.
    if (services::FeedbackSender::anySendThreadRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
