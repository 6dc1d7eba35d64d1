#pragma once

#include <QStringList>

namespace banktool {

// `morrowquill-bank import FILE (-o NEW | --into BANK) [--name NAME] [--skip-faulty]`:
// the importers of the program, from the command line. Returns the exit status.
int runImport(const QStringList& arguments);

} // namespace banktool
