#include "fixture_bank.h"
#include "practice/question_notes.h"
#include "record/exam_review.h"
#include "record_history.h"
#include "store/bank.h"
#include "store/exam_statements.h"

#include <gtest/gtest.h>

using testing_support::FixtureBank;
using testing_support::RecordedAnswerRow;
using testing_support::RecordedSittingRow;

namespace {

struct ExamReview : testing::Test {
    ExamReview() {
        store::BankBuilder& rows = fixture.rows();
        fixture.addDefaultHeader();
        rows.addType({3, "1", "A1型题"});
        rows.addType({10, "8", "阅读案例多个问题8"});
        rows.addNode({1, "职业病学", 0, 1, "", ""});
        rows.addNode({10, "总论", 1, 0, "", ""});
        rows.addNode({101, "尘肺", 10, 0, "", ""});
        rows.addGroup({501, 101, 3, "", ""});
        rows.addGroup({502, 101, 10, "患者男，45岁，矿工。", ""});
        addQuestion(1, 501, "矽肺的主要病因是<script>alert(1)</script>", "B", "游离二氧化硅粉尘。",
                    "pic/x1.png");
        addQuestion(2, 501, "第二题", "A", "", "");
        addQuestion(3, 502, "首选的检查是", "C", "胸片。", "");
        fixture.finish();
    }

    void addQuestion(qint64 id, qint64 group, const char* content, const char* answer,
                     const char* explain, const char* picture) {
        store::Question question;
        question.id = id;
        question.readtextid = group;
        question.content = QString::fromUtf8(content);
        question.answer = QString::fromUtf8(answer);
        question.explain = QString::fromUtf8(explain);
        question.picurl = QString::fromUtf8(picture);
        fixture.rows().addQuestion(question);
        for (const char* letter : {"A", "B", "C"})
            fixture.rows().addOption({id * 10 + letter[0] - 'A', id, letter,
                                      QStringLiteral("选项%1%2").arg(id).arg(letter)});
    }

    FixtureBank fixture;
    store::Bank bank{fixture.bankPath()};
};

TEST_F(ExamReview, AnOldExamIsRebuiltFromTheRecordAfterANewerPaperWasDrawn) {
    const qint64 old =
        testing_support::insertSitting(bank, {"exam",
                                              QDateTime(QDate(2026, 3, 1), QTime(9, 0)),
                                              3600000,
                                              std::nullopt,
                                              "模拟考试",
                                              {{1, 101, "a1", "B", "B", true, "1"},
                                               {2, 101, "a1", "", "A", false, "2"},
                                               {3, 101, "a3", "AC", "C", false, "3.1"},
                                               {99, 101, "a1", "D", "E", false, "4"}},
                                              25});
    // A newer exam and a newly drawn paper replace what `sj` held.
    testing_support::insertSitting(bank, {"exam",
                                          QDateTime(QDate(2026, 3, 2), QTime(9, 0)),
                                          1,
                                          {},
                                          "模拟考试",
                                          {{2, 101, "a1", "A", "A", true, "1"}},
                                          100});
    store::clearPaper(bank);
    store::insertPaperItem(bank, {"1", "a1", "", "", "2", "A", "", "", ""});

    const QString page = record::examReviewFragments(bank, old).join(QString());

    EXPECT_TRUE(page.contains(QStringLiteral("2026-03-01 09:00")));
    EXPECT_TRUE(page.contains(QStringLiteral("得分 25%")));
    EXPECT_TRUE(page.contains(QStringLiteral("矽肺的主要病因是")));
    EXPECT_FALSE(page.contains(QStringLiteral("<script")));
    EXPECT_TRUE(page.contains(QStringLiteral("<img src=\"./pic/x1.png\">")));
    EXPECT_TRUE(page.contains(QStringLiteral("选项1A")));
    EXPECT_TRUE(page.contains(QStringLiteral("答案解析：游离二氧化硅粉尘。")));
    EXPECT_TRUE(page.contains(QStringLiteral("患者男，45岁，矿工。"))); // the case text
    EXPECT_TRUE(page.contains(QStringLiteral("3.1. ")));
    EXPECT_TRUE(page.contains(QStringLiteral("您的答案：B ✔")));
    EXPECT_TRUE(page.contains(QStringLiteral("您的答案：未作答 ✘")));
    EXPECT_TRUE(
        page.contains(QStringLiteral("您的答案：AC ✘</span>&nbsp;&nbsp;正确答案：<b>C</b>")));
    EXPECT_TRUE(page.contains(QStringLiteral("此题已不在题库中")));
    // In paper order.
    EXPECT_LT(page.indexOf(QStringLiteral("矽肺")), page.indexOf(QStringLiteral("第二题")));
    EXPECT_LT(page.indexOf(QStringLiteral("第二题")), page.indexOf(QStringLiteral("首选的检查是")));
}

TEST_F(ExamReview, AQuestionsNoteShowsUnderItsAnswerAsText) {
    const qint64 id = testing_support::insertSitting(
        bank, {"exam",
               QDateTime(QDate(2026, 3, 1), QTime(9, 0)),
               1,
               {},
               "模拟考试",
               {{1, 101, "a1", "B", "B", true, "1"}, {2, 101, "a1", "C", "A", false, "2"}},
               {}});
    practice::saveQuestionNote(bank, 2, QStringLiteral("<img src=x onerror=alert(1)>\n易错"));

    const QString page = record::examReviewFragments(bank, id).join(QString());
    const QString shown = QStringLiteral("&lt;img src=x onerror=alert(1)&gt;<br>易错");
    EXPECT_TRUE(page.contains(QStringLiteral("我的笔记：</b>") + shown)) << page.toStdString();
    EXPECT_EQ(page.count(QStringLiteral("我的笔记")), 1);
    EXPECT_GT(page.indexOf(shown), page.indexOf(QStringLiteral("第二题")));
    EXPECT_FALSE(page.contains(QStringLiteral("<img src=x")));
}

TEST_F(ExamReview, RecordedAnswersAreShownAsTextAndAnUnknownExamIsSaidSo) {
    const qint64 id =
        testing_support::insertSitting(bank, {"exam",
                                              QDateTime(QDate(2026, 3, 1), QTime(9, 0)),
                                              1,
                                              {},
                                              "模拟考试",
                                              {{2, 101, "a1", "<b>A</b>", "A<i>", false, "1"}},
                                              {}});
    const QString page = record::examReviewFragments(bank, id).join(QString());
    EXPECT_TRUE(page.contains(QStringLiteral("&lt;b&gt;A&lt;/b&gt;")));
    EXPECT_TRUE(page.contains(QStringLiteral("A&lt;i&gt;")));
    EXPECT_EQ(record::examReviewFragments(bank, id + 7).join(QString()),
              QStringLiteral("<p align=\"center\">学习记录中没有这次考试。</p>"));
}

} // namespace
