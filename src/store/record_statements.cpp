#include "store/record_statements.h"

#include "store/row_reading.h"
#include "store/rows.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace store {

namespace {

using detail::allRows;
using detail::integerAt;
using detail::textAt;

QVariant optionalId(const std::optional<qint64>& id) {
    return id ? QVariant(*id) : QVariant(QMetaType(QMetaType::LongLong));
}

std::optional<qint64> optionalIdAt(const QSqlQuery& q, int column) {
    if (q.value(column).isNull())
        return std::nullopt;
    return integerAt(q, column);
}

// The answers of a sitting go in as one JSON array bound to one statement:
// binding thousands of separate values costs the driver more than the writes.
QString answerArray(const std::vector<AnswerRow>& answers) {
    QJsonArray rows;
    for (const AnswerRow& a : answers)
        rows.append(
            QJsonArray{a.position, QString::number(a.questionId),
                       a.chapterId ? QJsonValue(QString::number(*a.chapterId)) : QJsonValue(),
                       storedText(a.typeCode), storedText(a.given), storedText(a.rightAnswer),
                       a.correct ? 1 : 0, a.tid.isEmpty() ? QJsonValue() : QJsonValue(a.tid)});
    return QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
}

SittingRow readSitting(const QSqlQuery& q) {
    SittingRow row;
    row.id = integerAt(q, 0);
    row.kind = textAt(q, 1);
    row.finishedAt = textAt(q, 2);
    row.day = textAt(q, 3);
    row.durationMs = q.value(4).toLongLong();
    row.chapterId = optionalIdAt(q, 5);
    row.title = textAt(q, 6);
    row.questionCount = q.value(7).toInt();
    row.answeredCount = q.value(8).toInt();
    row.rightCount = q.value(9).toInt();
    if (!q.value(10).isNull())
        row.scorePercent = q.value(10).toInt();
    row.detail = textAt(q, 11);
    return row;
}

AnswerRow readAnswer(const QSqlQuery& q) {
    AnswerRow row;
    row.position = q.value(0).toInt();
    row.questionId = integerAt(q, 1);
    row.chapterId = optionalIdAt(q, 2);
    row.typeCode = textAt(q, 3);
    row.given = textAt(q, 4);
    row.rightAnswer = textAt(q, 5);
    row.correct = q.value(6).toInt() != 0;
    row.tid = textAt(q, 7);
    return row;
}

} // namespace

qint64 insertSitting(Bank& bank, const SittingRow& s) {
    StatementResult result = bank.execute(
        QStringLiteral("INSERT INTO mq_sitting (kind, finished_at, day, duration_ms, chapter_id, "
                       "title, question_count, answered_count, right_count, score_percent, detail) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"),
        {storedText(s.kind), storedText(s.finishedAt), storedText(s.day), s.durationMs,
         optionalId(s.chapterId), storedText(s.title), s.questionCount, s.answeredCount,
         s.rightCount,
         s.scorePercent ? QVariant(*s.scorePercent) : QVariant(QMetaType(QMetaType::Int)),
         storedText(s.detail)});
    if (!result.next())
        throw StoreError(QStringLiteral("学习记录未能写入：题库没有给出记录的编号。"));
    return integerAt(result.row(), 0);
}

void insertAnswers(Bank& bank, qint64 sittingId, const std::vector<AnswerRow>& answers) {
    if (answers.empty())
        return;
    bank.execute(QStringLiteral("INSERT INTO mq_answer (sitting_id, position, question_id, "
                                "chapter_id, type_code, given, right_answer, correct, tid) "
                                "SELECT ?, json_extract(value, '$[0]'), "
                                "CAST(json_extract(value, '$[1]') AS INTEGER), "
                                "CAST(json_extract(value, '$[2]') AS INTEGER), "
                                "json_extract(value, '$[3]'), json_extract(value, '$[4]'), "
                                "json_extract(value, '$[5]'), json_extract(value, '$[6]'), "
                                "json_extract(value, '$[7]') FROM json_each(?) ORDER BY key"),
                 {sittingId, answerArray(answers)});
}

std::vector<SittingRow> allSittings(Bank& bank) {
    return allRows<SittingRow>(
        bank.execute(QStringLiteral(
            "SELECT id, kind, finished_at, day, duration_ms, chapter_id, title, question_count, "
            "answered_count, right_count, score_percent, detail FROM mq_sitting ORDER BY id")),
        readSitting);
}

std::vector<AnswerRow> answersOfSitting(Bank& bank, qint64 sittingId) {
    return allRows<AnswerRow>(
        bank.execute(QStringLiteral("SELECT position, question_id, chapter_id, type_code, given, "
                                    "right_answer, correct, tid FROM mq_answer "
                                    "WHERE sitting_id = ? ORDER BY position"),
                     {sittingId}),
        readAnswer);
}

std::vector<WrongTally> wrongSinceRight(Bank& bank, int limit) {
    // Read in the order of the partial index mq_question_record_weak.
    return allRows<WrongTally>(
        bank.execute(QStringLiteral("SELECT question_id, wrong_count, last_wrong "
                                    "FROM mq_question_record WHERE last_wrong > last_right "
                                    "ORDER BY wrong_count DESC, last_wrong DESC LIMIT ?"),
                     {limit}),
        [](const QSqlQuery& q) {
            return WrongTally{integerAt(q, 0), q.value(1).toInt(), integerAt(q, 2)};
        });
}

void beginRecordSavepoint(Bank& bank) {
    bank.execute(QStringLiteral("SAVEPOINT mq_record"));
}

void releaseRecordSavepoint(Bank& bank) {
    bank.execute(QStringLiteral("RELEASE mq_record"));
}

void rollBackRecordSavepoint(Bank& bank) {
    bank.execute(QStringLiteral("ROLLBACK TO mq_record"));
    bank.execute(QStringLiteral("RELEASE mq_record"));
}

} // namespace store
