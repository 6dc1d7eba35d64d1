#pragma once

#include "bank_content.h"

#include <QString>

namespace banktool {

// Writes content as a new bank at path, replacing what was there only once the
// new file is complete. Adds the question count and the default exam parameters.
void writeBank(const BankContent& content, const QString& path);

} // namespace banktool
