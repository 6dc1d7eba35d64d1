#include "widgets/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QNetworkInformation>
#include <QProcess>

namespace widgets {

void SystemDesktop::open(const QUrl& address) {
    QDesktopServices::openUrl(address);
}

bool SystemDesktop::startProgram(const QString& path) {
    return QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}

bool SystemDesktop::networkConnected() {
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    return QNetworkInformation::instance()->reachability() !=
           QNetworkInformation::Reachability::Disconnected;
}

} // namespace widgets
