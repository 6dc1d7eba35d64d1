#pragma once

#include <QString>
#include <QUrl>

namespace widgets {

// What the program hands over to the rest of the machine: addresses and files
// opened by the desktop's own programs, programs started beside ours, and
// whether the machine is on a network. Tests record instead.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Opens a web address or a local file with the program the desktop assigns.
    virtual void open(const QUrl& address) = 0;
    // Starts a program without waiting for it; false when it could not start.
    virtual bool startProgram(const QString& path) = 0;
    // False only when the machine says it has no network; an unknown state
    // counts as connected.
    virtual bool networkConnected() = 0;
};

class SystemDesktop : public Desktop {
public:
    void open(const QUrl& address) override;
    bool startProgram(const QString& path) override;
    bool networkConnected() override;
};

} // namespace widgets
