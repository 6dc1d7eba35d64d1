#pragma once

#include "store/bank.h"
#include "store/own_tables.h"

#include <QString>
#include <vector>

// The imports a bank has taken, so that the same file is not added twice
// without the user saying so.
namespace store {

const OwnTableSet& importTables();

struct ImportRecord {
    QString fileName;
    QString fingerprint; // SHA-256 of the file, in hex
    QString importedAt;  // local time, ISO 8601
    qint64 topNode = 0;  // the node the import made, or the section it went into
    qint64 questionCount = 0;
};

// Earlier imports of a file with this fingerprint; none when the bank has no
// import tables or they cannot be read.
std::vector<ImportRecord> importsOf(Bank& bank, const QString& fingerprint);

// Notes an import; creates the tables first when needed (inside the caller's
// transaction). Throws OwnTablesUnusable when they are damaged or newer.
void recordImport(Bank& bank, const ImportRecord& record);

} // namespace store
