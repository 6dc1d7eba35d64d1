#include "app/application_setup.h"

#include "widgets/fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

void configureApplication() {
    QApplication::setApplicationName(QStringLiteral("Morrowquill"));
    auto* qtTexts = new QTranslator(qApp);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    widgets::installChineseFonts();
}

} // namespace app
