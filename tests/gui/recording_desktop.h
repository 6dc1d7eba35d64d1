#pragma once

#include "widgets/desktop.h"

#include <QStringList>

namespace testing_support {

// Records what the program would hand over to the desktop, and answers the
// network question as told.
class RecordingDesktop : public widgets::Desktop {
public:
    void open(const QUrl& address) override { opened << address.toString(); }
    bool startProgram(const QString& path) override {
        started << path;
        return true;
    }
    bool networkConnected() override { return connected; }

    QStringList opened;
    QStringList started;
    bool connected = true;
};

} // namespace testing_support
