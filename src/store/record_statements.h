#pragma once

#include "store/bank.h"

#include <QString>
#include <optional>
#include <vector>

// The learning record's rows (mq_sitting, mq_answer); the tables are made by
// ensureOwnTables(recordTables()).
namespace store {

struct SittingRow {
    qint64 id = 0; // given by the bank when inserted
    QString kind;
    QString finishedAt; // local time, ISO 8601
    QString day;        // its date, yyyy-MM-dd
    qint64 durationMs = 0;
    std::optional<qint64> chapterId;
    QString title;
    int questionCount = 0;
    int answeredCount = 0;
    int rightCount = 0;
    std::optional<int> scorePercent;
    QString detail;
};

struct AnswerRow {
    int position = 0;
    qint64 questionId = 0;
    std::optional<qint64> chapterId;
    QString typeCode;
    QString given; // empty when left blank
    QString rightAnswer;
    bool correct = false;
    QString tid; // the exam paper's row; empty for practice
};

// Inserts the sitting and returns its id.
qint64 insertSitting(Bank& bank, const SittingRow& sitting);
// Inserts the answers of a sitting, all in one statement.
void insertAnswers(Bank& bank, qint64 sittingId, const std::vector<AnswerRow>& answers);

// Every sitting, oldest first.
std::vector<SittingRow> allSittings(Bank& bank);
// A sitting's answers in the order they were shown.
std::vector<AnswerRow> answersOfSitting(Bank& bank, qint64 sittingId);

// A question answered wrong and not answered right since: how often it was
// answered wrong, and the last sitting it was.
struct WrongTally {
    qint64 questionId = 0;
    int wrongCount = 0;
    qint64 lastWrongSitting = 0;
};
// The first `limit` of those questions, answered wrong most often first, the
// most recent first among equals.
std::vector<WrongTally> wrongSinceRight(Bank& bank, int limit);

// A savepoint around the record's writes inside a larger transaction, so that a
// record that cannot be written is dropped whole while the rest goes on.
void beginRecordSavepoint(Bank& bank);
void releaseRecordSavepoint(Bank& bank);
void rollBackRecordSavepoint(Bank& bank);

} // namespace store
