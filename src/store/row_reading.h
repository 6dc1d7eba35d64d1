#pragma once

// Helpers for the statement files: turn the current row of a query into values.

#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/store_error.h"

#include <QSqlQuery>
#include <QStringList>
#include <optional>
#include <vector>

namespace store::detail {

// The condition that keeps a statement to one collection's questions (`q` is
// the question table), fixed text with a leading blank; empty for none.
inline QString flagCondition(std::optional<CollectionFlag> flag) {
    if (flag == CollectionFlag::Favourite)
        return QStringLiteral(" AND q.scbt = '1'");
    if (flag == CollectionFlag::Wrong)
        return QStringLiteral(" AND q.ct = '1'");
    return {};
}

inline QString textAt(const QSqlQuery& query, int column) {
    return query.value(column).toString();
}

// Ids are read exactly as SQLite holds them, 64 bits wide. A value stored as
// text, as a real number or as NULL is no id, whatever a lenient conversion
// would make of it.
inline qint64 integerAt(const QSqlQuery& query, int column) {
    const QVariant value = query.value(column);
    if (value.typeId() != QMetaType::LongLong)
        throw StoreError(QStringLiteral("题库中的编号“%1”不是整数。").arg(value.toString()));
    return value.toLongLong();
}

// A list of ids as one bound value, a JSON array, which a statement reads
// with json_each(?).
inline QString idArray(const std::vector<qint64>& ids) {
    QStringList texts;
    texts.reserve(qsizetype(ids.size()));
    for (qint64 id : ids)
        texts << QString::number(id);
    return QLatin1Char('[') + texts.join(QLatin1Char(',')) + QLatin1Char(']');
}

template <class Row, class Read> std::vector<Row> allRows(StatementResult result, Read read) {
    std::vector<Row> rows;
    while (result.next())
        rows.push_back(read(result.row()));
    return rows;
}

template <class Row, class Read> std::optional<Row> firstRow(StatementResult result, Read read) {
    if (!result.next())
        return std::nullopt;
    return read(result.row());
}

} // namespace store::detail
