#pragma once

#include "store/store_error.h"

#include <QStringView>
#include <vector>

namespace store::detail {

// The ids of a comma-separated list as group_concat() writes it: a long list
// read as one value costs far less than a row per id.
inline std::vector<qint64> idsOfList(QStringView list) {
    std::vector<qint64> ids;
    qint64 value = 0;
    bool negative = false, inNumber = false;
    for (QChar c : list) {
        if (c == u',') {
            if (inNumber)
                ids.push_back(negative ? -value : value);
            value = 0;
            negative = inNumber = false;
        } else if (c == u'-' && !inNumber) {
            negative = true;
        } else if (c.isDigit()) {
            value = value * 10 + c.digitValue();
            inNumber = true;
        } else {
            throw StoreError(QStringLiteral("题库中的编号列表含有“%1”，不是整数。").arg(c));
        }
    }
    if (inNumber)
        ids.push_back(negative ? -value : value);
    return ids;
}

} // namespace store::detail
