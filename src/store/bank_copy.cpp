#include "store/bank_copy.h"

#include "store/bank_failure.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <sqlite3.h>

namespace store {

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("bank-file-%1").arg(++counter);
}

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// Asked by the database every few thousand steps of a statement; a non-zero
// answer ends the statement.
int stopRequested(void* stop) {
    return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

constexpr int stepsBetweenStopChecks = 10000;

} // namespace

void writeSnapshot(Bank& bank, const QString& targetPath) {
    bank.execute(QStringLiteral("VACUUM INTO ?"), {targetPath});
}

void checkIntegrity(Bank& bank) {
    StatementResult result = bank.execute(QStringLiteral("PRAGMA quick_check"));
    QStringList problems;
    while (result.next()) {
        const QString line = result.row().value(0).toString();
        if (line != QStringLiteral("ok"))
            problems << line;
    }
    if (!problems.isEmpty())
        throw StoreError(QStringLiteral("题库文件“%1”已损坏：%2")
                             .arg(bank.filePath(), problems.mid(0, 3).join(QStringLiteral("；"))));
}

BankFile::BankFile(const QString& filePath, const std::atomic<bool>* stop)
    : filePath_(filePath)
    , connectionName_(nextConnectionName())
    , stop_(stop) {
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    // mode=rw: a missing file is an error, never a new empty bank.
    db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"));
    db_.setDatabaseName(
        QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?mode=rw"));
}

BankFile::~BankFile() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

void BankFile::open() {
    if (db_.isOpen())
        return;
    if (!QFileInfo(filePath_).isFile())
        throw StoreError(QStringLiteral("无法打开题库文件“%1”：文件不存在。").arg(filePath_));
    if (!db_.open())
        throw StoreError(
            QStringLiteral("无法打开题库文件“%1”：%2").arg(filePath_, db_.lastError().text()));
    if (stop_)
        if (sqlite3* handle = handleOf(db_))
            sqlite3_progress_handler(handle, stepsBetweenStopChecks, stopRequested,
                                     const_cast<std::atomic<bool>*>(stop_));
}

BankFile::Lock BankFile::lockExclusively() {
    try {
        open();
    } catch (const StoreError&) {
        return Lock::Unreadable;
    }
    QSqlQuery begin(db_);
    if (begin.exec(QStringLiteral("BEGIN EXCLUSIVE")))
        return Lock::Taken;
    return isBankInUse(begin.lastError()) ? Lock::HeldByAnother : Lock::Unreadable;
}

void BankFile::writeSnapshot(const QString& targetPath) {
    open();
    QSqlQuery query(db_);
    if (!query.prepare(QStringLiteral("VACUUM INTO ?")))
        throw bankFailure(filePath_, QStringLiteral("无法备份题库"), query.lastError());
    query.addBindValue(targetPath);
    if (query.exec())
        return;
    // The database says only that the disk is full; where is the copy's.
    constexpr int sqliteFull = 13;
    if ((query.lastError().nativeErrorCode().toInt() & 0xff) == sqliteFull)
        throw StoreError(QStringLiteral("无法写入“%1”：磁盘空间不足。").arg(targetPath));
    throw bankFailure(filePath_, QStringLiteral("无法备份题库"), query.lastError());
}

} // namespace store
