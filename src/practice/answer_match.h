#pragma once

#include <QString>

// Whether an answer given in practice or in the exam is the stored one.
namespace practice {

enum class AnswerKind {
    Exact,     // one letter, or the value of a drop-down
    LetterSet, // the letters of a multiple-answer question, in any order
};

// An answer as compared: without leading and trailing blanks and control characters.
QString comparableAnswer(const QString& answer);

// Compares `given` with `stored`, both as comparableAnswer() makes them: exactly,
// or as sets of letters, so that "BA" is the stored "AB".
bool isRightAnswer(const QString& given, const QString& stored, AnswerKind kind);

} // namespace practice
