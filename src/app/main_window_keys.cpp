// The keyboard: shortcuts from the one table, names for screen readers, and
// the order Tab visits the controls in.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "app/shortcut_table.h"
#include "web/html_view.h"

#include <QHash>
#include <QKeySequence>
#include <QShortcut>

namespace app {

namespace {

// Shows or hides the answer of the question that holds the focus in the page:
// the answer button of the bar the focus is in, or else the first answer
// button after the focused control, or else the first one on screen.
const QString focusedAnswerScript = QStringLiteral(R"((function () {
  var focused = document.activeElement;
  var buttons = document.querySelectorAll('input[type=button][name=sanyangxsda][id^=xs]');
  var target = null;
  var bar = focused && focused.closest ? focused.closest('div[align=right]') : null;
  if (bar) target = bar.querySelector('input[name=sanyangxsda][id^=xs]');
  if (!target && focused && focused !== document.body) {
    for (var i = 0; i < buttons.length && !target; i++)
      if (focused.compareDocumentPosition(buttons[i]) & Node.DOCUMENT_POSITION_FOLLOWING)
        target = buttons[i];
  }
  for (var j = 0; j < buttons.length && !target; j++)
    if (buttons[j].getBoundingClientRect().bottom > 0) target = buttons[j];
  if (!target) return '';
  xsda(target, 'ansnote' + target.id.slice(2));
  target.focus();
  return target.id;
})())");

} // namespace

void MainWindow::installShortcuts() {
    const QHash<QString, std::function<void()>> commands = {
        {QStringLiteral("focusedAnswer"),
         [this] {
             pageView_->runScript(focusedAnswerScript);
         }},
        {QStringLiteral("chapterTree"),
         [this] {
             chapterTree_->setFocus(Qt::ShortcutFocusReason);
         }},
        {QStringLiteral("page"),
         [this] {
             pageView_->setFocus(Qt::ShortcutFocusReason);
         }},
        {QStringLiteral("nightMode"),
         [this] {
             setNightMode(!nightMode_);
         }},
    };
    // Keys shared by buttons that take turns press whichever is on show.
    QHash<QString, QList<PictureButton*>> buttonsOfKeys;
    for (const Shortcut& shortcut : shortcutTable()) {
        const QString control = QString::fromLatin1(shortcut.control);
        const QString keys = QString::fromLatin1(shortcut.keys);
        if (control.isEmpty())
            continue;
        if (auto* button = findChild<PictureButton*>(control)) {
            button->setAccessibleName(QString::fromUtf8(shortcut.name));
            button->setToolTip(shortcutToolTip(shortcut));
            buttonsOfKeys[keys] << button;
            continue;
        }
        const auto command = commands.constFind(control);
        if (command == commands.cend())
            continue;
        // A command with a control of its own says its keys there too.
        if (auto* widget = findChild<QWidget*>(control))
            widget->setToolTip(shortcutToolTip(shortcut));
        for (const QKeySequence& key : QKeySequence::listFromString(keys))
            connect(new QShortcut(key, this), &QShortcut::activated, this, *command);
    }
    for (auto it = buttonsOfKeys.cbegin(); it != buttonsOfKeys.cend(); ++it) {
        for (const QKeySequence& key : QKeySequence::listFromString(it.key())) {
            connect(new QShortcut(key, this), &QShortcut::activated, this,
                    [this, buttons = it.value()] {
                        for (PictureButton* button : buttons) {
                            if (button->isVisibleTo(this)) {
                                button->click();
                                return;
                            }
                        }
                    });
        }
    }
}

} // namespace app
