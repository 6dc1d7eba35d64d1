#include "services/help_links.h"

#include "widgets/desktop.h"
#include "widgets/prompter.h"

#include <QFileInfo>
#include <QUrl>

namespace services {

void openHomePage(const Settings& settings, widgets::Desktop& desktop) {
    desktop.open(QUrl(settings.homeAddress));
}

void openShop(const Settings& settings, widgets::Desktop& desktop) {
    desktop.open(QUrl(shopAddress(settings)));
}

void openHelp(const QString& programFolder, widgets::Desktop& desktop, widgets::Prompter& prompter,
              QWidget* window) {
    for (const char* name : {"hlp.chm", "help/index.html"}) {
        const QString path = programFolder + QString::fromLatin1(name);
        if (QFileInfo(path).isFile()) {
            desktop.open(QUrl::fromLocalFile(path));
            return;
        }
    }
    prompter.error(window,
                   QStringLiteral("找不到使用帮助：%1").arg(programFolder + "help/index.html"));
}

} // namespace services
