#include "store/bank_builder.h"

#include "store/bank_schema.h"
#include "store/content_rows.h"
#include "store/store_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <atomic>

namespace store {

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("bank-builder-%1").arg(++counter);
}

} // namespace

BankBuilder::BankBuilder(const QString& filePath, const QString& schema)
    : filePath_(filePath)
    , connectionName_(nextConnectionName()) {
    if (QFileInfo::exists(filePath))
        throw StoreError(QStringLiteral("文件“%1”已存在，不会覆盖。").arg(filePath));
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(filePath);
    try {
        createTables(schema.isEmpty() ? schemaSql() : schema);
    } catch (...) {
        release();
        throw;
    }
}

void BankBuilder::createTables(const QString& sql) {
    if (!db_.open())
        throw StoreError(
            QStringLiteral("无法创建题库文件“%1”：%2").arg(filePath_, db_.lastError().text()));
    for (const QString& statement : schemaStatements(sql)) {
        QSqlQuery query(db_);
        if (!query.exec(statement))
            throw StoreError(QStringLiteral("建表失败：%1").arg(query.lastError().text()));
    }
    db_.transaction();
}

BankBuilder::~BankBuilder() {
    release();
}

void BankBuilder::release() {
    for (QSqlQuery* query :
         {&insertType_, &insertNode_, &insertGroup_, &insertQuestion_, &insertOption_})
        query->finish();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
    if (!finished_)
        QFile::remove(filePath_);
}

void BankBuilder::run(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    if (query.lastQuery() != sql) {
        query = QSqlQuery(db_);
        if (!query.prepare(sql))
            throw StoreError(QStringLiteral("题库语句无法执行：%1").arg(query.lastError().text()));
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        throw StoreError(QStringLiteral("写入题库失败：%1").arg(query.lastError().text()));
}

template <class Row> void BankBuilder::add(QSqlQuery& query, const Row& row) {
    static const QString sql = content_rows::insertStatement(content_rows::tableOf(row));
    run(query, sql, content_rows::valuesOf(row));
}

void BankBuilder::addType(const QuestionType& type) {
    add(insertType_, type);
}

void BankBuilder::addNode(const TreeNode& node) {
    add(insertNode_, node);
}

void BankBuilder::addGroup(const QuestionGroup& group) {
    add(insertGroup_, group);
}

void BankBuilder::addQuestion(const Question& question) {
    add(insertQuestion_, question);
}

void BankBuilder::addOption(const Option& option) {
    add(insertOption_, option);
}

void BankBuilder::setSubject(const Subject& subject) {
    QSqlQuery query;
    run(query, QStringLiteral("INSERT INTO kemu (ID, mz) VALUES (?, ?)"),
        {storedText(subject.ID), storedText(subject.mz)});
}

void BankBuilder::setQuestionCount(const QString& count) {
    QSqlQuery query;
    run(query, QStringLiteral("INSERT INTO geshu (kemugeshu) VALUES (?)"), {storedText(count)});
}

void BankBuilder::addExamParameter(const ExamParameter& parameter) {
    QSqlQuery query;
    run(query, QStringLiteral("INSERT INTO ts (txs, fg) VALUES (?, ?)"),
        {storedText(parameter.txs), storedText(parameter.fg)});
}

void BankBuilder::finish() {
    if (!db_.commit())
        throw StoreError(QStringLiteral("无法提交题库：%1").arg(db_.lastError().text()));
    finished_ = true;
    db_.close();
}

} // namespace store
