#include "main_window_fixture.h"
#include "page_support.h"
#include "practice/grader.h"
#include "practice/result_window.h"
#include "record/weak_points.h"
#include "store/record_statements.h"
#include "store/tally_statements.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using testing_support::chapterContent;
using testing_support::evaluate;
using testing_support::MainWindowTest;

namespace {

// Chapter 101: single 10007 (A), case 10008 (AB), matching 10009 (B).
class LearningRecord : public MainWindowTest {
protected:
    bool openPage() {
        createWindow(2, 1, chapterContent);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        return shown.wait(20000);
    }

    void grade() {
        prompter.yesAnswer = true;
        prompter.onModal = [](QDialog& dialog) {
            QSignalSpy table(&static_cast<practice::ResultWindow&>(dialog),
                             &practice::ResultWindow::tableShown);
            dialog.show();
            EXPECT_TRUE(table.wait(20000));
            dialog.accept();
        };
        const qsizetype shown = prompter.dialogs.count("TForm15");
        QTest::mouseClick(child("NewImage12"), Qt::LeftButton);
        ASSERT_TRUE(testing_support::waitUntil(
            [&] { return prompter.dialogs.count("TForm15") > shown; }, 20000));
    }

    std::vector<store::SittingRow> sittings() {
        store::Bank bank(fixture.bankPath());
        return store::allSittings(bank);
    }
    std::vector<store::AnswerRow> answers(qint64 sitting) {
        store::Bank bank(fixture.bankPath());
        return store::answersOfSitting(bank, sitting);
    }
    std::vector<qint64> weakPoints() {
        store::Bank bank(fixture.bankPath());
        return record::weakPointQuestions(bank);
    }
    QString pageText() { return evaluate(window->page(), "document.body.innerHTML").toString(); }
};

TEST_F(LearningRecord, AGradedChapterIsRecordedAndItsWrongAnswersMakeTheDrill) {
    ASSERT_TRUE(openPage());
    window->page()->setChecked("100072", true); // 10007: B, wrong
    window->page()->setChecked("100081", true); // 10008: A of AB, wrong
    window->page()->setValue("a10009", "B");    // right
    grade();
    auto recorded = sittings();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].kind, "chapter");
    EXPECT_EQ(recorded[0].chapterId, 101);
    EXPECT_EQ(recorded[0].rightCount, 1);
    EXPECT_EQ(recorded[0].answeredCount, 3);
    EXPECT_GT(recorded[0].durationMs, 0);
    EXPECT_EQ(answers(recorded[0].id).size(), 3u);
    EXPECT_EQ(weakPoints(), (std::vector<qint64>{10007, 10008}));

    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    window->openWeakPointDrill();
    ASSERT_TRUE(shown.wait(20000));
    ASSERT_TRUE(window->drillQuestions().has_value());
    EXPECT_EQ(child<QLabel>("Label1")->text(), practice::drillTitle);
    const QString page = pageText();
    EXPECT_TRUE(page.contains("题10007"));
    EXPECT_TRUE(page.contains("题10008"));
    EXPECT_FALSE(page.contains("题10009"));

    window->page()->setChecked("100071", true); // now right
    grade();
    recorded = sittings();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[1].kind, "drill");
    EXPECT_EQ(recorded[1].questionCount, 2);
    EXPECT_EQ(recorded[1].rightCount, 1);
    EXPECT_EQ(weakPoints(), std::vector<qint64>{10008});
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join("\n").toStdString();
}

TEST_F(LearningRecord, ADamagedRecordIsNamedOnceAndGradingGoesOn) {
    ASSERT_TRUE(openPage());
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
        db.setDatabaseName(fixture.bankPath());
        ASSERT_TRUE(db.open());
        for (const char* statement :
             {"CREATE TABLE mq_meta (name TEXT PRIMARY KEY NOT NULL, version INTEGER NOT NULL)",
              "INSERT INTO mq_meta VALUES ('record', 1)", "CREATE TABLE mq_sitting (id INTEGER)"})
            ASSERT_TRUE(QSqlQuery(db).exec(QString::fromUtf8(statement)));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("damage"));

    window->page()->setChecked("100071", true);
    grade();
    grade();
    ASSERT_EQ(prompter.messages.size(), 1) << prompter.messages.join("\n").toStdString();
    EXPECT_TRUE(prompter.messages[0].contains("没有记入学习记录"));
    EXPECT_TRUE(prompter.messages[0].contains("学习记录已损坏"))
        << prompter.messages[0].toStdString();
    store::Bank bank(fixture.bankPath());
    EXPECT_FALSE(store::tallies(bank).empty());

    // The drill says why it cannot be listed.
    window->openWeakPointDrill();
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains("无法列出薄弱环节"));
}

} // namespace
