#include "record/sitting.h"

#include "store/record_statements.h"
#include "store/record_tables.h"

#include <QMutex>
#include <QSet>

namespace record {

namespace {

int ratePercent(int right, int total) {
    return total == 0 ? 0 : (200 * right + total) / (2 * total);
}

store::SittingRow sittingRow(const Sitting& sitting) {
    store::SittingRow row;
    row.kind = kindCode(sitting.kind);
    row.finishedAt = sitting.finishedAt.toString(Qt::ISODate);
    row.day = sitting.finishedAt.date().toString(Qt::ISODate);
    row.durationMs = std::max<qint64>(0, sitting.durationMs);
    row.chapterId = sitting.chapterId;
    row.title = sitting.title;
    row.questionCount = int(sitting.questions.size());
    for (const AnsweredQuestion& question : sitting.questions) {
        row.answeredCount += question.given.isEmpty() ? 0 : 1;
        row.rightCount += question.correct ? 1 : 0;
    }
    if (row.questionCount > 0)
        row.scorePercent = ratePercent(row.rightCount, row.questionCount);
    return row;
}

// Whether the user has not yet been told, in this run, that this bank keeps no record.
bool firstTimeFor(const QString& bankPath) {
    static QMutex mutex;
    static QSet<QString> told;
    const QMutexLocker lock(&mutex);
    if (told.contains(bankPath))
        return false;
    told.insert(bankPath);
    return true;
}

} // namespace

QString kindCode(SittingKind kind) {
    switch (kind) {
    case SittingKind::Chapter:
        break;
    case SittingKind::Exam:
        return QStringLiteral("exam");
    case SittingKind::Drill:
        return QStringLiteral("drill");
    case SittingKind::Random:
        return QStringLiteral("random");
    case SittingKind::Search:
        return QStringLiteral("search");
    }
    return QStringLiteral("chapter");
}

void recordSitting(store::Bank& bank, const Sitting& sitting) {
    bank.inTransaction([&] {
        store::ensureOwnTables(bank, store::recordTables());
        const qint64 id = store::insertSitting(bank, sittingRow(sitting));
        std::vector<store::AnswerRow> answers;
        answers.reserve(sitting.questions.size());
        int position = 0;
        for (const AnsweredQuestion& q : sitting.questions)
            answers.push_back({++position, q.questionId, q.chapterId, q.typeCode, q.given,
                               q.rightAnswer, q.correct, q.tid});
        store::insertAnswers(bank, id, answers);
    });
}

QString recordSittingOrExplain(store::Bank& bank, const Sitting& sitting) {
    QString reason;
    bank.inTransaction([&] {
        store::beginRecordSavepoint(bank);
        try {
            recordSitting(bank, sitting);
            store::releaseRecordSavepoint(bank);
        } catch (const store::OwnTablesUnusable& error) {
            store::rollBackRecordSavepoint(bank);
            reason = error.message();
        } catch (const store::StoreError& error) {
            store::rollBackRecordSavepoint(bank);
            reason = QStringLiteral("学习记录未能写入：%1").arg(error.message());
        }
    });
    if (reason.isEmpty() || !firstTimeFor(bank.filePath()))
        return {};
    return QStringLiteral("本次成绩照常保存，但没有记入学习记录。\n%1").arg(reason);
}

} // namespace record
