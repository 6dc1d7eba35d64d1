#pragma once

#include "import/imported_document.h"

#include <QByteArray>
#include <QString>

namespace importer {

// Reads a Word document (.docx): its paragraphs (with the numbers of Word's
// automatic lists), tables (as simple HTML) and pictures, laid out as a text
// bank is. Problems are named by paragraph. Throws ImportError naming
// `shownName` when the file is no Word document or passes the zip limits.
ImportedDocument readDocx(const QByteArray& bytes, const QString& shownName);

} // namespace importer
