#pragma once

#include "store/rows.h"

#include <QString>
#include <functional>

// The pieces of HTML a practice page is made of. Each is appended to the page
// on its own, and their texts are the contract with the page template, the
// in-page commands and grading: ids fan+q, a+q, option ids, xs+q, ansnote+q.
// Bank texts go through the sanitiser; bank values in attributes are escaped.
namespace practice {

enum class QuestionClass { SingleAnswer, MultipleAnswer, Case, Matching, Other };

// qtype.code: 1–3 radio buttons, 4–7 check boxes, 8 case group, 9 matching group.
QuestionClass classOfCode(int code);

// Marks words in a bank text already made safe (search results highlight
// what was found); an empty marker leaves the text as it is.
using TextMarker = std::function<QString(const QString& safeHtml)>;

QString headingFragment(const QString& title);
QString groupTextFragment(int number, const QString& content, const TextMarker& mark = {});
QString pictureFragment(const QString& picurl);
QString numberedTextFragment(qint64 questionId, const QString& number, const QString& content,
                             const TextMarker& mark = {});
QString matchingFragment(int number, int item, qint64 questionId, const QString& content,
                         int letters, const TextMarker& mark = {});
// The option's input and its label, ending in <br>; radio or check box by class.
QString optionFragment(QuestionClass questionClass, const store::Option& option,
                       const TextMarker& mark = {});
// Show-answer, favourite, error-report and note buttons over the hidden answer block.
QString answerBlockFragment(const store::Question& question, const TextMarker& mark = {});
// The question's note under it, as plain text; an empty note is a hidden
// block that the page fills when a note is written.
QString noteFragment(qint64 questionId, const QString& note);
// What the note's block holds: a caption and the note, or nothing.
QString noteBlockHtml(const QString& note);
// A note as HTML text: escaped, its line breaks kept.
QString noteHtml(const QString& note);

// The drop-down's entries after "答案": A … up to `letters`, at most 15 (A–O).
QString letterList(int letters);

// The preview of one question in the error-report dialog: the same pieces with
// no span around the text and a visible answer without buttons.
QString previewPictureFragment(const QString& picurl);
QString previewMatchingFragment(int number, int item, qint64 questionId, const QString& content,
                                int letters);
QString previewAnswerFragment(const store::Question& question);

} // namespace practice
