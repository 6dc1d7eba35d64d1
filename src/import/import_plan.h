#pragma once

#include "import/imported_document.h"
#include "store/bank_content.h"
#include "store/content_statements.h"

namespace importer {

// Where imported questions go: under a new top-level node, a section per type
// heading or chapter name; or into an existing section.
struct ImportDestination {
    QString topName;      // the new node's name; also names chapters added to a section
    qint64 sectionId = 0; // an existing section (tree code 2) instead, when not 0
};

// A picture of the document and the file it becomes, relative to the folder
// pages resolve pictures against.
struct PlannedPicture {
    int picture = 0;
    QString path;
};

struct ImportPlan {
    store::BankContent content; // nodes, groups, questions and options to add
    std::vector<PlannedPicture> pictures;
    qint64 firstChapterId = 0;
};

// The largest number of questions in one imported chapter.
constexpr int chapterQuestions = 100;

// The question types every bank has (qtype ids 3 to 11).
const std::vector<store::QuestionType>& standardQuestionTypes();

// The rows that hold the document's questions, faulty ones left out, with ids
// above `largest`. Pictures are named into `pictureFolder` (relative, no
// trailing slash). A group is never split across chapters.
ImportPlan planImport(const ImportedDocument& document, const ImportDestination& destination,
                      const store::LargestIds& largest, const QString& pictureFolder);

} // namespace importer
