#include "services/update_notifier.h"

#include "widgets/desktop.h"
#include "widgets/prompter.h"

#include <QFileInfo>
#include <QWidget>

namespace services {

UpdateNotifier::UpdateNotifier(QString programFolder, QString dataFolder,
                               widgets::Prompter& prompter, widgets::Desktop& desktop,
                               QWidget* window)
    : QObject(window)
    , programFolder_(std::move(programFolder))
    , dataFolder_(dataFolder)
    , prompter_(prompter)
    , desktop_(desktop)
    , window_(window)
    , check_(std::move(dataFolder)) {}

void UpdateNotifier::checkAfterStart(const QUrl& address, int timeoutMs) {
    check_.checkAfterDownload(
        address,
        [this](bool newer) {
            if (newer)
                offerUpdate();
            emit startCheckFinished();
        },
        timeoutMs);
}

void UpdateNotifier::checkOnRequest() {
    if (!desktop_.networkConnected()) {
        prompter_.message(window_, QStringLiteral("请检查网络连接"));
        return;
    }
    switch (compareReleases(dataFolder_)) {
    case ReleaseComparison::newer:
        offerUpdate();
        return;
    case ReleaseComparison::upToDate:
        prompter_.message(window_, QStringLiteral("已经是最新版本"));
        return;
    case ReleaseComparison::publishedUnknown:
        prompter_.message(window_, QStringLiteral("无法获取最新版本信息，请检查网络连接。"));
        return;
    case ReleaseComparison::installedUnknown:
        prompter_.message(window_, QStringLiteral("无法读取本机所装版本的信息。"));
        return;
    }
}

void UpdateNotifier::offerUpdate() {
    prompter_.notice(window_, QStringLiteral("信息"), QStringLiteral("软件需要更新"));
    const QString updater = programFolder_ + QStringLiteral("app_upd");
    if (QFileInfo(updater).isFile())
        desktop_.startProgram(updater);
}

} // namespace services
