#include "main_window_fixture.h"
#include "page_support.h"
#include "practice/note_editor.h"
#include "practice/question_notes.h"
#include "practice/result_window.h"
#include "search/search_field.h"
#include "services/feedback_dialog.h"
#include "store/question_statements.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using testing_support::chapterContent;
using testing_support::evaluate;
using testing_support::MainWindowTest;
using testing_support::waitUntil;

namespace {

// Chapter 101 as page_support has it, and in chapter 102 a single-answer
// question 10020 whose stem and explanation hold the words searched for.
void searchedContent(store::BankBuilder& rows) {
    chapterContent(rows);
    rows.addGroup({20, 102, 3, {}, {}});
    store::Question q;
    q.id = 10020;
    q.readtextid = 20;
    q.content = QStringLiteral("矽<b>肺</b>患者 &lt;石英&gt;");
    q.answer = "A";
    q.explain = QStringLiteral("矽肺的解析");
    rows.addQuestion(q);
    rows.addOption({100201, 10020, "A", "矽肺一期"});
    rows.addOption({100202, 10020, "B", "尘肺"});
}

// Types `text` key by key; a Chinese character comes as the key event an input
// method's commit of one character makes.
void type(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class SearchAndNotes : public MainWindowTest {
protected:
    void SetUp() override {
        createWindow(2, 1, searchedContent);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(shown.wait(20000));
    }

    search::SearchField* field() { return child<search::SearchField>("searchField"); }

    // Types `text` into the search field as a user would, from Ctrl+F to Enter.
    bool search(const QString& text) {
        // The window is the active one again, as after any dialog a user closed.
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(field()->hasFocus());
        type(field(), text);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        QTest::keyClick(field(), Qt::Key_Return);
        return shown.wait(20000);
    }

    QString pageText() { return evaluate(window->page(), "document.body.innerText").toString(); }
    void clickInPage(const QString& selector) {
        evaluate(window->page(),
                 QStringLiteral("document.querySelector(\"%1\").click(); true").arg(selector));
    }

    // Answers the note editor: types `text` after what it holds and presses `key`.
    void answerNoteEditor(const QString& text, Qt::Key key) {
        prompter.onModal = [text, key, this](QDialog& dialog) {
            editorHeld = dialog.findChild<QPlainTextEdit*>("noteText")->toPlainText();
            dialog.show();
            auto* edit = dialog.findChild<QPlainTextEdit*>("noteText");
            edit->setFocus();
            type(edit, text);
            if (key == Qt::Key_Escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        };
    }

    QString editorHeld;
};

TEST_F(SearchAndNotes, TheFieldFindsMarksAndShowsResultsThatAreAnsweredAndGraded) {
    ASSERT_TRUE(search(QStringLiteral("矽肺")));
    EXPECT_TRUE(pageText().contains("找到 1 道题")) << pageText().toStdString();
    // Marked in the stem (across its bold word), the option and the explanation.
    EXPECT_EQ(evaluate(window->page(), "Array.from(document.querySelectorAll('mark')).map(m => "
                                       "m.textContent).join('|')")
                  .toString(),
              QString("矽|肺|矽肺|矽肺"));
    EXPECT_TRUE(pageText().contains("<石英>"));

    // Esc leaves the field for the page.
    QTest::keyClick(field(), Qt::Key_Escape);
    EXPECT_FALSE(field()->hasFocus());

    // The result is answered and graded like a chapter: wrong goes red and
    // into the wrong-question bank.
    clickInPage("input[id='100202']");
    prompter.onModal = [](QDialog& dialog) {
        dialog.accept();
    };
    prompter.yesAnswer = true;
    QTest::mouseClick(child("NewImage12"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return prompter.dialogs.contains("TForm15"); }));
    EXPECT_EQ(
        evaluate(window->page(), "document.getElementById('fan10020').style.color").toString(),
        QString("red"));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::questionById(bank, 10020)->ct, QString("1"));
    EXPECT_EQ(store::questionById(bank, 10007)->ct, QString(""));
    EXPECT_TRUE(pageText().contains("找到 1 道题")); // the results stay on show
}

TEST_F(SearchAndNotes, NoHitIsSaidAndFavouritesAndReportsWorkOnResults) {
    ASSERT_TRUE(search(QStringLiteral("没有这个词")));
    EXPECT_TRUE(pageText().contains("找到 0 道题")) << pageText().toStdString();

    field()->clear();
    ASSERT_TRUE(search(QStringLiteral("题1000")));
    EXPECT_TRUE(pageText().contains("找到 3 道题")) << pageText().toStdString();
    clickInPage("input[name=sanyangscbt]");
    ASSERT_TRUE(waitUntil([&] { return prompter.messages.contains("收藏成功！"); }));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::questionById(bank, 10007)->scbt, QString("1"));
    bank.close();
    clickInPage("input[name=sanyangctfk]");
    EXPECT_TRUE(waitUntil([&] {
        return window->feedbackDialog()->isVisible() &&
               window->feedbackDialog()->reportedQuestionId() == 10007;
    }));
}

TEST_F(SearchAndNotes, ANoteIsWrittenShownEscapedKeptTicksAndFound) {
    window->page()->setChecked("100071", true);
    answerNoteEditor(QStringLiteral("<b>粗</b> & 口诀"), Qt::Key_Return);
    clickInPage("input[name=sanyangbj]");
    ASSERT_TRUE(waitUntil([&] {
        return evaluate(window->page(), "document.getElementById('note10007').innerText")
            .toString()
            .contains("<b>粗</b> & 口诀");
    }));
    EXPECT_EQ(evaluate(window->page(), "document.getElementById('note10007').querySelector('b')"
                                       ".textContent")
                  .toString(),
              QString("我的笔记：")); // only the caption is bold
    EXPECT_TRUE(evaluate(window->page(), "document.getElementById('100071').checked").toBool());

    // Esc leaves the note as it was.
    answerNoteEditor(QStringLiteral("不要的"), Qt::Key_Escape);
    clickInPage("input[name=sanyangbj]");
    ASSERT_TRUE(waitUntil([&] { return prompter.dialogs.count("NoteEditor") == 2; }));
    EXPECT_EQ(editorHeld, QString("<b>粗</b> & 口诀"));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(practice::questionNote(bank, 10007), QString("<b>粗</b> & 口诀"));
    bank.close();

    ASSERT_TRUE(search(QStringLiteral("口诀")));
    EXPECT_TRUE(pageText().contains("找到 1 道题"));
    EXPECT_TRUE(pageText().contains("我的笔记：<b>粗</b> & 口诀")) << pageText().toStdString();
}

} // namespace
