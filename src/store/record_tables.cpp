#include "store/record_tables.h"

namespace store {

const OwnTableSet& recordTables() {
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
            QStringLiteral("CREATE INDEX mq_answer_question ON mq_answer (question_id, sitting_id, "
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
            QStringLiteral(
                "CREATE TRIGGER mq_answer_kept AFTER INSERT ON mq_answer WHEN NEW.given <> '' "
                "BEGIN INSERT INTO mq_question_record (question_id, wrong_count, last_wrong, "
                "last_right) VALUES (NEW.question_id, NEW.correct = 0, "
                "CASE WHEN NEW.correct THEN 0 ELSE NEW.sitting_id END, "
                "CASE WHEN NEW.correct THEN NEW.sitting_id ELSE 0 END) "
                "ON CONFLICT (question_id) DO UPDATE SET "
                "wrong_count = wrong_count + excluded.wrong_count, "
                "last_wrong = max(last_wrong, excluded.last_wrong), "
                "last_right = max(last_right, excluded.last_right); END"),
        }}};
    return set;
}

} // namespace store
