// The program from the keyboard alone: keys go to the window that has the
// focus, the way the window system delivers them, and no mouse event is sent.

#include "app/shortcut_table.h"
#include "collections/view_mode.h"
#include "exam/exam_window.h"
#include "exam_paper.h"
#include "exam_support.h"
#include "main_window_fixture.h"
#include "practice/result_window.h"
#include "services/feedback_dialog.h"
#include "widgets/picture_button.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using testing_support::scriptResult;
using testing_support::waitUntil;
using widgets::PictureButton;

namespace {

// Counts every mouse event the application sees.
class MouseEventCounter : public QObject {
public:
    MouseEventCounter() { qApp->installEventFilter(this); }
    ~MouseEventCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            ++count;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

class Keyboard : public testing_support::MainWindowTest {
protected:
    void SetUp() override {
        createWindow(2, 1, [](store::BankBuilder& rows) {
            rows.addExamParameter({"0", "20"});
            rows.addExamParameter({"0", "0"});
            rows.addExamParameter({"3", "0"});
            rows.addExamParameter({"3", "0"});
            testing_support::addExamBankContent(rows);
        });
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(shown.wait(20000));
        ASSERT_TRUE(waitUntil([&] { return window->isActiveWindow(); }));
    }

    // A key pressed and released on the control that has the focus.
    static void key(Qt::Key pressed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, pressed, modifiers);
    }
    // A key pressed and released at the window that has the focus, the way
    // the window system hands it over: the exam window hears its letters there.
    static void keyAtWindow(Qt::Key pressed) {
        QWindow* target = QGuiApplication::focusWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, pressed);
    }
    static void shortcut(const char* keys) {
        const QKeySequence sequence(QString::fromLatin1(keys));
        const QKeyCombination combination = sequence[0];
        key(combination.key(), combination.keyboardModifiers());
    }
    // Tab until `target` has the focus; false when it never gets it.
    static bool inPage(const QWidget* widget) {
        for (; widget; widget = widget->parentWidget())
            if (qobject_cast<const web::HtmlView*>(widget))
                return true;
        return false;
    }
    // The page takes its Tab keys in turn, so each waits for it.
    static bool tabTo(QWidget* target) {
        for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) {
            QWidget* before = QApplication::focusWidget();
            key(Qt::Key_Tab);
            if (inPage(before))
                waitUntil([&] { return QApplication::focusWidget() != before; }, 300);
        }
        return QApplication::focusWidget() == target;
    }
    static QString pageScript(web::HtmlView* view, const QString& script) {
        return scriptResult(view, script).value_or(QVariant()).toString();
    }
    QString focusedElementId() { return pageScript(window->page(), "document.activeElement.id"); }
    bool pageHasFocus() const {
        const QWidget* focused = QApplication::focusWidget();
        return focused && window->page()->isAncestorOf(focused);
    }
};

// A candidate's evening: a chapter, an answer, its explanation, the grade, a
// favourite and the favourites, then a short exam up to the hand-in.
TEST_F(Keyboard, ACandidatesEveningNeedsNoMouse) {
    MouseEventCounter mouse;
    QSignalSpy pages(window.get(), &app::MainWindow::pageShown);

    // The chapter tree: arrows move, Enter opens, the page takes the focus.
    shortcut("Ctrl+T");
    ASSERT_EQ(QApplication::focusWidget(), tree());
    ASSERT_EQ(tree()->currentItem()->text(0), "第1章");
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return pages.count() == 1; }));
    EXPECT_EQ(window->currentChapterId(), "101");
    EXPECT_TRUE(pageHasFocus());

    // Tab reaches the first option, Space ticks it.
    key(Qt::Key_Tab);
    ASSERT_TRUE(waitUntil([&] { return focusedElementId() == "111"; }, 5000))
        << focusedElementId().toStdString();
    key(Qt::Key_Space);
    EXPECT_TRUE(waitUntil(
        [&] { return testing_support::checkedIds(window->page()).contains("111"); }, 5000));

    // The focused question's answer shows and hides.
    const QString answerShown = "document.getElementById('ansnote11').style.display";
    shortcut("Ctrl+J");
    EXPECT_TRUE(waitUntil([&] { return pageScript(window->page(), answerShown) == "block"; }));
    EXPECT_EQ(focusedElementId(), "xs11");

    // Its favourite button is the next stop; Space stores the favourite.
    key(Qt::Key_Tab);
    ASSERT_TRUE(waitUntil([&] { return focusedElementId() == "sc"; }, 5000));
    key(Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return prompter.messages.contains("收藏成功！"); }));

    // Grading; the score window closes with Esc.
    bool scoreClosed = false;
    prompter.onModal = [&](QDialog& dialog) {
        ASSERT_EQ(dialog.objectName(), "TForm15");
        QSignalSpy table(&dialog, SIGNAL(tableShown()));
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(waitUntil([&] { return dialog.isActiveWindow(); }));
        ASSERT_TRUE(table.wait(20000));
        key(Qt::Key_Escape);
        scoreClosed = waitUntil([&] { return !dialog.isVisible(); });
    };
    prompter.yesAnswer = true;
    shortcut("Ctrl+G");
    ASSERT_TRUE(waitUntil([&] { return prompter.dialogs.contains("TForm15"); }));
    EXPECT_TRUE(scoreClosed);
    window->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return window->isActiveWindow(); }));

    // The favourites.
    const qsizetype pagesBefore = pages.count();
    shortcut("Ctrl+2");
    EXPECT_EQ(window->viewKey(), collections::favouritesViewKey);
    EXPECT_TRUE(waitUntil([&] { return pages.count() > pagesBefore; }));

    // A short exam: settings, login, candidate, the exam, the hand-in.
    bool handedIn = false;
    prompter.confirmAnswer = true;
    prompter.onModal = [&](QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        if (auto* exam = qobject_cast<exam::ExamWindow*>(&dialog)) {
            ASSERT_TRUE(waitUntil([&] { return exam->currentTid() == "1"; }));
            dialog.activateWindow();
        }
        ASSERT_TRUE(waitUntil([&] { return dialog.isActiveWindow(); }))
            << dialog.objectName().toStdString();
        const QString form = dialog.objectName();
        if (form == "TForm6") {
            ASSERT_TRUE(tabTo(dialog.findChild<QPushButton*>("RzBitBtn2")));
            key(Qt::Key_Space);
        } else if (form == "TForm2") {
            ASSERT_TRUE(tabTo(dialog.findChild<QPushButton*>("RzBitBtn1")));
            key(Qt::Key_Return);
        } else if (form == "TForm3") {
            ASSERT_TRUE(tabTo(dialog.findChild<QPushButton*>("SpeedButton2")));
            key(Qt::Key_Return);
        } else if (form == "TForm4") {
            auto& exam = static_cast<exam::ExamWindow&>(dialog);
            // A letter ticks its option of a single-choice item and hands the
            // focus to "next"; Enter goes on to the next item.
            const QString firstOption = "document.getElementById('111') !== null";
            ASSERT_TRUE(waitUntil([&] { return pageScript(exam.page(), firstOption) == "true"; }));
            keyAtWindow(Qt::Key_A);
            ASSERT_TRUE(waitUntil(
                [&] { return testing_support::checkedIds(exam.page()) == QSet<QString>{"111"}; }));
            EXPECT_EQ(QApplication::focusWidget(), dialog.findChild<QPushButton*>("BitBtn2"));
            key(Qt::Key_Return);
            ASSERT_TRUE(waitUntil([&] { return exam.currentTid() != "1"; }));
            auto* answered = dialog.findChild<QLabel*>("Label6");
            EXPECT_TRUE(waitUntil([&] { return answered->text() == "1"; }));
            ASSERT_TRUE(tabTo(dialog.findChild<QPushButton*>("BitBtn5")));
            key(Qt::Key_Return);
            handedIn = waitUntil([&] { return exam.session()->handedIn(); });
            key(Qt::Key_Escape);
            EXPECT_FALSE(dialog.isVisible());
        }
    };
    shortcut("Ctrl+4");
    EXPECT_EQ(prompter.dialogs, (QStringList{"TForm15", "TForm6", "TForm2", "TForm3", "TForm4"}));
    EXPECT_TRUE(handedIn);
    EXPECT_EQ(mouse.count, 0);
}

// Every picture button says what it is and which keys press it, and Enter
// and Space press the focused one.
TEST_F(Keyboard, PictureButtonsAreNamedFocusableAndPressedByKeys) {
    QStringList unnamed;
    for (PictureButton* button : window->findChildren<PictureButton*>()) {
        if (button->accessibleName().isEmpty() || !button->toolTip().contains(QStringLiteral("（")))
            unnamed << button->objectName();
        EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << button->objectName().toStdString();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), QAccessible::Button);
        EXPECT_EQ(accessible->text(QAccessible::Name), button->accessibleName());
    }
    EXPECT_EQ(unnamed, QStringList());
    EXPECT_EQ(child<PictureButton>("NewImage12")->toolTip(), "提交试卷（Ctrl+G）");

    // Keys bound to one action only, each a valid sequence.
    QMap<QString, QString> nameOfKey;
    for (const app::Shortcut& row : app::shortcutTable()) {
        if (!*row.control)
            continue;
        for (const QString& keys : QString::fromLatin1(row.keys).split("; ")) {
            EXPECT_FALSE(QKeySequence(keys).isEmpty()) << keys.toStdString();
            const QString action = QString::fromUtf8(row.name);
            EXPECT_TRUE(!nameOfKey.contains(keys) || nameOfKey[keys] == action ||
                        QString::fromLatin1(row.keys) == "Ctrl+D" ||
                        QString::fromLatin1(row.keys) == "F11" ||
                        QString::fromLatin1(row.keys) == "Ctrl+F10" ||
                        QString::fromLatin1(row.keys) == "Ctrl+Shift+J")
                << keys.toStdString();
            nameOfKey[keys] = action;
        }
    }

    // Tab visits the tool bar left to right.
    auto* first = child<PictureButton>("gjst");
    first->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child("NewImage1"));
    int clicks = 0;
    auto* zoomIn = child<PictureButton>("NewImage14");
    QObject::connect(zoomIn, &PictureButton::clicked, [&] { ++clicks; });
    zoomIn->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Return);
    key(Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(window->fontLevel(), 4);
    // Ctrl+D presses whichever of show and hide all answers is on show.
    shortcut("Ctrl+D");
    EXPECT_TRUE(child("NewImage16")->isVisibleTo(window.get()));
    shortcut("Ctrl+D");
    EXPECT_TRUE(child("NewImage10")->isVisibleTo(window.get()));
}

// Every dialog of the tool bar and of the page closes with Esc.
TEST_F(Keyboard, EveryDialogClosesWithEscape) {
    const std::pair<const char*, const char*> dialogs[] = {{"Ctrl+B", "TForm13"},
                                                           {"Ctrl+Shift+B", "TForm14"},
                                                           {"Ctrl+3", "TForm16"},
                                                           {"Ctrl+5", "TForm6"}};
    for (const auto& [keys, form] : dialogs) {
        SCOPED_TRACE(form);
        bool closed = false;
        prompter.onModal = [&](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), form);
            dialog.show();
            dialog.activateWindow();
            ASSERT_TRUE(waitUntil([&] { return dialog.isActiveWindow(); }));
            key(Qt::Key_Escape);
            closed = waitUntil([&] { return !dialog.isVisible(); });
            dialog.close();
        };
        window->activateWindow();
        ASSERT_TRUE(waitUntil([&] { return window->isActiveWindow(); }));
        shortcut(keys);
        EXPECT_TRUE(closed);
    }
    EXPECT_EQ(prompter.dialogs, (QStringList{"TForm13", "TForm14", "TForm16", "TForm6"}));

    services::FeedbackDialog* feedback = window->feedbackDialog();
    feedback->prepare();
    feedback->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return feedback->isActiveWindow(); }));
    key(Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([&] { return !feedback->isVisible(); }));
}

} // namespace
