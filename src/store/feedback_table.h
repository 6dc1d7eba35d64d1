#pragma once

#include "store/store_error.h"

#include <QSqlDatabase>
#include <QString>
#include <array>

namespace store {

// One report of a faulty question as the remote table `yiyao` keeps it.
struct FeedbackRow {
    QString subject;      // kemu
    QString questionId;   // tihao
    QString questionText; // tigan
    // tupian, kaoshidg, xueke, chenjiu, cuobiezi, silutigan, silutp, siluddaan,
    // silucbz, shiticf: each sent as "1" or "0".
    std::array<bool, 10> faults{};
    QString note; // shuoming
};

// A connection to the maintainers' feedback database through an ODBC driver.
// It belongs to the thread that creates it and is used there only.
class FeedbackTable {
public:
    // `connectionString` is a complete ODBC connection string; logging in and
    // each statement may take `timeoutSeconds`. The driver ends a statement at
    // that limit, on the server as well, so a failed insert leaves no row
    // behind that could still arrive.
    FeedbackTable(const QString& connectionString, int timeoutSeconds);
    ~FeedbackTable();
    FeedbackTable(const FeedbackTable&) = delete;
    FeedbackTable& operator=(const FeedbackTable&) = delete;

    void open();
    void insert(const FeedbackRow& row);

private:
    QString connectionName_;
    int timeoutSeconds_;
    QSqlDatabase db_;
};

} // namespace store
