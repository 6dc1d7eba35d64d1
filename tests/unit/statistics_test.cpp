#include "fixture_bank.h"
#include "record/statistics.h"
#include "record_history.h"
#include "store/bank.h"
#include "store/own_tables.h"
#include "store/record_tables.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <map>
#include <set>

using record::RecordState;
using testing_support::FixtureBank;
using testing_support::RecordedAnswerRow;
using testing_support::RecordedSittingRow;

namespace {

const QDate today(2026, 3, 15);

// Three chapters under one section: 101 of single-choice questions 1–4, 102
// of multiple-choice questions 11–13, 103 of a case group 21–22.
void addChapters(FixtureBank& fixture) {
    store::BankBuilder& rows = fixture.rows();
    fixture.addDefaultHeader();
    rows.addType({3, "1", "A1型题"});
    rows.addType({6, "4", "X型题"});
    rows.addType({10, "8", "阅读案例多个问题8"});
    rows.addNode({1, "职业病学", 0, 1, "", ""});
    rows.addNode({10, "总论", 1, 0, "", ""});
    rows.addNode({101, "尘肺", 10, 0, "", ""});
    rows.addNode({102, "中毒", 10, 0, "", ""});
    rows.addNode({103, "噪声", 10, 0, "", ""});
    const struct {
        qint64 group, chapter, type;
        std::vector<qint64> questions;
    } groups[] = {
        {1001, 101, 3, {1, 2, 3, 4}}, {1002, 102, 6, {11, 12, 13}}, {1003, 103, 10, {21, 22}}};
    for (const auto& group : groups) {
        rows.addGroup({group.group, group.chapter, group.type, "", ""});
        for (qint64 id : group.questions) {
            store::Question question;
            question.id = id;
            question.readtextid = group.group;
            question.content = QStringLiteral("题%1").arg(id);
            question.answer = QStringLiteral("A");
            rows.addQuestion(question);
        }
    }
}

qint64 chapterOf(qint64 question) {
    return question < 10 ? 101 : question < 20 ? 102 : 103;
}

QString codeOf(qint64 question) {
    return question < 10 ? "1" : question < 20 ? "4" : "8";
}

// An answer: the question, what was given ("" blank) and whether it was right.
RecordedAnswerRow answer(qint64 question, const char* given, bool correct) {
    return {question, chapterOf(question), codeOf(question), given, "A", correct, {}};
}

RecordedSittingRow practice(int daysAgo, qint64 chapter, std::vector<RecordedAnswerRow> answers) {
    return {"chapter",   QDateTime(today.addDays(-daysAgo), QTime(9, 30)),
            600000,      chapter,
            "章节",      std::move(answers),
            std::nullopt};
}

// An exam whose answers carry the paper's section codes.
RecordedSittingRow exam(int daysAgo, std::vector<RecordedAnswerRow> answers) {
    for (RecordedAnswerRow& row : answers)
        row.typeCode = row.questionId < 10 ? "a1" : row.questionId < 20 ? "a2" : "a3";
    return {"exam",      QDateTime(today.addDays(-daysAgo), QTime(14, 0)),
            3600000,     std::nullopt,
            "模拟考试",  std::move(answers),
            std::nullopt};
}

struct HistoryCase {
    const char* name;
    std::vector<RecordedSittingRow> sittings;
    int expectedStreak;
    friend void PrintTo(const HistoryCase& c, std::ostream* out) { *out << c.name; }
};

// The figures worked out from the fixture's own rows, without the record's queries.
struct Independent {
    qint64 answered = 0, right = 0;
    std::set<QDate> days;
    std::map<qint64, std::set<qint64>> distinct;
    std::map<qint64, std::pair<qint64, qint64>> chapter; // answers, right
    std::map<qint64, QDateTime> last;
    std::map<int, std::pair<qint64, qint64>> section;
    std::map<QDate, std::pair<qint64, qint64>> perDay;
    std::vector<int> examScores;

    explicit Independent(const std::vector<RecordedSittingRow>& sittings) {
        const std::map<QString, int> sections = {{"1", 0},  {"4", 1},  {"8", 2},
                                                 {"a1", 0}, {"a2", 1}, {"a3", 2}};
        for (const RecordedSittingRow& sitting : sittings) {
            qint64 given = 0, good = 0;
            for (const RecordedAnswerRow& row : sitting.answers) {
                if (row.given.isEmpty())
                    continue;
                ++given;
                good += row.correct;
                distinct[*row.chapterId].insert(row.questionId);
                chapter[*row.chapterId].first += 1;
                chapter[*row.chapterId].second += row.correct;
                section[sections.at(row.typeCode)].first += 1;
                section[sections.at(row.typeCode)].second += row.correct;
            }
            answered += given;
            right += good;
            if (given > 0) {
                days.insert(sitting.finishedAt.date());
                perDay[sitting.finishedAt.date()].first += given;
                perDay[sitting.finishedAt.date()].second += good;
                if (sitting.chapterId)
                    last[*sitting.chapterId] =
                        std::max(last[*sitting.chapterId], sitting.finishedAt);
            }
            if (sitting.kind == "exam") {
                qint64 all = 0, ok = 0;
                for (const RecordedAnswerRow& row : sitting.answers) {
                    ++all;
                    ok += row.correct && !row.given.isEmpty();
                }
                examScores.push_back(int(std::lround(100.0 * double(ok) / double(all))));
            }
        }
    }
};

void expectFiguresOf(store::Bank& bank, const std::vector<RecordedSittingRow>& sittings,
                     int expectedStreak) {
    const Independent expected(sittings);
    const record::Statistics figures = record::readStatistics(bank, today);

    EXPECT_EQ(figures.state, expected.answered > 0 || !expected.examScores.empty()
                                 ? RecordState::Ready
                                 : RecordState::Empty);
    EXPECT_EQ(figures.summary.answered, expected.answered);
    EXPECT_EQ(figures.summary.right, expected.right);
    EXPECT_EQ(figures.summary.daysStudied, int(expected.days.size()));
    EXPECT_EQ(figures.summary.streakDays, expectedStreak);
    EXPECT_EQ(figures.summary.examsSat, int(expected.examScores.size()));
    if (expected.examScores.empty()) {
        EXPECT_FALSE(figures.summary.bestExamScore);
        EXPECT_FALSE(figures.summary.lastExamScore);
    } else {
        EXPECT_EQ(figures.summary.bestExamScore,
                  *std::max_element(expected.examScores.begin(), expected.examScores.end()));
        EXPECT_EQ(figures.summary.lastExamScore, expected.examScores.back());
    }

    ASSERT_EQ(figures.chapters.size(), 3u);
    std::optional<double> previous;
    for (const record::ChapterFigures& chapter : figures.chapters) {
        SCOPED_TRACE(chapter.chapterId);
        const auto counts = expected.chapter.count(chapter.chapterId)
                                ? expected.chapter.at(chapter.chapterId)
                                : std::pair<qint64, qint64>{0, 0};
        EXPECT_EQ(chapter.questions, chapter.chapterId == 101   ? 4
                                     : chapter.chapterId == 102 ? 3
                                                                : 2);
        EXPECT_EQ(chapter.answers, counts.first);
        EXPECT_EQ(chapter.right, counts.second);
        EXPECT_EQ(chapter.questionsAnswered,
                  qint64(expected.distinct.count(chapter.chapterId)
                             ? expected.distinct.at(chapter.chapterId).size()
                             : 0));
        EXPECT_EQ(chapter.lastPractised, expected.last.count(chapter.chapterId)
                                             ? expected.last.at(chapter.chapterId)
                                             : QDateTime());
        // Weakest first, chapters never answered last.
        if (counts.first > 0) {
            const double rate = double(counts.second) / double(counts.first);
            if (previous) {
                EXPECT_LE(*previous, rate + 0.01);
            }
            previous = rate;
        } else {
            previous = 2.0;
        }
    }

    ASSERT_EQ(figures.types.size(), 4u);
    for (int section = 0; section < 4; ++section) {
        const auto counts = expected.section.count(section) ? expected.section.at(section)
                                                            : std::pair<qint64, qint64>{0, 0};
        EXPECT_EQ(figures.types[size_t(section)].answered, counts.first) << section;
        EXPECT_EQ(figures.types[size_t(section)].right, counts.second) << section;
    }

    ASSERT_EQ(figures.days.size(), size_t(record::chartDays));
    EXPECT_EQ(figures.days.back().day, today);
    for (const record::DayFigures& day : figures.days) {
        const auto counts = expected.perDay.count(day.day) ? expected.perDay.at(day.day)
                                                           : std::pair<qint64, qint64>{0, 0};
        EXPECT_EQ(std::make_pair(day.answered, day.right), counts)
            << day.day.toString().toStdString();
    }

    ASSERT_EQ(figures.exams.size(), expected.examScores.size());
    for (size_t k = 0; k < figures.exams.size(); ++k)
        EXPECT_EQ(figures.exams[k].scorePercent, expected.examScores[k]);
}

class StatisticsFigures : public testing::TestWithParam<HistoryCase> {
protected:
    StatisticsFigures() {
        addChapters(fixture);
        fixture.finish();
    }

    FixtureBank fixture;
    store::Bank bank{fixture.bankPath()};
};

TEST_P(StatisticsFigures, EqualAnIndependentCount) {
    for (const RecordedSittingRow& sitting : GetParam().sittings)
        testing_support::insertSitting(bank, sitting);
    expectFiguresOf(bank, GetParam().sittings, GetParam().expectedStreak);
}

// The per-chapter sums are kept as answers are inserted; a record of the
// first layout has none, so bringing it up to date fills them from its
// answers, and they keep counting after that.
TEST_P(StatisticsFigures, EqualAnIndependentCountAfterTheFirstLayoutIsBroughtUpToDate) {
    testing_support::createFirstRecordLayout(bank);
    for (const RecordedSittingRow& sitting : GetParam().sittings)
        testing_support::insertSitting(bank, sitting);
    ASSERT_EQ(store::ownTablesStatus(bank, store::recordTables()).state,
              store::OwnTablesState::Older);

    expectFiguresOf(bank, GetParam().sittings, GetParam().expectedStreak);
    EXPECT_EQ(store::ownTablesStatus(bank, store::recordTables()).state,
              store::OwnTablesState::Current);

    std::vector<RecordedSittingRow> more = GetParam().sittings;
    more.push_back(practice(0, 102, {answer(11, "A", true), answer(13, "B", false)}));
    more.push_back(exam(0, {answer(1, "B", false), answer(21, "A", true), answer(22, "", false)}));
    for (size_t k = GetParam().sittings.size(); k < more.size(); ++k)
        testing_support::insertSitting(bank, more[k]);
    // Studying today lengthens a run that ended yesterday by a day.
    const bool studiedToday = Independent(GetParam().sittings).days.count(today) > 0;
    expectFiguresOf(bank, more, GetParam().expectedStreak + (studiedToday ? 0 : 1));
}

INSTANTIATE_TEST_SUITE_P(
    Histories, StatisticsFigures,
    testing::Values(
        HistoryCase{"NoHistory", {}, 0},
        HistoryCase{"OneChapterToday",
                    {practice(0, 101,
                              {answer(1, "A", true), answer(2, "B", false), answer(3, "", false),
                               answer(4, "A", true)})},
                    1},
        HistoryCase{"OnlyBlanksIsNoStudy",
                    {practice(0, 101, {answer(1, "", false), answer(2, "", false)})},
                    0},
        HistoryCase{
            "ManyDaysChaptersAndExams",
            {practice(200, 102, {answer(11, "A", true)}),
             practice(3, 101, {answer(1, "A", true), answer(2, "C", false)}),
             practice(2, 102, {answer(11, "B", false), answer(12, "AB", true)}),
             exam(2, {answer(1, "A", true), answer(11, "", false), answer(21, "AC", true),
                      answer(22, "B", false)}),
             practice(1, 102, {answer(11, "A", true), answer(13, "", false)}),
             practice(1, 101, {answer(1, "A", true), answer(3, "A", true)}),
             exam(1, {answer(2, "A", true), answer(12, "AB", true), answer(13, "A", true)})},
            3},
        HistoryCase{
            "StreakBrokenTwoDaysAgo",
            {practice(6, 101, {answer(1, "A", true)}), practice(5, 101, {answer(2, "A", true)}),
             practice(3, 101, {answer(3, "B", false)}), practice(0, 101, {answer(4, "A", true)})},
            1},
        HistoryCase{
            "StreakAliveUntilYesterday",
            {practice(4, 101, {answer(1, "A", true)}), practice(2, 102, {answer(11, "A", true)}),
             practice(1, 102, {answer(12, "B", false)}), practice(1, 101, {answer(2, "A", true)})},
            2},
        HistoryCase{"LastStudiedBeforeYesterday", {practice(2, 101, {answer(1, "A", true)})}, 0}),
    [](const testing::TestParamInfo<HistoryCase>& info) { return std::string(info.param.name); });

struct StatisticsRecordState : testing::Test {
    StatisticsRecordState() {
        addChapters(fixture);
        fixture.finish();
    }

    void alter(const QString& statement) {
        bank.close();
        testing_support::alterAsAnotherProgram(fixture.bankPath(), {statement});
    }

    FixtureBank fixture;
    store::Bank bank{fixture.bankPath()};
};

TEST_F(StatisticsRecordState, ABankWithoutTheRecordListsItsChaptersAtNothing) {
    const record::Statistics figures = record::readStatistics(bank, today);
    EXPECT_EQ(figures.state, RecordState::Empty);
    EXPECT_TRUE(figures.message.isEmpty());
    ASSERT_EQ(figures.chapters.size(), 3u);
    EXPECT_EQ(figures.chapters.front().chapterId, 101); // tree order
    EXPECT_EQ(figures.days.size(), size_t(record::chartDays));
    EXPECT_TRUE(record::chapterTooltip(bank, 101).isEmpty());
}

TEST_F(StatisticsRecordState, DamagedOrNewerTablesAreNamedAndNothingIsRead) {
    testing_support::insertSitting(bank, practice(0, 101, {answer(1, "A", true)}));
    for (const char* statement :
         {"UPDATE mq_meta SET version = 99 WHERE name = 'record'", "DROP TABLE mq_answer"}) {
        SCOPED_TRACE(statement);
        alter(QString::fromLatin1(statement));
        const record::Statistics figures = record::readStatistics(bank, today);
        EXPECT_EQ(figures.state, RecordState::Unusable);
        EXPECT_TRUE(figures.message.contains(QStringLiteral("学习记录")))
            << figures.message.toStdString();
        EXPECT_EQ(figures.summary.answered, 0);
        EXPECT_EQ(figures.chapters.size(), 3u);
        EXPECT_TRUE(record::chapterTooltip(bank, 101).isEmpty());
    }
}

TEST_F(StatisticsRecordState, TooltipsGiveAnsweredCountAndAccuracy) {
    testing_support::insertSitting(bank, practice(0, 101,
                                                  {answer(1, "A", true), answer(2, "B", false),
                                                   answer(1, "A", true), answer(3, "", false)}));
    EXPECT_EQ(record::chapterTooltip(bank, 101),
              QStringLiteral("已答 3 题（2 道不同的题），正确率 67%"));
    EXPECT_TRUE(record::chapterTooltip(bank, 102).isEmpty());
}

TEST(StatisticsDurations, ReadAsSecondsMinutesOrHours) {
    const std::pair<qint64, const char*> cases[] = {{-5, "0秒"},           {59999, "59秒"},
                                                    {60000, "1分00秒"},    {750000, "12分30秒"},
                                                    {3599999, "59分59秒"}, {3900000, "1小时05分"}};
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(record::durationText(ms), QString::fromUtf8(text)) << ms;
}

TEST(StatisticsTypeCodes, QuestionCodesAndExamSectionsFallIntoTheFourSections) {
    const std::pair<const char*, std::optional<int>> cases[] = {{"1", 0},
                                                                {"3", 0},
                                                                {"4", 1},
                                                                {"7", 1},
                                                                {"8", 2},
                                                                {"9", 3},
                                                                {"a1", 0},
                                                                {"a4", 3},
                                                                {" 2 ", 0},
                                                                {"0", std::nullopt},
                                                                {"10", std::nullopt},
                                                                {"a5", std::nullopt},
                                                                {"", std::nullopt}};
    for (const auto& [code, section] : cases)
        EXPECT_EQ(record::sectionOfTypeCode(QString::fromLatin1(code)), section) << code;
}

} // namespace
