#include "store/record_tables.h"

namespace store {

const OwnTableSet& recordTables() {
    // The end of the trigger that keeps mq_question_record, in every layout.
    static const QString keepQuestionRecord =
        QStringLiteral("INSERT INTO mq_question_record (question_id, wrong_count, last_wrong, "
                       "last_right) VALUES (NEW.question_id, NEW.correct = 0, "
                       "CASE WHEN NEW.correct THEN 0 ELSE NEW.sitting_id END, "
                       "CASE WHEN NEW.correct THEN NEW.sitting_id ELSE 0 END) "
                       "ON CONFLICT (question_id) DO UPDATE SET "
                       "wrong_count = wrong_count + excluded.wrong_count, "
                       "last_wrong = max(last_wrong, excluded.last_wrong), "
                       "last_right = max(last_right, excluded.last_right); END");
    // kind: 'chapter', 'exam', 'drill' …; times are local, ISO 8601; a
    // chapter is the tree node whose questions the page showed.
    static const OwnTableSet set{
        QStringLiteral("record"),
        QStringLiteral("学习记录"),
        {{
             QStringLiteral("CREATE TABLE mq_sitting ("
                            " id INTEGER PRIMARY KEY,"
                            " kind TEXT NOT NULL,"
                            " finished_at TEXT NOT NULL,"
                            " day TEXT NOT NULL,"
                            " duration_ms INTEGER NOT NULL,"
                            " chapter_id INTEGER,"
                            " title TEXT NOT NULL,"
                            " question_count INTEGER NOT NULL,"
                            " answered_count INTEGER NOT NULL,"
                            " right_count INTEGER NOT NULL,"
                            " score_percent INTEGER,"
                            " detail TEXT NOT NULL DEFAULT '')"),
             QStringLiteral("CREATE INDEX mq_sitting_day ON mq_sitting (day)"),
             QStringLiteral("CREATE INDEX mq_sitting_kind ON mq_sitting (kind, finished_at)"),
             // One row per question of a sitting, in the order the page or paper showed
             // them; given is empty when left blank; tid is the exam paper row's.
             QStringLiteral("CREATE TABLE mq_answer ("
                            " sitting_id INTEGER NOT NULL REFERENCES mq_sitting (id),"
                            " position INTEGER NOT NULL,"
                            " question_id INTEGER NOT NULL,"
                            " chapter_id INTEGER,"
                            " type_code TEXT NOT NULL,"
                            " given TEXT NOT NULL,"
                            " right_answer TEXT NOT NULL,"
                            " correct INTEGER NOT NULL,"
                            " tid TEXT,"
                            " PRIMARY KEY (sitting_id, position))"),
             QStringLiteral(
                 "CREATE INDEX mq_answer_question ON mq_answer (question_id, sitting_id, "
                 "correct)"),
             QStringLiteral("CREATE INDEX mq_answer_chapter ON mq_answer (chapter_id)"),
             // Each question's answers as far as the drill of weak points needs them:
             // how often it was answered wrong, and the last sitting it was answered
             // wrong and right in (0 for never). Kept by the database itself from the
             // log as answers are inserted (blanks are no answers), so it cannot
             // disagree with it, and the drill reads a few rows instead of the log.
             QStringLiteral("CREATE TABLE mq_question_record ("
                            " question_id INTEGER PRIMARY KEY,"
                            " wrong_count INTEGER NOT NULL,"
                            " last_wrong INTEGER NOT NULL,"
                            " last_right INTEGER NOT NULL)"),
             QStringLiteral("CREATE INDEX mq_question_record_weak ON mq_question_record "
                            "(wrong_count DESC, last_wrong DESC) WHERE last_wrong > last_right"),
             QStringLiteral("CREATE TRIGGER mq_answer_kept AFTER INSERT ON mq_answer WHEN "
                            "NEW.given <> '' BEGIN ") +
                 keepQuestionRecord,
         },
         // The statistics' sums per chapter and type code, kept like mq_question_record
         // so the window reads a row per chapter and type instead of the log: answers given,
         // right among them, and the questions whose first given answer fell in the
         // row (summed over a chapter's rows: its different questions answered).
         // chapter_id 0 stands for answers without a chapter. A record of the first
         // layout is filled from the answers it already holds.
         {
             QStringLiteral("CREATE TABLE mq_chapter_type_record ("
                            " chapter_id INTEGER NOT NULL,"
                            " type_code TEXT NOT NULL,"
                            " questions INTEGER NOT NULL,"
                            " answered INTEGER NOT NULL,"
                            " right_count INTEGER NOT NULL,"
                            " PRIMARY KEY (chapter_id, type_code)) WITHOUT ROWID"),
             QStringLiteral("DROP TRIGGER mq_answer_kept"),
             // Read by nothing once the sums are kept; one write less per answer.
             QStringLiteral("DROP INDEX mq_answer_chapter"),
             // The chapter's row is written first: a question without its own row
             // yet is answered for the first time.
             QStringLiteral(
                 "CREATE TRIGGER mq_answer_kept AFTER INSERT ON mq_answer WHEN NEW.given <> '' "
                 "BEGIN INSERT INTO mq_chapter_type_record (chapter_id, type_code, questions, "
                 "answered, right_count) VALUES (coalesce(NEW.chapter_id, 0), NEW.type_code, "
                 "NOT EXISTS (SELECT 1 FROM mq_question_record "
                 "WHERE question_id = NEW.question_id), 1, NEW.correct <> 0) "
                 "ON CONFLICT (chapter_id, type_code) DO UPDATE SET "
                 "questions = questions + excluded.questions, answered = answered + 1, "
                 "right_count = right_count + excluded.right_count; ") +
                 keepQuestionRecord,
             // One pass in rowid order per question marks each question's first given answer.
             QStringLiteral(
                 "INSERT INTO mq_chapter_type_record (chapter_id, type_code, questions, answered, "
                 "right_count) SELECT chapter, type_code, sum(first), count(*), sum(correct <> 0) "
                 "FROM (SELECT coalesce(chapter_id, 0) AS chapter, type_code, correct, "
                 "row_number() OVER (PARTITION BY question_id ORDER BY rowid) = 1 AS first "
                 "FROM mq_answer WHERE given <> '') GROUP BY chapter, type_code"),
         }}};
    return set;
}

} // namespace store
