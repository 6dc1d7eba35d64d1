#include "exam/exam_session.h"
#include "practice/grader.h"
#include "record/sitting.h"
#include "record/statistics.h"
#include "record_fixture.h"
#include "services/bank_backup.h"
#include "store/exam_statements.h"
#include "store/own_tables.h"
#include "store/question_statements.h"
#include "store/record_tables.h"
#include "store/tally_statements.h"

#include <QTemporaryDir>
#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using collections::ViewMode;
using testing_support::describeAll;
using testing_support::RecordBank;

namespace {

class Record : public RecordBank {
protected:
    // The first chapter answered: 1 right, 2 wrong, 3 right (ticked as a set),
    // 4 blank, 5 right, 6 left on the drop-down's placeholder, 7 right; the
    // second: 8 wrong, 9 right, 10 blank.
    void answerFirstChapter() {
        tick(8, "D");
        tick(9, "D");
        tick(10, "");
        tick(1, "A");
        tick(2, "C");
        tick(3, "AC");
        tick(4, "");
        tick(5, "B");
        choose(6, "daan");
        choose(7, "B");
    }

    std::vector<store::SittingRow> sittings() { return store::allSittings(bank); }
};

TEST_F(Record, AGradedChapterIsRecordedAsAnsweredInABankThatHadNoRecord) {
    ASSERT_EQ(store::ownTablesStatus(bank, store::recordTables()).state,
              store::OwnTablesState::Absent);
    answerFirstChapter();
    const QDateTime opened = QDateTime::currentDateTime().addSecs(-95);
    const auto result =
        practice::gradeChapter(bank, firstChapter, ViewMode::WholeBank, controls, opened);
    EXPECT_TRUE(result.recordNotice.isEmpty());

    const auto all = sittings();
    ASSERT_EQ(all.size(), 1u);
    const store::SittingRow& s = all.front();
    EXPECT_EQ(s.kind, "chapter");
    EXPECT_EQ(s.chapterId, firstChapter);
    EXPECT_EQ(s.title, "第一章");
    EXPECT_GE(s.durationMs, 95000);
    EXPECT_LT(s.durationMs, 95000 + 60000);
    EXPECT_EQ(s.day, QDate::currentDate().toString(Qt::ISODate));
    EXPECT_TRUE(s.finishedAt.startsWith(s.day + "T"));
    // Counted by hand from the ticks above.
    EXPECT_EQ(s.questionCount, 7);
    EXPECT_EQ(s.answeredCount, 5);
    EXPECT_EQ(s.rightCount, 4);
    EXPECT_EQ(s.scorePercent, 57);
    EXPECT_EQ(describeAll(store::answersOfSitting(bank, s.id)),
              (std::vector<std::string>{"q1 ch101 t1 [A] [A] 对", "q2 ch101 t1 [C] [B] 错",
                                        "q3 ch101 t4 [AC] [AC] 对", "q4 ch101 t8 [] [A] 错",
                                        "q5 ch101 t8 [B] [B] 对", "q6 ch101 t9 [] [A] 错",
                                        "q7 ch101 t9 [B] [B] 对"}));

    // A second grading is a second sitting; the first stays as it was.
    practice::gradeChapter(bank, firstChapter, ViewMode::WholeBank, controls, opened);
    EXPECT_EQ(sittings().size(), 2u);
    EXPECT_EQ(store::answersOfSitting(bank, s.id).size(), 7u);
}

TEST_F(Record, AHandedInExamIsRecordedRowByRowWithItsAnswersAndTheRightOnes) {
    const std::vector<store::PaperItem> paper = {
        {"1", "a1", {}, {}, "1", "A", {}, {}, {}},
        {"2", "a2", {}, {}, "3", "AC", {}, {}, "CA"},
        {"3", "a4", "配伍", {}, "4", {}, {}, "4", {}},
        {"4", "a1", {}, {}, "8", "C", {}, {}, "D"},
    };
    for (const store::PaperItem& item : paper)
        store::insertPaperItem(bank, item);
    store::setQuestionLx(bank, 6, "A");
    store::setQuestionLx(bank, 7, "a4"); // as tagged by the drawing: not answered
    exam::ExamSession session(bank, paper, QDateTime::currentDateTime().addSecs(-1800));
    tick(1, "A");
    const exam::SessionStep step = session.handIn(controls);
    ASSERT_TRUE(step.errors.isEmpty());
    EXPECT_TRUE(step.messages.isEmpty());

    // The drawing of the next paper overwrites sj; the record keeps this one.
    store::clearPaper(bank);
    const auto all = sittings();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all.front().kind, "exam");
    EXPECT_EQ(all.front().title, exam::examSittingTitle);
    EXPECT_FALSE(all.front().chapterId.has_value());
    EXPECT_GE(all.front().durationMs, 1800000);
    EXPECT_EQ(all.front().questionCount, 5);
    EXPECT_EQ(all.front().rightCount, 3);
    EXPECT_EQ(all.front().scorePercent, 60);
    EXPECT_EQ(describeAll(store::answersOfSitting(bank, all.front().id)),
              (std::vector<std::string>{"q1 ch101 t1 [A] [A] 对 1", "q3 ch101 t4 [CA] [AC] 对 2",
                                        "q6 ch101 t9 [A] [A] 对 3", "q7 ch101 t9 [] [B] 错 3",
                                        "q8 ch102 t1 [D] [C] 错 4"}));
}

struct Unusable {
    const char* name;
    QStringList damage;
};

class UnusableRecord : public Record, public testing::WithParamInterface<Unusable> {};

// The grading and the exam go on; the user hears once that nothing is recorded.
TEST_P(UnusableRecord, GradingStillWorksAndTheUserIsToldOnce) {
    alter(GetParam().damage);
    answerFirstChapter();
    const auto now = QDateTime::currentDateTime();
    const auto first =
        practice::gradeChapter(bank, firstChapter, ViewMode::WholeBank, controls, now);
    EXPECT_TRUE(first.recordNotice.contains("没有记入学习记录"))
        << first.recordNotice.toStdString();
    EXPECT_TRUE(first.recordNotice.contains("学习记录")) << first.recordNotice.toStdString();
    EXPECT_EQ(first.wrongQuestionIds, (std::vector<qint64>{2, 4, 6}));
    EXPECT_EQ(store::questionById(bank, 2)->ct1, "1");
    EXPECT_FALSE(store::tallies(bank).empty());
    const auto second =
        practice::gradeChapter(bank, firstChapter, ViewMode::WholeBank, controls, now);
    EXPECT_TRUE(second.recordNotice.isEmpty());

    const std::vector<store::PaperItem> paper = {{"1", "a1", {}, {}, "1", "A", {}, {}, {}}};
    store::insertPaperItem(bank, paper.front());
    exam::ExamSession session(bank, paper);
    const exam::SessionStep step = session.handIn(controls);
    EXPECT_TRUE(step.errors.isEmpty());
    EXPECT_TRUE(session.handedIn());
    EXPECT_FALSE(step.resultTable.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableRecord,
    testing::Values(
        Unusable{"AColumnIsMissing",
                 {"CREATE TABLE mq_meta (name TEXT PRIMARY KEY NOT NULL, version INTEGER NOT NULL)",
                  "INSERT INTO mq_meta VALUES ('record', 1)",
                  "CREATE TABLE mq_sitting (id INTEGER PRIMARY KEY)"}},
        Unusable{"WrittenByANewerProgram",
                 {"CREATE TABLE mq_meta (name TEXT PRIMARY KEY NOT NULL, version INTEGER NOT NULL)",
                  "INSERT INTO mq_meta VALUES ('record', 9)"}},
        // Looks whole, but refuses every sitting: the write fails part way.
        Unusable{"AWriteIsRefused",
                 {"CREATE TABLE mq_meta (name TEXT PRIMARY KEY NOT NULL, version INTEGER NOT NULL)",
                  "INSERT INTO mq_meta VALUES ('record', 1)",
                  "CREATE TABLE mq_sitting (id INTEGER PRIMARY KEY, kind TEXT, finished_at TEXT, "
                  "day TEXT, duration_ms INTEGER, chapter_id INTEGER, title TEXT, question_count "
                  "INTEGER, answered_count INTEGER, right_count INTEGER, score_percent INTEGER, "
                  "detail TEXT, CHECK (kind = 'none'))",
                  "CREATE TABLE mq_answer (sitting_id INTEGER, position INTEGER, question_id "
                  "INTEGER, chapter_id INTEGER, type_code TEXT, given TEXT, right_answer TEXT, "
                  "correct INTEGER, tid TEXT)"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Record, ARestoreBringsBackTheRecordOfTheBackup) {
    answerFirstChapter();
    const auto now = QDateTime::currentDateTime();
    practice::gradeChapter(bank, firstChapter, ViewMode::WholeBank, controls, now);
    bank.close();
    QTemporaryDir elsewhere;
    const QString backupPath = elsewhere.filePath(services::proposedBackupName(QDate(2026, 3, 5)));
    services::backupBank(fixture.bankPath(), backupPath);

    practice::gradeChapter(bank, secondChapter, ViewMode::WholeBank, controls, now);
    ASSERT_EQ(sittings().size(), 2u);
    services::restoreBank(fixture.programFolder(), backupPath);
    const auto restored = sittings();
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored.front().chapterId, firstChapter);
    EXPECT_EQ(store::answersOfSitting(bank, restored.front().id).size(), 7u);
    // The sums the statistics read came back with it: none left of the later chapter.
    const record::Statistics figures = record::readStatistics(bank, now.date());
    EXPECT_EQ(figures.summary.answered, restored.front().answeredCount);
    EXPECT_TRUE(record::chapterTooltip(bank, firstChapter)
                    .startsWith(QStringLiteral("已答 %1 题").arg(restored.front().answeredCount)));
    EXPECT_TRUE(record::chapterTooltip(bank, secondChapter).isEmpty());
}

// Set in the child only: the statement that fires the trigger ends the process.
void killProcess(sqlite3_context*, int, sqlite3_value**) {
    ::kill(::getpid(), SIGKILL);
}

const char* killTrigger = nullptr;

int armKill(sqlite3* db, const char**, const sqlite3_api_routines*) {
    sqlite3_create_function(db, "mq_test_kill", 0, SQLITE_UTF8, nullptr, killProcess, nullptr,
                            nullptr);
    sqlite3_exec(db, killTrigger, nullptr, nullptr, nullptr);
    return SQLITE_OK;
}

class KilledGrading : public Record, public testing::WithParamInterface<const char*> {};

// The grading's writes and its sitting are one transaction: a process killed
// after the tallies are written, or half way through the answers, leaves the
// flags, the tallies and the record as they were.
TEST_P(KilledGrading, LeavesEverythingOrNothing) {
    answerFirstChapter();
    const auto now = QDateTime::currentDateTime();
    practice::gradeChapter(bank, secondChapter, ViewMode::WholeBank, controls, now);
    const auto tallies = store::tallies(bank);
    bank.close();

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        killTrigger = GetParam();
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(armKill));
        store::Bank own(fixture.bankPath());
        practice::gradeChapter(own, firstChapter, ViewMode::WholeBank, controls, now);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the grading was not killed";

    EXPECT_EQ(sittings().size(), 1u);
    EXPECT_EQ(store::questionById(bank, 2)->ct, "");
    EXPECT_EQ(store::questionById(bank, 8)->ct1, "1");
    EXPECT_EQ(store::tallies(bank).size(), tallies.size());
    EXPECT_EQ(store::tallies(bank).front().tx, tallies.front().tx);

    // Graded again without the kill, it is all there.
    practice::gradeChapter(bank, firstChapter, ViewMode::WholeBank, controls, now);
    EXPECT_EQ(sittings().size(), 2u);
    EXPECT_EQ(store::questionById(bank, 2)->ct, "1");
}

INSTANTIATE_TEST_SUITE_P(Points, KilledGrading,
                         testing::Values("CREATE TEMP TRIGGER die AFTER INSERT ON main.fenshu "
                                         "BEGIN SELECT mq_test_kill(); END",
                                         "CREATE TEMP TRIGGER die AFTER INSERT ON main.mq_answer "
                                         "WHEN NEW.position = 3 BEGIN SELECT mq_test_kill(); END"));

} // namespace
