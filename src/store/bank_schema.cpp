#include "store/bank_schema.h"

#include "store/store_error.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace store {

namespace {

QStringList columnsOf(const QSqlDatabase& db, const QString& table, QString* error) {
    QSqlQuery query(db);
    QStringList columns;
    if (!query.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"))) {
        *error = query.lastError().text();
        return columns;
    }
    query.addBindValue(table);
    if (!query.exec()) {
        *error = query.lastError().text();
        return columns;
    }
    while (query.next())
        columns << query.value(0).toString();
    return columns;
}

// Runs the schema on a private in-memory database and reads back what it made,
// so that the schema file stays the only description of the bank.
std::vector<TableColumns> tablesCreatedBySchema() {
    const QString name = QStringLiteral("schema-reference");
    std::vector<TableColumns> tables;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        for (const QString& statement : schemaStatements(schemaSql()))
            QSqlQuery(db).exec(statement);
        QSqlQuery tableNames(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                            "ORDER BY rowid"),
                             db);
        while (tableNames.next()) {
            const QString table = tableNames.value(0).toString();
            QString error;
            tables.push_back({table, columnsOf(db, table, &error)});
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return tables;
}

} // namespace

QString schemaSql() {
    QFile file(QStringLiteral(":/store/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(QStringLiteral("程序缺少题库结构定义（schema.sql）。"));
    return QString::fromUtf8(file.readAll());
}

QStringList schemaStatements(const QString& sql) {
    QStringList code;
    for (const QString& line : sql.split('\n')) {
        if (!line.trimmed().startsWith(QStringLiteral("--")))
            code << line;
    }
    QStringList statements;
    for (const QString& statement : code.join('\n').split(';')) {
        if (!statement.trimmed().isEmpty())
            statements << statement;
    }
    return statements;
}

const std::vector<TableColumns>& expectedTables() {
    static const std::vector<TableColumns> tables = tablesCreatedBySchema();
    return tables;
}

void checkSchema(const QSqlDatabase& db, const QString& filePath) {
    const QString prefix = QStringLiteral("题库文件“%1”无效：").arg(filePath);
    for (const TableColumns& expected : expectedTables()) {
        QString error;
        const QStringList present = columnsOf(db, expected.table, &error);
        if (!error.isEmpty())
            throw StoreError(prefix + QStringLiteral("无法作为题库读取（%1）。").arg(error));
        if (present.isEmpty())
            throw StoreError(prefix + QStringLiteral("缺少数据表 %1。").arg(expected.table));
        for (const QString& column : expected.columns) {
            if (!present.contains(column, Qt::CaseInsensitive))
                throw StoreError(
                    prefix + QStringLiteral("数据表 %1 缺少列 %2。").arg(expected.table, column));
        }
    }
}

} // namespace store
