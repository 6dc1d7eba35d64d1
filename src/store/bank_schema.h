#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

namespace store {

struct Column {
    QString name;
    QString declaredType; // as written in CREATE TABLE, possibly empty
};

struct TableColumns {
    QString table;
    std::vector<Column> columns;
};

// The SQL text that creates an empty bank.
QString schemaSql();
// Its statements one by one.
QStringList schemaStatements(const QString& sql);

// The tables and columns that `statements` create, read back from a private
// in-memory database, so that SQL text stays the only description of a layout.
std::vector<TableColumns> tablesCreatedBy(const QStringList& statements);

// The tables and columns the program relies on, as the schema creates them.
const std::vector<TableColumns>& expectedTables();

// Throws StoreError naming the first table or column the open database lacks
// or declares with another kind of type, says so when another program holds
// the file, and gives the database's message when the file is no SQLite
// database at all.
void checkSchema(const QSqlDatabase& db, const QString& filePath);

} // namespace store
