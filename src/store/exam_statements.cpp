#include "store/exam_statements.h"

#include "store/row_reading.h"

namespace store {

namespace {

using detail::allRows;
using detail::textAt;

#define PAPER_COLUMNS "SELECT tid, lx, alt, tg, tgid, da, tp, xx, tjda FROM sj "

PaperItem readPaperItem(const QSqlQuery& q) {
    return {textAt(q, 0), textAt(q, 1), textAt(q, 2), textAt(q, 3), textAt(q, 4),
            textAt(q, 5), textAt(q, 6), textAt(q, 7), textAt(q, 8)};
}

} // namespace

std::vector<ExamParameter> examParameters(Bank& bank) {
    return allRows<ExamParameter>(
        bank.execute(QStringLiteral("SELECT txs, fg FROM ts ORDER BY rowid")),
        [](const QSqlQuery& q) {
            return ExamParameter{textAt(q, 0), textAt(q, 1)};
        });
}

void setExamParameter(Bank& bank, int position, const ExamParameter& parameter) {
    const StatementResult result =
        bank.execute(QStringLiteral("UPDATE ts SET txs = ?, fg = ? WHERE rowid = "
                                    "(SELECT rowid FROM ts ORDER BY rowid LIMIT 1 OFFSET ?)"),
                     {storedText(parameter.txs), storedText(parameter.fg), position});
    if (result.numRowsAffected() != 1)
        throw StoreError(QStringLiteral("考试参数表中没有第 %1 行。").arg(position + 1));
}

void clearPaper(Bank& bank) {
    bank.execute(QStringLiteral("DELETE FROM sj"));
}

void insertPaperItem(Bank& bank, const PaperItem& item) {
    bank.execute(QStringLiteral("INSERT INTO sj (tid, lx, alt, tg, tgid, da, tp, xx, tjda) "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {storedText(item.tid), storedText(item.lx), storedText(item.alt),
                  storedText(item.tg), storedText(item.tgid), storedText(item.da),
                  storedText(item.tp), storedText(item.xx), storedText(item.tjda)});
}

std::vector<PaperItem> paperItems(Bank& bank) {
    return allRows<PaperItem>(bank.execute(QStringLiteral(PAPER_COLUMNS "ORDER BY rowid")),
                              readPaperItem);
}

std::optional<PaperItem> paperItemByTid(Bank& bank, const QString& tid) {
    return detail::firstRow<PaperItem>(
        bank.execute(QStringLiteral(PAPER_COLUMNS "WHERE tid = ? ORDER BY rowid"), {tid}),
        readPaperItem);
}

std::vector<PaperItem> paperItemsOfType(Bank& bank, const QString& lx) {
    return allRows<PaperItem>(
        bank.execute(QStringLiteral(PAPER_COLUMNS "WHERE lx = ? ORDER BY rowid"), {lx}),
        readPaperItem);
}

std::vector<PaperItem> answeredPaperItems(Bank& bank) {
    return allRows<PaperItem>(
        bank.execute(QStringLiteral(PAPER_COLUMNS "WHERE tjda <> '' ORDER BY rowid")),
        readPaperItem);
}

void setPaperAnswer(Bank& bank, const QString& tid, const QString& answer) {
    bank.execute(QStringLiteral("UPDATE sj SET tjda = ? WHERE tid = ?"), {storedText(answer), tid});
}

void retagGroupQuestions(Bank& bank, ExamType type) {
    const std::pair<int, int> groupTypes[] = {{3, 5}, {6, 9}, {10, 10}, {11, 11}};
    const auto [first, last] = groupTypes[static_cast<int>(type)];
    // Rows already tagged are left alone: rewriting every question of a large
    // bank on each drawing costs far more than finding the few that changed.
    bank.execute(QStringLiteral("UPDATE question SET lx = ? WHERE lx <> ? AND readtextid IN "
                                "(SELECT id FROM readtext WHERE qtypeid BETWEEN ? AND ?)"),
                 {examTypeCode(type), examTypeCode(type), first, last});
}

} // namespace store
