#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    // Windows are real but never reach a screen; CTest sets the same, this also
    // covers a direct run and test discovery.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
