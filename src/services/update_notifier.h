#pragma once

#include "services/update_check.h"

#include <QObject>

namespace widgets {
class Desktop;
class Prompter;
} // namespace widgets

namespace services {

// The update check as the user meets it: "软件需要更新", then the updater
// `app_upd` of the program folder is started when it is there.
class UpdateNotifier : public QObject {
    Q_OBJECT

public:
    UpdateNotifier(QString programFolder, QString dataFolder, widgets::Prompter& prompter,
                   widgets::Desktop& desktop, QWidget* window);

    // Once after start-up: downloads the published date in the background and
    // speaks only when a newer release exists.
    void checkAfterStart(const QUrl& address, int timeoutMs = 15000);
    // The upgrade button: no download; says how things stand in every case,
    // and that the check failed when a release date cannot be read.
    void checkOnRequest();

signals:
    // The start-up check has ended, however it ended.
    void startCheckFinished();

private:
    void offerUpdate();

    QString programFolder_;
    QString dataFolder_;
    widgets::Prompter& prompter_;
    widgets::Desktop& desktop_;
    QWidget* window_;
    UpdateCheck check_;
};

} // namespace services
