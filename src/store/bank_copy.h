#pragma once

#include "store/bank.h"

#include <QSqlDatabase>
#include <QString>
#include <atomic>

namespace store {

// Writes a consistent copy of the bank, made by the database itself, to
// `targetPath`, which must not exist yet. Throws StoreError.
void writeSnapshot(Bank& bank, const QString& targetPath);

// Reads every page of the bank; throws StoreError when the file is damaged.
void checkIntegrity(Bank& bank);

// A connection of its own to a bank file, for work on the file as a whole
// (copies, swaps, leftovers). The windows' connections never include it, so
// closing them leaves it open, and it may live on a worker thread. It does
// not check the file's tables: a damaged bank can still be copied or replaced.
class BankFile {
public:
    // While a statement runs, `stop` (when given) is watched: once it is set
    // the statement ends with an error.
    explicit BankFile(const QString& filePath, const std::atomic<bool>* stop = nullptr);
    ~BankFile();
    BankFile(const BankFile&) = delete;
    BankFile& operator=(const BankFile&) = delete;

    enum class Lock { Taken, HeldByAnother, Unreadable };
    // Keeps every other connection, of this program or another, from reading
    // or writing the file until this object is destroyed. Taking it finishes
    // the undo of a write that a dead program left half done, so the file is
    // whole and at rest while the lock is held. Unreadable: the file is
    // missing or no database.
    Lock lockExclusively();

    // Writes a consistent snapshot to `targetPath`, which must not exist yet.
    // Throws StoreError.
    void writeSnapshot(const QString& targetPath);

private:
    void open();

    QString filePath_;
    QString connectionName_;
    QSqlDatabase db_;
    const std::atomic<bool>* stop_;
};

} // namespace store
