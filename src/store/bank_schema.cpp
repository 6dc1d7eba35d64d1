#include "store/bank_schema.h"

#include "store/bank_failure.h"
#include "store/store_error.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace store {

namespace {

std::vector<Column> columnsOf(const QSqlDatabase& db, const QString& table, QSqlError* error) {
    QSqlQuery query(db);
    std::vector<Column> columns;
    if (!query.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"))) {
        *error = query.lastError();
        return columns;
    }
    query.addBindValue(table);
    if (!query.exec()) {
        *error = query.lastError();
        return columns;
    }
    while (query.next())
        columns.push_back({query.value(0).toString(), query.value(1).toString()});
    *error = query.lastError();
    return columns;
}

// How SQLite treats values stored in a column declared with `type`.
enum class Affinity { Integer, Text, Blob, Real, Numeric };

Affinity affinityOf(const QString& type) {
    const QString upper = type.toUpper();
    if (upper.contains(QStringLiteral("INT")))
        return Affinity::Integer;
    for (const char* text : {"CHAR", "CLOB", "TEXT"})
        if (upper.contains(QLatin1String(text)))
            return Affinity::Text;
    if (upper.isEmpty() || upper.contains(QStringLiteral("BLOB")))
        return Affinity::Blob;
    for (const char* real : {"REAL", "FLOA", "DOUB"})
        if (upper.contains(QLatin1String(real)))
            return Affinity::Real;
    return Affinity::Numeric;
}

// Ids are found by bound integers, which match only values SQLite stored as
// integers: integer and numeric columns store every integer text that way.
// Texts must stay texts as written ('21.30', '007'), which only text columns do.
bool compatible(const QString& presentType, const QString& expectedType) {
    const Affinity present = affinityOf(presentType);
    if (affinityOf(expectedType) == Affinity::Integer)
        return present == Affinity::Integer || present == Affinity::Numeric;
    return present == affinityOf(expectedType);
}

const Column* findColumn(const std::vector<Column>& columns, const QString& name) {
    for (const Column& column : columns)
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return &column;
    return nullptr;
}

} // namespace

std::vector<TableColumns> tablesCreatedBy(const QStringList& statements) {
    static std::atomic<int> made = 0;
    const QString name = QStringLiteral("schema-reference-%1").arg(made++);
    std::vector<TableColumns> tables;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        for (const QString& statement : statements)
            QSqlQuery(db).exec(statement);
        QSqlQuery tableNames(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                            "ORDER BY rowid"),
                             db);
        while (tableNames.next()) {
            const QString table = tableNames.value(0).toString();
            QSqlError error;
            tables.push_back({table, columnsOf(db, table, &error)});
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return tables;
}

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
    static const std::vector<TableColumns> tables = tablesCreatedBy(schemaStatements(schemaSql()));
    return tables;
}

void checkSchema(const QSqlDatabase& db, const QString& filePath) {
    const QString prefix = QStringLiteral("题库文件“%1”无效：").arg(filePath);
    for (const TableColumns& expected : expectedTables()) {
        QSqlError error;
        const std::vector<Column> present = columnsOf(db, expected.table, &error);
        if (isBankInUse(error))
            throw bankFailure(filePath, QStringLiteral("无法读取题库结构"), error);
        if (error.isValid())
            throw StoreError(prefix + QStringLiteral("无法作为题库读取（%1）。").arg(error.text()));
        if (present.empty())
            throw StoreError(prefix + QStringLiteral("缺少数据表 %1。").arg(expected.table));
        for (const Column& column : expected.columns) {
            const Column* found = findColumn(present, column.name);
            if (!found)
                throw StoreError(
                    prefix +
                    QStringLiteral("数据表 %1 缺少列 %2。").arg(expected.table, column.name));
            if (!compatible(found->declaredType, column.declaredType)) {
                const QString declared = found->declaredType.isEmpty()
                                             ? QStringLiteral("没有声明类型")
                                             : QStringLiteral("声明为 %1").arg(found->declaredType);
                throw StoreError(
                    prefix + QStringLiteral("数据表 %1 的列 %2 %3，应为 %4。")
                                 .arg(expected.table, column.name, declared, column.declaredType));
            }
        }
    }
}

} // namespace store
