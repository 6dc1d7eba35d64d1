#include "store/own_tables.h"

#include "store/bank_schema.h"
#include "store/row_reading.h"

#include <QMutex>
#include <map>

namespace store {

namespace {

const QStringList metaTable = {
    QStringLiteral("CREATE TABLE mq_meta (name TEXT PRIMARY KEY NOT NULL, version INTEGER NOT "
                   "NULL)")};

QStringList allStatements(const OwnTableSet& set) {
    QStringList statements;
    for (const QStringList& step : set.steps)
        statements << step;
    return statements;
}

// The tables and columns the newest layout of a set has, read back from a
// private database made by its steps, so the steps stay the only description.
const std::vector<TableColumns>& expectedTablesOf(const OwnTableSet& set) {
    static QMutex mutex;
    static std::map<QString, std::vector<TableColumns>> made;
    const QMutexLocker lock(&mutex);
    auto found = made.find(set.name);
    if (found == made.end())
        found = made.emplace(set.name, tablesCreatedBy(allStatements(set))).first;
    return found->second;
}

bool tableExists(Bank& bank, const QString& table) {
    StatementResult result = bank.execute(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"), {table});
    return result.next();
}

QStringList columnNames(Bank& bank, const QString& table) {
    QStringList names;
    StatementResult rows =
        bank.execute(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    while (rows.next())
        names << detail::textAt(rows.row(), 0);
    return names;
}

// The first table or column of `expected` that the bank lacks, or an empty text.
QString firstMissing(Bank& bank, const std::vector<TableColumns>& expected) {
    for (const TableColumns& table : expected) {
        const QStringList present = columnNames(bank, table.table);
        if (present.isEmpty())
            return QStringLiteral("缺少数据表 %1").arg(table.table);
        for (const Column& column : table.columns)
            if (!present.contains(column.name, Qt::CaseInsensitive))
                return QStringLiteral("数据表 %1 缺少列 %2").arg(table.table, column.name);
    }
    return {};
}

OwnTablesStatus damaged(Bank& bank, const OwnTableSet& set, int storedVersion,
                        const QString& what) {
    return {OwnTablesState::Damaged, storedVersion,
            QStringLiteral("题库文件“%1”中的%2已损坏（%3），%2暂不可用；题库的其他功能不受影响。")
                .arg(bank.filePath(), set.title, what)};
}

} // namespace

OwnTablesStatus ownTablesStatus(Bank& bank, const OwnTableSet& set) {
    if (!tableExists(bank, QStringLiteral("mq_meta")))
        return {};
    static const std::vector<TableColumns> metaColumns = tablesCreatedBy(metaTable);
    if (const QString missing = firstMissing(bank, metaColumns); !missing.isEmpty())
        return damaged(bank, set, 0, missing);
    StatementResult result =
        bank.execute(QStringLiteral("SELECT version FROM mq_meta WHERE name = ?"), {set.name});
    if (!result.next())
        return {};
    bool isNumber = false;
    const int stored = result.row().value(0).toString().toInt(&isNumber);
    if (!isNumber || stored < 1)
        return damaged(bank, set, 0,
                       QStringLiteral("版本“%1”无效").arg(result.row().value(0).toString()));
    if (stored > set.version())
        return {
            OwnTablesState::Newer, stored,
            QStringLiteral("题库文件“%1”中的%2由较新版本的程序写入（版本 %3），本程序不会改动它，"
                           "%2暂不可用；题库的其他功能不受影响。请升级本软件。")
                .arg(bank.filePath(), set.title)
                .arg(stored)};
    if (stored < set.version()) {
        // An older layout must still hold what its own steps made.
        const std::vector<QStringList> olderSteps(set.steps.begin(), set.steps.begin() + stored);
        QStringList statements;
        for (const QStringList& step : olderSteps)
            statements << step;
        if (const QString missing = firstMissing(bank, tablesCreatedBy(statements));
            !missing.isEmpty())
            return damaged(bank, set, stored, missing);
        return {OwnTablesState::Older, stored, {}};
    }
    if (const QString missing = firstMissing(bank, expectedTablesOf(set)); !missing.isEmpty())
        return damaged(bank, set, stored, missing);
    return {OwnTablesState::Current, stored, {}};
}

void ensureOwnTables(Bank& bank, const OwnTableSet& set) {
    const OwnTablesStatus status = ownTablesStatus(bank, set);
    switch (status.state) {
    case OwnTablesState::Current:
        return;
    case OwnTablesState::Newer:
    case OwnTablesState::Damaged:
        throw OwnTablesUnusable(status.message);
    case OwnTablesState::Absent:
    case OwnTablesState::Older:
        break;
    }
    bank.inTransaction([&] {
        if (!tableExists(bank, QStringLiteral("mq_meta")))
            for (const QString& statement : metaTable)
                bank.execute(statement);
        for (int step = status.storedVersion; step < set.version(); ++step)
            for (const QString& statement : set.steps[static_cast<size_t>(step)])
                bank.execute(statement);
        bank.execute(QStringLiteral("INSERT INTO mq_meta (name, version) VALUES (?, ?) "
                                    "ON CONFLICT (name) DO UPDATE SET version = excluded.version"),
                     {set.name, set.version()});
    });
}

} // namespace store
