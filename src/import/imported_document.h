#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// What an importer read from a document, before it becomes bank rows: groups
// of questions by type, each question with the place it was read from, and
// every problem found, named by that place.
namespace importer {

// Group types of the bank (qtype.id) that imported questions take.
namespace group_type {
constexpr int single = 3;         // A1, single choice
constexpr int singleCase = 4;     // A2, single choice on a short case
constexpr int multiple = 6;       // X, multiple choice
constexpr int undetermined = 8;   // one or more answers
constexpr int caseGroup = 10;     // several questions on one shared case
constexpr int matchingGroup = 11; // several questions sharing answer letters
} // namespace group_type

constexpr int maxOptionLetters = 15; // A to O

// A picture found in a document, kept until the import copies it beside the bank.
struct ImportedPicture {
    QByteArray data;
    QString suffix; // lower case, without the dot: "png"
};

// Texts are HTML; a picture stands in them as pictureMark(index) until the
// import knows its file name.
QString pictureMark(int index);

struct ImportedQuestion {
    int place = 0;  // the line, paragraph or row where the question starts
    int number = 0; // the number printed before it; 0 when there is none
    QString stem;
    std::vector<QString> options; // texts of A, B, C …
    QString answer;               // letters in option order
    QString explanation;
    int picture = -1; // the question's own picture, an index into the document's pictures
    bool faulty = false;
};

struct ImportedGroup {
    int place = 0;
    int groupType = group_type::single;
    QString sharedText;    // the case of a case group, the answer letters of a matching group
    int sharedLetters = 0; // a matching group's letter count
    QString section;       // the type heading or chapter the group stands under
    std::vector<ImportedQuestion> questions;
};

enum class PlaceKind { Line, Paragraph, Row };

struct ImportProblem {
    int place = 0;
    QString message;
};

struct ImportedDocument {
    PlaceKind placeKind = PlaceKind::Line;
    std::vector<ImportedGroup> groups;
    std::vector<ImportedPicture> pictures;
    std::vector<ImportProblem> problems; // in the order of their places
    QString fingerprint;                 // SHA-256 of the file read, in hex

    int questionCount() const;
    int faultyCount() const;
};

// "第 12 行", "第 3 段": where a problem is, as the preview names it.
QString placeText(PlaceKind kind, int place);
// The problem as one line: its place and its message.
QString problemText(PlaceKind kind, const ImportProblem& problem);

} // namespace importer
