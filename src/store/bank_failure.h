#pragma once

#include "store/store_error.h"

#include <QSqlError>
#include <QString>

namespace store {

// Whether the database gave up because another connection holds the file.
bool isBankInUse(const QSqlError& error);

// The error to raise when the database fails on the bank file `filePath`: a file
// held by another program is said to be in use; any other failure carries
// `whatFailed`, the file and the database's own message.
StoreError bankFailure(const QString& filePath, const QString& whatFailed, const QSqlError& error);

} // namespace store
