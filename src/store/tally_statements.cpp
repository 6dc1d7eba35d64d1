#include "store/tally_statements.h"

#include "store/row_reading.h"

namespace store {

namespace {

using detail::allRows;
using detail::textAt;

Tally readTally(const QSqlQuery& q) {
    return {textAt(q, 0), textAt(q, 1), textAt(q, 2)};
}

} // namespace

void clearTallies(Bank& bank) {
    bank.execute(QStringLiteral("DELETE FROM fenshu"));
}

std::vector<Tally> tallies(Bank& bank) {
    return allRows<Tally>(
        bank.execute(QStringLiteral("SELECT tx, sts, dd FROM fenshu ORDER BY rowid")), readTally);
}

std::vector<Tally> talliesWithHeading(Bank& bank, const QString& heading) {
    return allRows<Tally>(
        bank.execute(QStringLiteral("SELECT tx, sts, dd FROM fenshu WHERE tx = ? ORDER BY rowid"),
                     {heading}),
        readTally);
}

void deleteTalliesWithHeading(Bank& bank, const QString& heading) {
    bank.execute(QStringLiteral("DELETE FROM fenshu WHERE tx = ?"), {heading});
}

void deleteEmptyTallies(Bank& bank) {
    bank.execute(QStringLiteral("DELETE FROM fenshu WHERE sts = '0'"));
}

void insertTally(Bank& bank, const Tally& tally) {
    bank.execute(QStringLiteral("INSERT INTO fenshu (tx, sts, dd) VALUES (?, ?, ?)"),
                 {storedText(tally.tx), storedText(tally.sts), storedText(tally.dd)});
}

} // namespace store
