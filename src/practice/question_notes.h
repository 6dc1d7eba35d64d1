#pragma once

#include "store/bank.h"

#include <QString>

// The candidate's note on a question, as pages and the note editor use it.
namespace practice {

// The longest note, in characters.
constexpr int maxNoteLength = 2000;

// The question's note; empty when it has none or the notes cannot be read.
QString questionNote(store::Bank& bank, qint64 questionId);
// The question's note as HTML text (escaped, line breaks kept), for pages
// that show it under the question; empty when it has none.
QString questionNoteHtml(store::Bank& bank, qint64 questionId);
// Stores the note, cut to maxNoteLength; an empty or blank note removes it.
// The search index learns it in the same transaction. Throws StoreError
// (OwnTablesUnusable when the notes tables cannot be used).
void saveQuestionNote(store::Bank& bank, qint64 questionId, const QString& text);

} // namespace practice
