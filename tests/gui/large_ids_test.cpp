#include "main_window_fixture.h"
#include "page_support.h"
#include "store/question_statements.h"
#include "web/html_view.h"

#include <QSignalSpy>
#include <QTest>

using testing_support::evaluate;
using testing_support::MainWindowTest;

namespace {

constexpr qint64 largeChapter = (qint64(1) << 32) + 101;
constexpr qint64 largeQuestion = (qint64(1) << 32) + 14001;
constexpr qint64 smallQuestion = 14001;

// A third chapter of the first section whose id and first question's id do not
// fit 32 bits; cut to 32 bits they would be chapter 101 and question 14001.
class LargeIds : public MainWindowTest {
protected:
    bool openLargeChapter() {
        createWindow(2, 1, [](store::BankBuilder& rows) {
            rows.addType({3, "1", "单选题"});
            rows.addNode({largeChapter, "大编号章", 10, 0, {}, {}});
            rows.addGroup({largeChapter, largeChapter, 3, {}, {}});
            for (const qint64 id : {largeQuestion, smallQuestion}) {
                store::Question q;
                q.id = id;
                q.readtextid = largeChapter;
                q.content = QStringLiteral("题%1").arg(id);
                q.answer = "A";
                rows.addQuestion(q);
                rows.addOption({id * 10 + 1, id, "A", "甲"});
                rows.addOption({id * 10 + 2, id, "B", "乙"});
            }
        });
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        if (!shown.wait(20000))
            return false;
        const QRect place = tree()->visualItemRect(tree()->topLevelItem(0)->child(0)->child(2));
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, place.center());
        return shown.wait(20000);
    }

    store::Question question(qint64 id) {
        store::Bank bank(fixture.bankPath());
        return *store::questionById(bank, id);
    }
};

TEST_F(LargeIds, PageCommandsAndGradingReachTheQuestionsTheyWereMeantFor) {
    ASSERT_TRUE(openLargeChapter());
    EXPECT_EQ(window->currentChapterId(), QString::number(largeChapter));
    EXPECT_EQ(evaluate(window->page(), "document.body.innerText").toString().count("题14001"), 1);

    evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.messages.isEmpty(); }, 10000));
    EXPECT_EQ(prompter.messages, QStringList({"收藏成功！"}));
    EXPECT_EQ(question(largeQuestion).scbt, QString("1"));
    EXPECT_EQ(question(smallQuestion).scbt, QString(""));

    window->page()->setChecked(QString::number(largeQuestion * 10 + 2), true);
    window->page()->setChecked(QString::number(smallQuestion * 10 + 1), true);
    prompter.onModal = [](QDialog& dialog) {
        dialog.accept();
    };
    prompter.yesAnswer = true;
    QTest::mouseClick(child("NewImage12"), Qt::LeftButton);
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.dialogs.isEmpty(); }, 20000));
    EXPECT_EQ(question(largeQuestion).ct, QString("1"));
    EXPECT_EQ(question(smallQuestion).ct, QString(""));
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join('\n').toStdString();
}

} // namespace
