#pragma once

#include <QString>
#include <span>

namespace app {

// One action of the main window that the keyboard reaches.
struct Shortcut {
    // The objectName of the picture button the keys press, or the name of a
    // window command (see MainWindow::installShortcuts), or empty for keys a
    // control handles itself (listed for the user guide only).
    const char* control;
    // What the action does, as its button reads: the tooltip and the name
    // screen readers say.
    const char* name;
    // Key sequences in Qt's portable text, "; " between alternatives.
    const char* keys;
};

// Every shortcut of the main window, in the order the user guide lists them.
// Buttons that take turns at one place (show and hide answers, say) share
// their keys, which press whichever of them is on show.
std::span<const Shortcut> shortcutTable();

// The tooltip of a button: its name and its keys.
QString shortcutToolTip(const Shortcut& shortcut);

// The user guide's table of shortcuts, as HTML rows.
QString shortcutGuideRows();

} // namespace app
