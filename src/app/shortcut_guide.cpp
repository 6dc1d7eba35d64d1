// Writes the user guide with the table of shortcuts filled in from the code.
// Usage: shortcut_guide GUIDE_SOURCE GUIDE

#include "app/shortcut_table.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: shortcut_guide GUIDE_SOURCE GUIDE\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "shortcut_guide: cannot read %s\n", argv[1]);
        return 1;
    }
    QString guide = QString::fromUtf8(source.readAll());
    const QString marker = QStringLiteral("<!-- shortcut rows -->\n");
    if (!guide.contains(marker)) {
        std::fprintf(stderr, "shortcut_guide: %s has no place for the shortcuts\n", argv[1]);
        return 1;
    }
    guide.replace(marker, app::shortcutGuideRows());
    QSaveFile target(QString::fromLocal8Bit(argv[2]));
    if (!target.open(QIODevice::WriteOnly) || target.write(guide.toUtf8()) < 0 ||
        !target.commit()) {
        std::fprintf(stderr, "shortcut_guide: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
