#include "widgets/fonts.h"

#include <QApplication>
#include <QFont>

namespace widgets {

void installChineseFonts() {
    const QStringList serif = {QStringLiteral("Noto Serif CJK SC"),
                               QStringLiteral("AR PL UMing CN")};
    const QStringList sans = {QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("WenQuanYi Micro Hei")};
    for (const char* name : {"宋体", "楷体_GB2312", "仿宋_GB2312", "华文仿宋"})
        QFont::insertSubstitutions(QString::fromUtf8(name), serif);
    QFont::insertSubstitutions(QStringLiteral("黑体"), sans);
    QFont font = QApplication::font();
    font.setFamilies(sans);
    QApplication::setFont(font);
}

} // namespace widgets
