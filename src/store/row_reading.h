#pragma once

// Helpers for the statement files: turn the current row of a query into values.

#include "store/store_error.h"

#include <QSqlQuery>
#include <optional>
#include <vector>

namespace store::detail {

inline QString textAt(const QSqlQuery& query, int column) {
    return query.value(column).toString();
}

inline int integerAt(const QSqlQuery& query, int column) {
    bool ok = false;
    const int value = query.value(column).toInt(&ok);
    if (!ok)
        throw StoreError(QStringLiteral("题库中的编号“%1”不是整数。").arg(textAt(query, column)));
    return value;
}

template <class Row, class Read> std::vector<Row> allRows(QSqlQuery query, Read read) {
    std::vector<Row> rows;
    while (query.next())
        rows.push_back(read(query));
    return rows;
}

template <class Row, class Read> std::optional<Row> firstRow(QSqlQuery query, Read read) {
    if (!query.next())
        return std::nullopt;
    return read(query);
}

} // namespace store::detail
