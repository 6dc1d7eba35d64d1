#include "event_wait.h"
#include "main_window_fixture.h"
#include "page_support.h"
#include "record/statistics_window.h"
#include "record_history.h"
#include "store/bank.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

using testing_support::RecordedAnswerRow;
using testing_support::RecordedSittingRow;
using testing_support::scriptResult;
using testing_support::waitUntil;

namespace {

class StatisticsWindowTest : public testing_support::MainWindowTest {
protected:
    void createWithChapters() { createWindow(2, 1, testing_support::chapterContent); }

    qint64 record(const RecordedSittingRow& sitting) {
        store::Bank bank(fixture.bankPath());
        return testing_support::insertSitting(bank, sitting);
    }

    record::StatisticsWindow* openStatistics() {
        window->show();
        QCoreApplication::processEvents();
        QTest::mouseClick(child("xxtj"), Qt::LeftButton);
        record::StatisticsWindow* statistics = window->statisticsWindow();
        EXPECT_NE(statistics, nullptr);
        if (statistics) {
            EXPECT_TRUE(waitUntil([&] { return statistics->isVisible(); }));
        }
        return statistics;
    }

    template <class T> T* part(record::StatisticsWindow* statistics, const char* name) {
        T* found = statistics->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static void clickRow(QTableWidget* table, int row) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualItemRect(table->item(row, 0)).center());
    }
};

const QDateTime now = QDateTime::currentDateTime();

TEST_F(StatisticsWindowTest, ShowsTheFiguresAndChartsOpensAChapterAndReviewsAPastExam) {
    createWithChapters();
    record({"chapter",
            now.addSecs(-3600),
            300000,
            101,
            "第1章",
            {{10007, 101, "1", "A", "A", true, {}},
             {10008, 101, "8", "A", "AB", false, {}},
             {10009, 101, "9", "", "B", false, {}}},
            {}});
    record({"chapter",
            now.addSecs(-1800),
            60000,
            102,
            "第2章",
            {{10007, 102, "1", "B", "A", false, {}}},
            {}});
    const qint64 oldExam = record(
        {"exam",
         now.addDays(-1),
         2700000,
         {},
         "模拟考试",
         {{10007, 101, "a1", "A", "A", true, "1"}, {10008, 101, "a3", "B", "AB", false, "2.1"}},
         50});
    record({"exam",
            now.addSecs(-600),
            600000,
            {},
            "模拟考试",
            {{10007, 101, "a1", "A", "A", true, "1"}},
            100});

    record::StatisticsWindow* statistics = openStatistics();
    ASSERT_NE(statistics, nullptr);
    EXPECT_EQ(statistics->objectName(), QStringLiteral("StatisticsWindow"));
    EXPECT_EQ(
        part<QLabel>(statistics, "summaryLabel")->text(),
        QStringLiteral("累计答题 6 道 · 正确率 50% · 学习 2 天 · 连续学习 2 天 · 模拟考试 2 次 · "
                       "最高分 100% · 最近一次 100%"));
    EXPECT_FALSE(part<QLabel>(statistics, "messageLabel")->isVisible());
    for (const char* chart : {"accuracyChart", "answeredChart", "examScoreChart"})
        EXPECT_NE(statistics->findChild<QWidget*>(QString::fromLatin1(chart)), nullptr) << chart;

    auto* chapters = part<QTableWidget>(statistics, "chapterTable");
    ASSERT_EQ(chapters->rowCount(), 3);
    EXPECT_EQ(chapters->item(0, 0)->text(), QStringLiteral("第2章")); // 0% before 60%
    EXPECT_EQ(chapters->item(0, 3)->text(), QStringLiteral("0%"));
    EXPECT_EQ(chapters->item(1, 0)->text(), QStringLiteral("第1章"));
    EXPECT_EQ(chapters->item(1, 1)->text(), QStringLiteral("2/3"));
    EXPECT_EQ(chapters->item(1, 2)->text(), QStringLiteral("5")); // the exams' answers count
    EXPECT_EQ(chapters->item(1, 3)->text(), QStringLiteral("60%"));
    EXPECT_EQ(chapters->item(2, 3)->text(), QStringLiteral("—"));

    auto* types = part<QTableWidget>(statistics, "typeTable");
    ASSERT_EQ(types->rowCount(), 4);
    EXPECT_EQ(types->item(0, 0)->text(), QStringLiteral("单项选择题"));
    EXPECT_EQ(types->item(0, 1)->text(), QStringLiteral("4"));
    EXPECT_EQ(types->item(0, 3)->text(), QStringLiteral("75%"));

    // The chapter tree tells each chapter's figures.
    EXPECT_EQ(window->chapterTooltipAt(2), QStringLiteral("已答 5 题（2 道不同的题），正确率 60%"));
    EXPECT_EQ(window->chapterTooltipAt(0), QString());

    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    clickRow(chapters, 0);
    EXPECT_EQ(window->currentChapterId(), QStringLiteral("102"));

    QSignalSpy drill(statistics, &record::StatisticsWindow::weakPointDrillRequested);
    part<QPushButton>(statistics, "weakPointDrillButton")->click();
    EXPECT_EQ(drill.count(), 1);

    // The older exam is the second row, newest first.
    auto* exams = part<QTableWidget>(statistics, "examTable");
    ASSERT_EQ(exams->rowCount(), 2);
    EXPECT_EQ(exams->item(1, 1)->text(), QStringLiteral("45分00秒"));
    EXPECT_EQ(exams->item(1, 2)->text(), QStringLiteral("1/1"));
    EXPECT_EQ(exams->item(1, 4)->text(), QStringLiteral("0/1"));
    EXPECT_EQ(exams->item(1, 6)->text(), QStringLiteral("50%"));
    QSignalSpy reviewed(statistics, &record::StatisticsWindow::examReviewShown);
    clickRow(exams, 1);
    ASSERT_TRUE(waitUntil([&] { return reviewed.count() > 0; }));
    EXPECT_EQ(reviewed.front().front().toLongLong(), oldExam);
    const QString text = scriptResult(statistics->reviewView(), "document.body.innerText")
                             .value_or(QVariant())
                             .toString();
    EXPECT_TRUE(text.contains(QStringLiteral("题10008"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("您的答案：B"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("答案解析：解析"))) << text.toStdString();

    QTest::keyClick(statistics, Qt::Key_Escape);
    EXPECT_FALSE(statistics->isVisible());
}

TEST_F(StatisticsWindowTest, WithoutARecordSaysWhatToDoAndADamagedRecordIsNamed) {
    createWithChapters();
    record::StatisticsWindow* statistics = openStatistics();
    ASSERT_NE(statistics, nullptr);
    EXPECT_EQ(part<QLabel>(statistics, "summaryLabel")->text(), record::noRecordText);
    EXPECT_EQ(part<QStackedWidget>(statistics, "dayCharts")->currentIndex(), 0);
    EXPECT_EQ(part<QStackedWidget>(statistics, "examChart")->currentIndex(), 0);
    EXPECT_FALSE(part<QPushButton>(statistics, "weakPointDrillButton")->isEnabled());
    EXPECT_EQ(part<QTableWidget>(statistics, "chapterTable")->rowCount(), 3);
    statistics->close();

    record({"chapter", now, 1000, 101, "第1章", {{10007, 101, "1", "A", "A", true, {}}}, {}});
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "damage");
        db.setDatabaseName(fixture.bankPath());
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec("DROP TABLE mq_answer"));
    }
    QSqlDatabase::removeDatabase("damage");
    statistics = openStatistics();
    auto* message = part<QLabel>(statistics, "messageLabel");
    EXPECT_TRUE(message->isVisible());
    EXPECT_TRUE(message->text().contains(QStringLiteral("学习记录已损坏")))
        << message->text().toStdString();
    EXPECT_EQ(part<QLabel>(statistics, "summaryLabel")->text(), record::noRecordText);
    EXPECT_EQ(window->chapterTooltipAt(2), QString());
}

} // namespace
