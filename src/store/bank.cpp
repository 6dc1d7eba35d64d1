#include "store/bank.h"

#include "store/bank_failure.h"
#include "store/bank_schema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <mutex>

namespace store {

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("bank-%1").arg(++counter);
}

// The URI form with mode=rw makes SQLite refuse to create a missing file.
QString readWriteUri(const QString& filePath) {
    return QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath())
               .toString(QUrl::FullyEncoded) +
           QStringLiteral("?mode=rw");
}

// How long a statement waits for a file another program holds before it gives
// up: our own connections hold it for milliseconds, and a user should learn
// within a moment that someone else has it.
constexpr int busyTimeoutMs = 1000;

// Every bank object alive in the process, for closing all of them at once.
std::mutex liveBanksMutex;
std::vector<Bank*>& liveBanks() {
    static std::vector<Bank*> banks;
    return banks;
}

QString canonicalPath(const QString& filePath) {
    const QFileInfo file(filePath);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

} // namespace

StatementResult::StatementResult(QSqlQuery query, QString filePath)
    : query_(std::move(query))
    , filePath_(std::move(filePath)) {}

bool StatementResult::next() {
    if (query_.next())
        return true;
    if (query_.lastError().isValid())
        throw bankFailure(filePath_, QStringLiteral("读取题库时出错"), query_.lastError());
    return false;
}

Bank::Bank(QString filePath)
    : filePath_(std::move(filePath))
    , connectionName_(nextConnectionName()) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    db_.setDatabaseName(readWriteUri(filePath_));
    const std::lock_guard lock(liveBanksMutex);
    liveBanks().push_back(this);
}

Bank::~Bank() {
    {
        const std::lock_guard lock(liveBanksMutex);
        std::erase(liveBanks(), this);
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

QString Bank::pathIn(const QString& dataFolder) {
    return dataFolder + QStringLiteral("Data/med.db");
}

std::vector<Bank*> Bank::closeEveryConnectionTo(const QString& filePath) {
    const QString target = canonicalPath(filePath);
    std::vector<Bank*> closed;
    const std::lock_guard lock(liveBanksMutex);
    for (Bank* bank : liveBanks()) {
        if (canonicalPath(bank->filePath_) != target)
            continue;
        if (bank->isOpen())
            closed.push_back(bank);
        bank->close();
    }
    return closed;
}

void Bank::open() {
    if (db_.isOpen())
        return;
    const QFileInfo file(filePath_);
    if (!file.exists())
        throw StoreError(QStringLiteral("无法打开题库文件“%1”：文件不存在。").arg(filePath_));
    if (!file.isFile())
        throw StoreError(QStringLiteral("无法打开题库文件“%1”：这不是一个文件。").arg(filePath_));
    if (!db_.open())
        throw StoreError(
            QStringLiteral("无法打开题库文件“%1”：%2").arg(filePath_, db_.lastError().text()));
    try {
        checkSchema(db_, filePath_);
    } catch (...) {
        db_.close();
        throw;
    }
}

void Bank::close() {
    db_.close();
    transactionDepth_ = 0;
}

void Bank::reopen() {
    close();
    open();
}

bool Bank::isOpen() const {
    return db_.isOpen();
}

StatementResult Bank::execute(const QString& sql, const QVariantList& values) {
    open();
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw bankFailure(filePath_, QStringLiteral("题库语句无法执行"), query.lastError());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw bankFailure(filePath_, QStringLiteral("题库语句执行失败"), query.lastError());
    return StatementResult(std::move(query), filePath_);
}

void Bank::beginTransaction() {
    open();
    if (transactionDepth_++ > 0)
        return;
    if (!db_.transaction()) {
        transactionDepth_ = 0;
        throw bankFailure(filePath_, QStringLiteral("无法开始事务"), db_.lastError());
    }
}

void Bank::commitTransaction() {
    if (--transactionDepth_ > 0)
        return;
    // Committed by a statement of our own, whose error keeps the database's
    // code (a file held by another program must be told apart).
    QSqlQuery commit(db_);
    if (!commit.exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = commit.lastError();
        db_.rollback();
        throw bankFailure(filePath_, QStringLiteral("无法提交事务"), error);
    }
}

void Bank::rollbackTransaction() {
    if (transactionDepth_ == 0)
        return;
    if (--transactionDepth_ > 0)
        return;
    db_.rollback();
}

} // namespace store
