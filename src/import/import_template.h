#pragma once

#include <QString>

namespace importer {

// Writes the spreadsheet template offered in the import window: the column
// headers the sheet reader knows and a few example rows. Returns an error
// text, empty on success.
QString writeImportTemplate(const QString& path);

} // namespace importer
