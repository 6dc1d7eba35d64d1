// The user guide, as the build lays it into the program folder.

#include "app/shortcut_table.h"
#include "test_files.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using testing_support::contentOf;

namespace {

const QString helpFolder = QStringLiteral(PROGRAM_FOLDER "/help/");

TEST(UserGuide, EveryPictureItShowsIsBesideItAndDescribed) {
    const QString guide = QString::fromUtf8(contentOf(helpFolder + "index.html"));
    ASSERT_FALSE(guide.isEmpty());
    static const QRegularExpression picture(QStringLiteral("<img\\b[^>]*>"));
    static const QRegularExpression source(QStringLiteral("\\ssrc=\"([^\"]*)\""));
    static const QRegularExpression description(QStringLiteral("\\salt=\"([^\"]+)\""));
    // Plain names only: the pictures live in the guide's own folder.
    static const QRegularExpression plainName(QStringLiteral("^[a-z0-9-]+\\.png$"));
    int pictures = 0;
    for (const auto& match : picture.globalMatch(guide)) {
        const QString tag = match.captured();
        const QString name = source.match(tag).captured(1);
        SCOPED_TRACE(tag.toStdString());
        ++pictures;
        EXPECT_TRUE(plainName.match(name).hasMatch());
        EXPECT_TRUE(description.match(tag).hasMatch());
        EXPECT_TRUE(contentOf(helpFolder + name).startsWith("\x89PNG\r\n\x1a\n"));
    }
    EXPECT_GE(pictures, 4);
}

TEST(UserGuide, ListsEveryShortcutOfTheCode) {
    const QString guide = QString::fromUtf8(contentOf(helpFolder + "index.html"));
    ASSERT_FALSE(guide.isEmpty());
    EXPECT_FALSE(guide.contains("<!-- shortcut rows -->"));
    for (const app::Shortcut& shortcut : app::shortcutTable()) {
        SCOPED_TRACE(shortcut.name);
        QString row = QStringLiteral("<tr><td>") + QString::fromUtf8(shortcut.name) +
                      QStringLiteral("</td><td><kbd>");
        row += QString::fromLatin1(shortcut.keys)
                   .toHtmlEscaped()
                   .replace("; ", QStringLiteral("</kbd> 或 <kbd>"));
        EXPECT_TRUE(guide.contains(row + QStringLiteral("</kbd></td></tr>")));
    }
}

} // namespace
