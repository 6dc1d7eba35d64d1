#include "store/question_pool.h"

#include "store/id_list.h"
#include "store/row_reading.h"

namespace store {

using detail::allRows;
using detail::idArray;
using detail::idsOfList;
using detail::integerAt;
using detail::textAt;

QuestionPool questionPoolOfChapters(Bank& bank, const std::vector<qint64>& treeIds,
                                    std::optional<CollectionFlag> flag) {
    // One row of three lists: for a whole bank, a row per question costs
    // far more than the database's own work. Not sorted (a draw shuffles
    // them), which would cost as much again.
#define CHAPTER_POOL                                                                               \
    "SELECT group_concat(id), group_concat(readtextid), group_concat(qtypeid) FROM ("              \
    "SELECT q.id, q.readtextid, r.qtypeid FROM question q JOIN readtext r ON q.readtextid = r.id " \
    "WHERE r.treeid IN (SELECT value FROM json_each(?)) "
    const QString sql =
        QStringLiteral(CHAPTER_POOL) + detail::flagCondition(flag) + QStringLiteral(")");
#undef CHAPTER_POOL
    StatementResult rows = bank.execute(sql, {idArray(treeIds)});
    QuestionPool pool;
    if (!rows.next())
        return pool;
    pool.ids = idsOfList(textAt(rows.row(), 0));
    pool.groupIds = idsOfList(textAt(rows.row(), 1));
    pool.typeIds = idsOfList(textAt(rows.row(), 2));
    if (pool.groupIds.size() != pool.ids.size() || pool.typeIds.size() != pool.ids.size())
        throw StoreError(
            QStringLiteral("题库“%1”中试题的题组或题型编号不全。").arg(bank.filePath()));
    return pool;
}

std::vector<QuestionPlace> questionPlacesWithIds(Bank& bank, const std::vector<qint64>& ids) {
    return allRows<QuestionPlace>(
        bank.execute(QStringLiteral("SELECT q.id, q.readtextid, r.qtypeid, r.treeid, r.rowid, "
                                    "q.rowid FROM question q JOIN readtext r ON q.readtextid = "
                                    "r.id WHERE q.id IN (SELECT value FROM json_each(?)) "
                                    "ORDER BY q.rowid"),
                     {idArray(ids)}),
        [](const QSqlQuery& q) {
            return QuestionPlace{integerAt(q, 0), integerAt(q, 1), integerAt(q, 2),
                                 integerAt(q, 3), integerAt(q, 4), integerAt(q, 5)};
        });
}

} // namespace store
