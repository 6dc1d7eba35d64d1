#pragma once

#include "import/imported_document.h"

#include <vector>

namespace importer {

// One line of a text document, or one paragraph or table of a Word document.
struct SourceLine {
    int place = 0;
    QString text;                   // plain text
    QString tableHtml;              // a table, as simple HTML; the line then has no text
    std::vector<int> pictures;      // pictures standing on the line, indices into the document's
    std::vector<QString> tableRows; // a table's rows, cells joined by blanks
};

// Reads the layout question banks are typed in: type headings, numbered
// questions, options, answers, explanations, case and matching groups and an
// answer key at the end. `pictures` are those the lines name. Problems are
// named by the lines' places and mark the questions they concern as faulty.
ImportedDocument readTextLayout(const std::vector<SourceLine>& lines, PlaceKind placeKind,
                                std::vector<ImportedPicture> pictures = {});

// The answer of a question as the document gave it.
struct WrittenAnswer {
    bool given = false;
    int place = 0;      // where it was given
    QString unreadable; // what was written when it was no letters
};

// Checks a question once its document is read (a stem, options, an answer
// among them, one letter for single choice and matching), adding each problem
// to the document and marking the question faulty.
void checkQuestion(ImportedDocument& document, ImportedGroup& group, ImportedQuestion& question,
                   const WrittenAnswer& answer);

// Gives a group of one question with no type of its own (no heading, a case
// heading) the type its answer says: single or multiple choice.
void settlePlainType(ImportedGroup& group);

// The question group type a type heading or a spreadsheet's type names
// ("A2型题", "多选题", "配伍题" …); 0 when it names none.
int groupTypeOfHeading(const QString& text);

// Full-width letters, digits and signs as their half-width forms, and the
// ideographic space as a blank; every character keeps its position.
QString foldWidth(const QString& text);

// Answer letters as stored: upper case, each once, in option order. Empty when
// the text holds anything but letters and separators.
QString answerLetters(const QString& text);

} // namespace importer
