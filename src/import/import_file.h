#pragma once

#include "import/imported_document.h"

#include <QString>

namespace importer {

// The kinds of file an import reads, for a file dialog's filter.
QString importFileFilter();

// Reads a question bank document by its suffix: .txt, .docx, .xlsx or .csv.
// Throws ImportError when the file cannot be read at all; problems within it
// are named in the document.
ImportedDocument readImportFile(const QString& path);

// Reads a document from its bytes; `suffix` is lower case without the dot,
// `shownName` names the file in messages. Pictures a spreadsheet names are
// looked for in `folder`.
ImportedDocument readImportBytes(const QByteArray& bytes, const QString& suffix,
                                 const QString& shownName = {}, const QString& folder = {});

} // namespace importer
