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
            // The answers given and found wrong, for the drill of weak points:
            // a small share of the log, read in question order.
            QStringLiteral("CREATE INDEX mq_answer_wrong ON mq_answer (question_id, sitting_id) "
                           "WHERE correct = 0 AND given <> ''"),
        }}};
    return set;
}

} // namespace store
