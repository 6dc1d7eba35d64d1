#include "services/feedback_sender.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
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
