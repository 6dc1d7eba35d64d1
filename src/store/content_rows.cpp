#include "store/content_rows.h"

#include <QStringList>

namespace store::content_rows {

const Table& tableOf(const QuestionType&) {
    static const Table table{QStringLiteral("qtype"), QStringLiteral("id, code, title"), 3};
    return table;
}

const Table& tableOf(const TreeNode&) {
    static const Table table{QStringLiteral("tree"),
                             QStringLiteral("id, nodename, parentid, code, scbt, ct"), 6};
    return table;
}

const Table& tableOf(const QuestionGroup&) {
    static const Table table{QStringLiteral("readtext"),
                             QStringLiteral("id, treeid, qtypeid, content, opnum"), 5};
    return table;
}

const Table& tableOf(const Question&) {
    static const Table table{QStringLiteral("question"),
                             QStringLiteral("id, readtextid, content, answer, explain, picurl, "
                                            "itemnum, scbt, ct, ct1, lx"),
                             11};
    return table;
}

const Table& tableOf(const Option&) {
    static const Table table{QStringLiteral("opinion"),
                             QStringLiteral("id, questionid, code, content"), 4};
    return table;
}

QVariantList valuesOf(const QuestionType& type) {
    return {type.id, storedText(type.code), storedText(type.title)};
}

QVariantList valuesOf(const TreeNode& node) {
    return {node.id,   storedText(node.nodename), node.parentid,
            node.code, storedText(node.scbt),     storedText(node.ct)};
}

QVariantList valuesOf(const QuestionGroup& group) {
    return {group.id, group.treeid, group.qtypeid, storedText(group.content),
            storedText(group.opnum)};
}

QVariantList valuesOf(const Question& q) {
    return {q.id,
            q.readtextid,
            storedText(q.content),
            storedText(q.answer),
            storedText(q.explain),
            storedText(q.picurl),
            storedText(q.itemnum),
            storedText(q.scbt),
            storedText(q.ct),
            storedText(q.ct1),
            storedText(q.lx)};
}

QVariantList valuesOf(const Option& option) {
    return {option.id, option.questionid, storedText(option.code), storedText(option.content)};
}

QString insertStatement(const Table& table, int rows) {
    QStringList marks(table.columnCount, QStringLiteral("?"));
    const QString row = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList allRows(rows, row);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table.name, table.columns, allRows.join(QStringLiteral(", ")));
}

} // namespace store::content_rows
