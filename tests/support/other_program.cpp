#include "other_program.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <gtest/gtest.h>

namespace testing_support {

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("other-program-%1").arg(++counter);
}

} // namespace

OtherProgram::OtherProgram(const QString& filePath)
    : connectionName_(nextConnectionName()) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(filePath);
    EXPECT_TRUE(db_.open()) << db_.lastError().text().toStdString();
}

OtherProgram::~OtherProgram() {
    close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

QVariantList OtherProgram::run(const QString& sql) {
    QSqlQuery query(db_);
    QVariantList values;
    if (!query.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return values;
    }
    while (query.next())
        values << query.value(0);
    return values;
}

void OtherProgram::close() {
    db_.close();
}

} // namespace testing_support
