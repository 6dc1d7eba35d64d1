#pragma once

#include <QtGlobal>

namespace testing_support {

// Feeds the text, Word and spreadsheet readers mutated documents for
// `seconds`, starting from `seed`; a crash, a hang or a sanitizer report is the
// finding. Returns the number of documents read.
qint64 fuzzImporters(quint32 seed, double seconds);

} // namespace testing_support
