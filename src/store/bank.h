#pragma once

#include "store/store_error.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <vector>

namespace store {

// The rows of one statement. Stepping throws StoreError, naming the bank file,
// when the database fails part way through (a damaged page, a lock), so a read
// never ends early in silence.
class StatementResult {
public:
    StatementResult(QSqlQuery query, QString filePath);

    // Moves to the next row; false after the last one.
    bool next();
    const QSqlQuery& row() const { return query_; }
    int numRowsAffected() const { return query_.numRowsAffected(); }

private:
    QSqlQuery query_;
    QString filePath_;
};

// One connection to a question bank file, owned by one window. The file must
// exist and carry every table and column of the bank; opening never creates it.
class Bank {
public:
    explicit Bank(QString filePath);
    ~Bank();
    Bank(const Bank&) = delete;
    Bank& operator=(const Bank&) = delete;

    // The bank of a data folder (which ends in '/').
    static QString pathIn(const QString& dataFolder);

    // Closes every connection of this process to the file at `filePath`, so
    // that the file can be replaced; returns those that were open, to be
    // opened again afterwards.
    static std::vector<Bank*> closeEveryConnectionTo(const QString& filePath);

    void open();
    void close();
    void reopen();
    bool isOpen() const;
    const QString& filePath() const { return filePath_; }

    // Runs `work` as one transaction: committed when it returns, rolled back when
    // it throws. Nested calls join the outer transaction.
    template <class Work> decltype(auto) inTransaction(Work&& work);

    // Prepares, binds and runs one statement, opening the connection first when
    // it is closed. Used by the statement files of this folder only.
    StatementResult execute(const QString& sql, const QVariantList& values = {});

private:
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();

    QString filePath_;
    QString connectionName_;
    QSqlDatabase db_;
    int transactionDepth_ = 0;
};

template <class Work> decltype(auto) Bank::inTransaction(Work&& work) {
    beginTransaction();
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            commitTransaction();
        } else {
            decltype(auto) result = work();
            commitTransaction();
            return result;
        }
    } catch (...) {
        rollbackTransaction();
        throw;
    }
}

} // namespace store
