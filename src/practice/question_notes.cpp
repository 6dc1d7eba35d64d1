#include "practice/question_notes.h"

#include "practice/page_fragments.h"
#include "store/note_statements.h"
#include "store/search_statements.h"

namespace practice {

QString questionNote(store::Bank& bank, qint64 questionId) {
    return store::notesOfQuestions(bank, {questionId}).value(questionId);
}

QString questionNoteHtml(store::Bank& bank, qint64 questionId) {
    const QString note = questionNote(bank, questionId);
    return note.isEmpty() ? QString() : noteHtml(note);
}

void saveQuestionNote(store::Bank& bank, qint64 questionId, const QString& text) {
    QString note = text.left(maxNoteLength);
    if (note.trimmed().isEmpty())
        note.clear();
    bank.inTransaction([&] {
        store::writeNote(bank, questionId, note);
        store::updateSearchedNote(bank, questionId, note);
    });
}

} // namespace practice
