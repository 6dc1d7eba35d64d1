#pragma once

#include "bank_content.h"

#include <QString>
#include <QStringList>

namespace banktool {

// Reads bank sources (files, or folders whose *.txt files are read in path
// order) and checks them. Throws ToolError naming the file and line of the
// first fault. Picture paths are resolved against the folder of the bank header.
// Texts with markup that pages will not show add a warning naming file and line.
BankContent readBankSources(const QStringList& paths, QStringList& warnings);

} // namespace banktool
