#include "store/tree_statements.h"

#include "store/row_reading.h"

namespace store {

namespace {

using detail::integerAt;
using detail::textAt;

#define TREE_COLUMNS "SELECT id, nodename, parentid, code, scbt, ct FROM tree "

TreeNode readNode(const QSqlQuery& q) {
    return {integerAt(q, 0), textAt(q, 1), integerAt(q, 2),
            integerAt(q, 3), textAt(q, 4), textAt(q, 5)};
}

} // namespace

std::vector<TreeNode> topLevelNodes(Bank& bank) {
    return detail::allRows<TreeNode>(
        bank.execute(QStringLiteral(TREE_COLUMNS "WHERE code = 1 ORDER BY rowid")), readNode);
}

std::vector<TreeNode> childNodes(Bank& bank, qint64 parentId) {
    return detail::allRows<TreeNode>(
        bank.execute(QStringLiteral(TREE_COLUMNS "WHERE parentid = ? ORDER BY rowid"), {parentId}),
        readNode);
}

std::vector<TreeNode> flaggedChildNodes(Bank& bank, qint64 parentId, CollectionFlag flag) {
    const QString sql =
        flag == CollectionFlag::Favourite
            ? QStringLiteral(TREE_COLUMNS "WHERE parentid = ? AND scbt = '1' ORDER BY rowid")
            : QStringLiteral(TREE_COLUMNS "WHERE parentid = ? AND ct = '1' ORDER BY rowid");
    return detail::allRows<TreeNode>(bank.execute(sql, {parentId}), readNode);
}

std::optional<TreeNode> nodeById(Bank& bank, qint64 id) {
    return detail::firstRow<TreeNode>(
        bank.execute(QStringLiteral(TREE_COLUMNS "WHERE id = ?"), {id}), readNode);
}

void clearNodeFlags(Bank& bank, CollectionFlag flag) {
    bank.execute(flag == CollectionFlag::Favourite ? QStringLiteral("UPDATE tree SET scbt = ''")
                                                   : QStringLiteral("UPDATE tree SET ct = ''"));
}

void flagNodesHoldingFlaggedQuestions(Bank& bank, CollectionFlag flag) {
    bank.execute(
        flag == CollectionFlag::Favourite
            ? QStringLiteral("UPDATE tree SET scbt = '1' WHERE id IN (SELECT r.treeid FROM "
                             "readtext r JOIN question q ON q.readtextid = r.id "
                             "WHERE q.scbt = '1')")
            : QStringLiteral("UPDATE tree SET ct = '1' WHERE id IN (SELECT r.treeid FROM "
                             "readtext r JOIN question q ON q.readtextid = r.id "
                             "WHERE q.ct = '1')"));
}

} // namespace store
