#pragma once

#include "store/bank.h"

#include <QString>

namespace store {

// Writes a consistent copy of the bank, made by the database itself, to
// `targetPath`, which must not exist yet. Throws StoreError.
void writeSnapshot(Bank& bank, const QString& targetPath);

// Reads every page of the bank; throws StoreError when the file is damaged.
void checkIntegrity(Bank& bank);

} // namespace store
