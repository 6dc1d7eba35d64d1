#include "bank_writer.h"
#include "practice/grader.h"
#include "practice/page_builder.h"
#include "record/sitting.h"
#include "record/weak_points.h"
#include "record_fixture.h"
#include "store/own_tables.h"
#include "synthetic_bank.h"
#include "synthetic_history.h"

#include <QTemporaryDir>

using testing_support::describeAll;
using testing_support::RecordBank;

namespace {

// An answer of a hand-made history: question, given, correct.
struct Given {
    qint64 question;
    const char* given;
    bool correct;
};

class WeakPoints : public RecordBank {
protected:
    void sit(record::SittingKind kind, std::initializer_list<Given> answers) {
        record::Sitting sitting;
        sitting.kind = kind;
        sitting.finishedAt = QDateTime::currentDateTime();
        sitting.title = QStringLiteral("历史");
        for (const Given& a : answers)
            sitting.questions.push_back({a.question,
                                         firstChapter,
                                         QStringLiteral("1"),
                                         QString::fromUtf8(a.given),
                                         QStringLiteral("A"),
                                         a.correct,
                                         {}});
        record::recordSitting(bank, sitting);
    }

    // Wrong counts: 1 three times, 2 twice but right since, 3 twice, 4 (a case
    // question) once, 6 (a matching question) once, 8 once in an exam, 99 (not
    // in the bank) once; 9 only left blank.
    void makeHistory() {
        using record::SittingKind;
        sit(SittingKind::Chapter, {{1, "B", false}, {2, "C", false}, {3, "B", false}});
        sit(SittingKind::Chapter,
            {{1, "C", false}, {2, "C", false}, {3, "A", false}, {4, "B", false}, {9, "", false}});
        sit(SittingKind::Exam, {{1, "D", false}, {8, "A", false}, {99, "A", false}});
        sit(SittingKind::Drill, {{2, "B", true}, {6, "C", false}});
    }
};

struct LimitCase {
    const char* name;
    int limit;
    std::vector<qint64> questions;
};

class WeakPointLimits : public WeakPoints, public testing::WithParamInterface<LimitCase> {};

TEST_P(WeakPointLimits, MostOftenWrongFirstWithTheirGroupsAndWithinTheLimit) {
    makeHistory();
    EXPECT_EQ(record::weakPointQuestions(bank, GetParam().limit), GetParam().questions);
}

INSTANTIATE_TEST_SUITE_P(Cases, WeakPointLimits,
                         testing::Values(LimitCase{"Everything", 50, {1, 3, 6, 7, 8, 4, 5}},
                                         LimitCase{"AGroupThatFitsExactly", 4, {1, 3, 6, 7}},
                                         LimitCase{"AGroupTooLargeIsPassedOver", 3, {1, 3, 8}},
                                         LimitCase{"None", 0, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WeakPoints, ABankWithoutARecordHasNoneAndADamagedRecordSaysSo) {
    EXPECT_TRUE(record::weakPointQuestions(bank).empty());
    alter({"CREATE TABLE mq_meta (name TEXT PRIMARY KEY NOT NULL, version INTEGER NOT NULL)",
           "INSERT INTO mq_meta VALUES ('record', 1)"});
    EXPECT_THROW(record::weakPointQuestions(bank), store::OwnTablesUnusable);
}

TEST_F(WeakPoints, TheDrillPageShowsThePickedQuestionsOfEveryChapterWithTheirGroups) {
    makeHistory();
    QStringList fragments;
    practice::ChapterPageBuilder(bank, record::weakPointQuestions(bank), "薄弱<环节>")
        .writeRest(fragments);
    EXPECT_EQ(fragments.front(), "<h3>薄弱&lt;环节&gt;</h3>");
    const QString page = fragments.join(QString());
    // Numbered as a chapter is: singles of both chapters, the multiple, the
    // case group, the matching group.
    for (const char* shown : {"fan1'>1. 题1<", "fan8'>2. 题8<", "fan3'>3. 题3<", "fan4'>4.1. 题4<",
                              "fan5'>4.2. 题5<", "fan6'>题6<", "fan7'>题7<"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(shown))) << shown;
    for (qint64 id : {2, 9, 10})
        EXPECT_FALSE(page.contains(QStringLiteral("fan%1'").arg(id))) << id;
    EXPECT_TRUE(page.contains("案例一"));
    EXPECT_FALSE(page.contains("案例二"));
    EXPECT_EQ(page.count(practice::caseHeading), 1);
}

TEST_F(WeakPoints, AGradedDrillIsRecordedAndWhatWasAnsweredRightLeavesIt) {
    makeHistory();
    const std::vector<qint64> drill = record::weakPointQuestions(bank);
    tick(1, "A");
    tick(3, "B");
    tick(8, "C");
    tick(4, "A");
    tick(5, "");
    choose(6, "A");
    choose(7, "daan");
    const auto result =
        practice::gradeDrill(bank, drill, controls, QDateTime::currentDateTime().addSecs(-30));
    EXPECT_TRUE(result.recordNotice.isEmpty());
    EXPECT_EQ(result.wrongQuestionIds, (std::vector<qint64>{3, 5, 7}));

    const auto sittings = store::allSittings(bank);
    ASSERT_EQ(sittings.size(), 5u);
    EXPECT_EQ(sittings.back().kind, "drill");
    EXPECT_EQ(sittings.back().title, practice::drillTitle);
    EXPECT_FALSE(sittings.back().chapterId.has_value());
    EXPECT_GE(sittings.back().durationMs, 30000);
    // In page order: singles of both chapters, the multiple, the case, the matching group.
    EXPECT_EQ(describeAll(store::answersOfSitting(bank, sittings.back().id)),
              (std::vector<std::string>{"q1 ch101 t1 [A] [A] 对", "q8 ch102 t1 [C] [C] 对",
                                        "q3 ch101 t4 [B] [AC] 错", "q4 ch101 t8 [A] [A] 对",
                                        "q5 ch101 t8 [] [B] 错", "q6 ch101 t9 [A] [A] 对",
                                        "q7 ch101 t9 [] [B] 错"}));

    // Answered right: 1, 8, 4 and 6 leave (their groups with them); 3 was
    // wrong once more; blanks are no answers.
    EXPECT_EQ(record::weakPointQuestions(bank), (std::vector<qint64>{3}));
}

} // namespace

namespace {

// A synthetic year of history: the per-question summary the database keeps
// agrees with a count over the log, and the shape is what was asked for.
TEST(SyntheticHistory, HasTheAskedShapeAndTheSummaryAgreesWithTheLog) {
    QTemporaryDir folder;
    const QString path = folder.filePath("med.db");
    const banktool::BankContent content = banktool::syntheticBank({500, 3, 40});
    banktool::writeBank(content, path);
    banktool::HistoryShape shape;
    shape.answers = 3000;
    shape.exams = 5;
    shape.seed = 3;
    banktool::writeSyntheticHistory(content, shape, path);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("read"));
    db.setDatabaseName(path);
    ASSERT_TRUE(db.open());
    const auto number = [&](const char* sql) {
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(QString::fromUtf8(sql)) && query.next()) << sql;
        return query.value(0).toLongLong();
    };
    EXPECT_EQ(number("SELECT COUNT(*) FROM mq_sitting WHERE kind = 'exam'"), 5);
    EXPECT_EQ(number("SELECT SUM(question_count) FROM mq_sitting WHERE kind = 'chapter'"), 2500);
    EXPECT_EQ(number("SELECT COUNT(*) FROM mq_answer WHERE tid IS NOT NULL"),
              number("SELECT SUM(question_count) FROM mq_sitting WHERE kind = 'exam'"));
    EXPECT_GT(number("SELECT COUNT(*) FROM mq_answer WHERE given = ''"), 0);
    EXPECT_EQ(number("SELECT COUNT(*) FROM mq_sitting WHERE finished_at < "
                     "(SELECT MAX(finished_at) FROM mq_sitting s WHERE s.id < mq_sitting.id)"),
              0);
    EXPECT_EQ(number("SELECT COUNT(*) FROM mq_question_record r FULL JOIN ("
                     " SELECT question_id, SUM(correct = 0) AS wrong,"
                     "  MAX(CASE WHEN correct = 0 THEN sitting_id ELSE 0 END) AS last_wrong,"
                     "  MAX(CASE WHEN correct = 1 THEN sitting_id ELSE 0 END) AS last_right"
                     " FROM mq_answer WHERE given <> '' GROUP BY question_id) l"
                     " ON r.question_id = l.question_id"
                     " WHERE r.wrong_count IS NOT l.wrong OR r.last_wrong IS NOT l.last_wrong"
                     " OR r.last_right IS NOT l.last_right"),
              0);
    EXPECT_GT(number("SELECT COUNT(*) FROM mq_question_record"), 100);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("read"));
}

} // namespace
