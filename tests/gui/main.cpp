#include <QApplication>
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
    return RUN_ALL_TESTS();
}
