#include "store/subject_statements.h"

#include "store/row_reading.h"

namespace store {

using detail::firstRow;
using detail::textAt;

std::optional<Subject> subject(Bank& bank) {
    return firstRow<Subject>(
        bank.execute(QStringLiteral("SELECT ID, mz FROM kemu ORDER BY rowid LIMIT 1")),
        [](const QSqlQuery& q) {
            return Subject{textAt(q, 0), textAt(q, 1)};
        });
}

std::optional<QString> questionCount(Bank& bank) {
    return firstRow<QString>(
        bank.execute(QStringLiteral("SELECT kemugeshu FROM geshu ORDER BY rowid LIMIT 1")),
        [](const QSqlQuery& q) { return textAt(q, 0); });
}

} // namespace store
