#include "record_history.h"

#include "store/own_tables.h"
#include "store/record_tables.h"

namespace testing_support {

namespace {

QVariant optionalId(const std::optional<qint64>& id) {
    return id ? QVariant(*id) : QVariant(QMetaType::fromType<qint64>());
}

} // namespace

void createFirstRecordLayout(store::Bank& bank) {
    bank.inTransaction([&] {
        bank.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS mq_meta (name TEXT PRIMARY KEY "
                                    "NOT NULL, version INTEGER NOT NULL)"));
        for (const QString& statement : store::recordTables().steps.front())
            bank.execute(statement);
        bank.execute(QStringLiteral("INSERT INTO mq_meta (name, version) VALUES ('record', 1)"));
    });
}

qint64 insertSitting(store::Bank& bank, const RecordedSittingRow& sitting) {
    return bank.inTransaction([&] {
        if (store::ownTablesStatus(bank, store::recordTables()).state !=
            store::OwnTablesState::Older)
            store::ensureOwnTables(bank, store::recordTables());
        qint64 answered = 0, right = 0;
        for (const RecordedAnswerRow& answer : sitting.answers) {
            answered += answer.given.isEmpty() ? 0 : 1;
            right += answer.correct && !answer.given.isEmpty() ? 1 : 0;
        }
        const QVariant score = sitting.scorePercent ? QVariant(*sitting.scorePercent)
                                                    : QVariant(QMetaType::fromType<int>());
        bank.execute(
            QStringLiteral("INSERT INTO mq_sitting (kind, finished_at, day, duration_ms, "
                           "chapter_id, title, question_count, answered_count, right_count, "
                           "score_percent) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {sitting.kind, sitting.finishedAt.toString(Qt::ISODate),
             sitting.finishedAt.date().toString(Qt::ISODate), sitting.durationMs,
             optionalId(sitting.chapterId), sitting.title, qint64(sitting.answers.size()), answered,
             right, score});
        store::StatementResult id = bank.execute(QStringLiteral("SELECT last_insert_rowid()"));
        id.next();
        const qint64 sittingId = id.row().value(0).toLongLong();
        int position = 0;
        for (const RecordedAnswerRow& answer : sitting.answers)
            bank.execute(QStringLiteral("INSERT INTO mq_answer (sitting_id, position, question_id, "
                                        "chapter_id, type_code, given, right_answer, correct, "
                                        "tid) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                         {sittingId, position++, answer.questionId, optionalId(answer.chapterId),
                          answer.typeCode, answer.given, answer.rightAnswer, answer.correct ? 1 : 0,
                          answer.tid.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                               : QVariant(answer.tid)});
        return sittingId;
    });
}

} // namespace testing_support
