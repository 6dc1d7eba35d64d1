#include "store/content_statements.h"

#include "store/content_rows.h"
#include "store/row_reading.h"

namespace store {

using detail::allRows;
using detail::integerAt;

namespace {

// Rows per statement: Qt binds the values of one statement in time growing
// with their square, so a few rows each are fastest (measured by bench/run import).
constexpr size_t rowsPerStatement = 20;

qint64 largestId(Bank& bank, const QString& sql) {
    StatementResult result = bank.execute(sql);
    return result.next() ? integerAt(result.row(), 0) : 0;
}

template <class Row>
void insertRows(Bank& bank, const std::vector<Row>& rows,
                const std::function<void(size_t written)>& afterBatch = {}) {
    using namespace content_rows;
    if (rows.empty())
        return;
    const Table& table = tableOf(rows.front());
    const QString full = insertStatement(table, int(rowsPerStatement));
    for (size_t start = 0; start < rows.size(); start += rowsPerStatement) {
        const size_t count = std::min(rowsPerStatement, rows.size() - start);
        QVariantList values;
        values.reserve(qsizetype(count) * table.columnCount);
        for (size_t i = start; i < start + count; ++i)
            values += valuesOf(rows[i]);
        bank.execute(count == rowsPerStatement ? full : insertStatement(table, int(count)), values);
        if (afterBatch)
            afterBatch(start + count);
    }
}

} // namespace

LargestIds largestIds(Bank& bank) {
    return {largestId(bank, QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM tree")),
            largestId(bank, QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM readtext")),
            largestId(bank, QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM question")),
            largestId(bank, QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM opinion"))};
}

void appendContent(Bank& bank, const BankContent& content,
                   const std::function<void(int questionsWritten)>& afterBatch) {
    insertRows(bank, content.types);
    insertRows(bank, content.nodes);
    insertRows(bank, content.groups);
    insertRows(bank, content.questions, [&](size_t written) {
        if (afterBatch)
            afterBatch(int(written));
    });
    insertRows(bank, content.options);
}

qint64 countQuestions(Bank& bank) {
    StatementResult result = bank.execute(QStringLiteral("SELECT COUNT(*) FROM question"));
    return result.next() ? integerAt(result.row(), 0) : 0;
}

void setQuestionCount(Bank& bank, qint64 count) {
    const StatementResult updated = bank.execute(
        QStringLiteral(
            "UPDATE geshu SET kemugeshu = ? WHERE rowid = (SELECT MIN(rowid) FROM geshu)"),
        {QString::number(count)});
    if (updated.numRowsAffected() == 0)
        bank.execute(QStringLiteral("INSERT INTO geshu (kemugeshu) VALUES (?)"),
                     {QString::number(count)});
}

std::vector<qint64> topNodesNamed(Bank& bank, const QString& name) {
    return allRows<qint64>(
        bank.execute(QStringLiteral("SELECT id FROM tree WHERE code = 1 AND nodename = ? "
                                    "ORDER BY rowid"),
                     {name}),
        [](const QSqlQuery& row) { return integerAt(row, 0); });
}

} // namespace store
