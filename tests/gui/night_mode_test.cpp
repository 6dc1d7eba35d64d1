// Night mode: the pages' night colours, readable, the windows' dark palette,
// remembered, and every page of the program following it.

#include "app/night_mode.h"
#include "import/import_dialog.h"
#include "main_window_fixture.h"
#include "page_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

using testing_support::scriptResult;
using testing_support::waitUntil;

namespace {

// The contrast of each text of the page against what it stands on (WCAG's
// ratio), as "what: ratio".
const char* contrastScript = R"((function () {
  function rgb(text) {
    var m = text.match(/[\d.]+/g).map(Number);
    return m.length > 3 && m[3] === 0 ? null : m.slice(0, 3);
  }
  function luminance(c) {
    var l = c.map(function (v) { v /= 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); });
    return 0.2126 * l[0] + 0.7152 * l[1] + 0.0722 * l[2];
  }
  function ratio(a, b) {
    var x = luminance(a), y = luminance(b);
    return (Math.max(x, y) + 0.05) / (Math.min(x, y) + 0.05);
  }
  function back(e) {
    for (; e; e = e.parentElement) {
      var c = rgb(getComputedStyle(e).backgroundColor);
      if (c) return c;
    }
    return [255, 255, 255];
  }
  function variable(name) {
    var probe = document.createElement('i');
    probe.style.color = 'var(' + name + ')';
    document.body.appendChild(probe);
    var c = rgb(getComputedStyle(probe).color);
    probe.remove();
    return c;
  }
  var out = [];
  function check(what, e) {
    if (e) out.push(what + ': ' + ratio(rgb(getComputedStyle(e).color), back(e)).toFixed(2));
  }
  check('text', document.body);
  check('heading', document.querySelector('b'));
  check('wrong number', document.getElementById('fan10007'));
  check('answer', document.querySelector('.Answer'));
  check('drop-down', document.querySelector('select'));
  var button = document.querySelector('input[name=sanyangxsda]');
  var ink = rgb(getComputedStyle(button).color);
  out.push('button top: ' + ratio(ink, variable('--button-top')).toFixed(2));
  out.push('button foot: ' + ratio(ink, variable('--button-foot')).toFixed(2));
  out.push('favourite: ' + ratio(variable('--favourite'), variable('--button-foot')).toFixed(2));
  out.push('table head: ' + ratio(variable('--table-head-text'), variable('--table-head')).toFixed(2));
  out.push('table: ' + ratio(variable('--text'), variable('--table-back')).toFixed(2));
  return out.join('\n');
})())";

class NightMode : public testing_support::MainWindowTest {
protected:
    void SetUp() override {
        createWindow(2, 1, testing_support::chapterContent);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(shown.wait(20000));
        ASSERT_TRUE(waitUntil([&] { return window->isActiveWindow(); }));
    }
    void TearDown() override { app::applyNightMode(false); }

    // The colour a widget shows just inside its bottom-left corner, where
    // no text is drawn.
    static QColor groundOf(QWidget* widget) {
        return widget->grab().toImage().pixelColor(4, widget->height() - 4);
    }

    static QColor averageOf(QWidget* widget) {
        return widget->grab()
            .toImage()
            .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .pixelColor(0, 0);
    }

    bool pageIsNight() {
        return scriptResult(window->page(), "document.documentElement.classList.contains('night')")
            .value_or(false)
            .toBool();
    }
};

TEST_F(NightMode, TheToggleDarkensPagesAndWindowsWithReadableTexts) {
    const QColor dayWindow = QApplication::palette().color(QPalette::Window);
    window->setNightMode(true);
    EXPECT_TRUE(waitUntil([&] { return pageIsNight(); }));
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 60);

    // The answers shown and a wrong number, as after grading.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);
    window->page()->setColor({"fan10007"}, "red");
    const QString ratios =
        scriptResult(window->page(), QString::fromLatin1(contrastScript)).value_or("").toString();
    ASSERT_EQ(ratios.count('\n'), 9) << ratios.toStdString();
    for (const QString& line : ratios.split('\n'))
        EXPECT_GE(line.section(": ", 1).toDouble(), 4.5) << line.toStdString();

    window->setNightMode(false);
    EXPECT_TRUE(waitUntil([&] { return !pageIsNight(); }));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), dayWindow);
}

// Ctrl+Shift+N wherever the focus is in the window, or the status bar's box,
// turns it; the tree and the status bar darken with the pages.
TEST_F(NightMode, KeysAndTheVisibleBoxTurnItAndTheTreeAndStatusBarFollow) {
    auto* box = child<QCheckBox>("nightMode");
    EXPECT_EQ(box->text(), "夜间模式");
    EXPECT_EQ(box->toolTip(), "夜间模式（Ctrl+Shift+N）");
    EXPECT_FALSE(box->isChecked());
    const QColor dayTree = groundOf(tree());
    EXPECT_GT(dayTree.lightness(), 200);

    tree()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N,
                    Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(window->nightMode());
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(waitUntil([&] { return pageIsNight(); }));
    EXPECT_LT(groundOf(tree()).lightness(), 60);
    EXPECT_LT(groundOf(child<QStatusBar>("StatusBar1")).lightness(), 60);
    // A dialog made by day, under the main window's style sheet, follows too.
    auto* dialogButton = window->importDialog()->findChild<QPushButton*>();
    ASSERT_NE(dialogButton, nullptr);
    EXPECT_LT(averageOf(dialogButton).lightness(), 100);

    // From inside the page the keys turn it back.
    window->page()->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(
        waitUntil([&] { return window->page()->isAncestorOf(QApplication::focusWidget()); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(window->nightMode());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(groundOf(tree()), dayTree);

    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(window->nightMode());
    EXPECT_TRUE(waitUntil([&] { return pageIsNight(); }));
}

TEST_F(NightMode, IsRememberedAndEveryPageFollowsIt) {
    window->setNightMode(true);
    prompter.confirmAnswer = true;
    window->close();
    app::applyNightMode(false);
    window = std::make_unique<app::MainWindow>(
        app::Folders{fixture.programFolder(), fixture.programFolder()}, prompter, desktop);
    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    window->show();
    ASSERT_TRUE(shown.wait(20000));
    EXPECT_TRUE(window->nightMode());
    EXPECT_TRUE(pageIsNight());

    // A page of another window, made later (the exam's, say).
    web::HtmlView other;
    bool done = false;
    other.showPage(fixture.programFolder() + "ty.html", {"<p>题</p>"}, [&](bool) { done = true; });
    ASSERT_TRUE(waitUntil([&] { return done; }));
    EXPECT_TRUE(
        scriptResult(&other, "document.documentElement.classList.contains('night')")->toBool());
}

} // namespace
