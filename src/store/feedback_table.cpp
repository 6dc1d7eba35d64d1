#include "store/feedback_table.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <atomic>
#include <sql.h>
#include <sqlext.h>

namespace store {

namespace {

std::atomic<quint64> connectionCount{0};

QString flag(bool set) {
    return set ? QStringLiteral("1") : QStringLiteral("0");
}

// A login timeout does not bound a statement: one that waits for a lock on the
// server would run on after the caller gave up and insert its row later. A
// driver that refuses the limit runs the statement to its end, and the caller
// waits for that end.
void limitStatement(const QSqlQuery& query, int seconds) {
    const QVariant handle = query.result()->handle();
    if (handle.metaType() == QMetaType::fromType<SQLHANDLE>())
        SQLSetStmtAttr(handle.value<SQLHANDLE>(), SQL_ATTR_QUERY_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), 0);
}

} // namespace

FeedbackTable::FeedbackTable(const QString& connectionString, int timeoutSeconds)
    : connectionName_(QStringLiteral("feedback-%1").arg(++connectionCount))
    , timeoutSeconds_(timeoutSeconds) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        throw StoreError(QStringLiteral("没有可用的 ODBC 数据库驱动。"));
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    db_.setDatabaseName(connectionString);
    db_.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1")
                              .arg(timeoutSeconds));
}

FeedbackTable::~FeedbackTable() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

void FeedbackTable::open() {
    if (!db_.open())
        throw StoreError(QStringLiteral("无法连接反馈服务器：%1").arg(db_.lastError().text()));
}

void FeedbackTable::insert(const FeedbackRow& row) {
    QSqlQuery query(db_);
    if (!query.prepare(QStringLiteral(
            "INSERT INTO yiyao (kemu, tihao, tigan, tupian, kaoshidg, xueke, chenjiu, cuobiezi, "
            "silutigan, silutp, siluddaan, silucbz, shiticf, shuoming) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        throw StoreError(QStringLiteral("反馈语句无法执行：%1").arg(query.lastError().text()));
    limitStatement(query, timeoutSeconds_);
    query.addBindValue(row.subject);
    query.addBindValue(row.questionId);
    query.addBindValue(row.questionText);
    for (const bool fault : row.faults)
        query.addBindValue(flag(fault));
    query.addBindValue(row.note);
    if (!query.exec())
        throw StoreError(QStringLiteral("反馈语句执行失败：%1").arg(query.lastError().text()));
}

} // namespace store
