#include "store/statistics_statements.h"

#include "store/row_reading.h"

#include <map>

namespace store {

namespace {

using detail::allRows;
using detail::firstRow;
using detail::integerAt;
using detail::textAt;

qint64 countAt(const QSqlQuery& q, int column) {
    return q.value(column).toLongLong();
}

const QString examSittingColumns =
    QStringLiteral("SELECT id, finished_at, duration_ms, title, question_count, answered_count, "
                   "right_count, score_percent FROM mq_sitting ");

ExamSittingRow readExamSitting(const QSqlQuery& q) {
    ExamSittingRow row{integerAt(q, 0), textAt(q, 1),  countAt(q, 2), textAt(q, 3),
                       countAt(q, 4),   countAt(q, 5), countAt(q, 6), std::nullopt};
    if (!q.value(7).isNull())
        row.scorePercent = q.value(7).toInt();
    return row;
}

} // namespace

AnswerTotals recordTotals(Bank& bank) {
    StatementResult result = bank.execute(
        QStringLiteral("SELECT total(answered_count), total(right_count) FROM mq_sitting"));
    if (!result.next())
        return {};
    return {countAt(result.row(), 0), countAt(result.row(), 1)};
}

std::vector<QString> studyDays(Bank& bank) {
    return allRows<QString>(
        bank.execute(QStringLiteral("SELECT DISTINCT day FROM mq_sitting WHERE answered_count > 0 "
                                    "ORDER BY day DESC")),
        [](const QSqlQuery& q) { return textAt(q, 0); });
}

std::vector<DayTotals> dayTotalsSince(Bank& bank, const QString& firstDay) {
    return allRows<DayTotals>(
        bank.execute(QStringLiteral("SELECT day, total(answered_count), total(right_count) "
                                    "FROM mq_sitting WHERE day >= ? GROUP BY day ORDER BY day"),
                     {firstDay}),
        [](const QSqlQuery& q) {
            return DayTotals{textAt(q, 0), {countAt(q, 1), countAt(q, 2)}};
        });
}

std::vector<ExamSittingRow> examSittings(Bank& bank) {
    return allRows<ExamSittingRow>(
        bank.execute(examSittingColumns +
                     QStringLiteral("WHERE kind = 'exam' ORDER BY finished_at, id")),
        readExamSitting);
}

std::optional<ExamSittingRow> examSittingById(Bank& bank, qint64 id) {
    return firstRow<ExamSittingRow>(
        bank.execute(examSittingColumns + QStringLiteral("WHERE kind = 'exam' AND id = ?"), {id}),
        readExamSitting);
}

std::vector<SittingTypeTotals> examTypeTotals(Bank& bank) {
    return allRows<SittingTypeTotals>(
        bank.execute(QStringLiteral(
            "SELECT a.sitting_id, a.type_code, count(*), total(a.correct AND a.given <> '') "
            "FROM mq_sitting s JOIN mq_answer a ON a.sitting_id = s.id "
            "WHERE s.kind = 'exam' GROUP BY a.sitting_id, a.type_code")),
        [](const QSqlQuery& q) {
            return SittingTypeTotals{integerAt(q, 0), textAt(q, 1), countAt(q, 2), countAt(q, 3)};
        });
}

std::vector<TypeCodeTotals> typeCodeTotals(Bank& bank) {
    return allRows<TypeCodeTotals>(
        bank.execute(QStringLiteral("SELECT type_code, sum(answered), sum(right_count) "
                                    "FROM mq_chapter_type_record GROUP BY type_code")),
        [](const QSqlQuery& q) {
            return TypeCodeTotals{textAt(q, 0), {countAt(q, 1), countAt(q, 2)}};
        });
}

std::vector<ChapterRow> treeChapters(Bank& bank) {
    return allRows<ChapterRow>(
        bank.execute(QStringLiteral(
            "SELECT c.id, c.nodename, coalesce(n.questions, 0) "
            "FROM tree t JOIN tree s ON s.parentid = t.id JOIN tree c ON c.parentid = s.id "
            "LEFT JOIN (SELECT r.treeid AS treeid, count(*) AS questions FROM readtext r "
            "           JOIN question q ON q.readtextid = r.id GROUP BY r.treeid) n "
            "  ON n.treeid = c.id "
            "WHERE t.parentid = 0 ORDER BY t.rowid, s.rowid, c.rowid")),
        [](const QSqlQuery& q) {
            return ChapterRow{integerAt(q, 0), textAt(q, 1), countAt(q, 2)};
        });
}

std::vector<ChapterAnswerTotals> chapterAnswerTotals(Bank& bank) {
    std::vector<ChapterAnswerTotals> rows = allRows<ChapterAnswerTotals>(
        bank.execute(QStringLiteral("SELECT chapter_id, sum(questions), sum(answered), "
                                    "sum(right_count) FROM mq_chapter_type_record "
                                    "GROUP BY chapter_id")),
        [](const QSqlQuery& q) {
            return ChapterAnswerTotals{
                integerAt(q, 0), countAt(q, 1), {countAt(q, 2), countAt(q, 3)}, {}};
        });
    // The newest sitting of each chapter, from the sittings alone: a sitting
    // names the chapter its page showed.
    std::map<qint64, QString> lastSitting;
    StatementResult last = bank.execute(QStringLiteral(
        "SELECT chapter_id, max(finished_at) FROM mq_sitting WHERE chapter_id IS NOT NULL "
        "AND answered_count > 0 GROUP BY chapter_id"));
    while (last.next())
        lastSitting[integerAt(last.row(), 0)] = textAt(last.row(), 1);
    for (ChapterAnswerTotals& row : rows)
        if (const auto found = lastSitting.find(row.chapterId); found != lastSitting.end())
            row.lastPractised = found->second;
    return rows;
}

ChapterAnswerTotals answerTotalsOfChapter(Bank& bank, qint64 chapterId) {
    StatementResult result =
        bank.execute(QStringLiteral("SELECT sum(questions), sum(answered), sum(right_count) "
                                    "FROM mq_chapter_type_record WHERE chapter_id = ?"),
                     {chapterId});
    if (!result.next())
        return {chapterId, 0, {}, {}};
    return {chapterId,
            countAt(result.row(), 0),
            {countAt(result.row(), 1), countAt(result.row(), 2)},
            {}};
}

} // namespace store
