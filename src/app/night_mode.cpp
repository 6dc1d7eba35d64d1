#include "app/night_mode.h"

#include "web/html_view.h"
#include "widgets/day_and_night.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace app {

namespace {

QPalette nightPalette() {
    QPalette dark;
    const QColor window(0x22, 0x27, 0x2b), base(0x15, 0x19, 0x1c), text(0xe3, 0xe8, 0xeb);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(0x2e, 0x35, 0x3a));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xaa, 0xb0));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x7f, 0x86));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x7f, 0xd6, 0xdd));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x88, 0x8d));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x88, 0x8d));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x88, 0x8d));
    return dark;
}

} // namespace

void applyNightMode(bool on) {
    QApplication::setPalette(on ? nightPalette() : QApplication::style()->standardPalette());
    // Widgets under a style sheet keep the palette they were polished with
    // (the main window's sheet reaches its dialogs too); setting each sheet
    // again polishes them with the new one.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!window->styleSheet().isEmpty())
            window->setStyleSheet(window->styleSheet());
    widgets::announceDayOrNight();
    web::HtmlView::setNightMode(on);
}

} // namespace app
