#pragma once

#include "collections/view_mode.h"
#include "practice/page_fragments.h"
#include "store/bank.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace practice {

// The running numbers of a page: the next question number N, the number G of
// the current case group, and whether the case (code 8) and matching (code 9)
// headings have been written.
struct PageCounters {
    int questionNumber = 1;
    int groupNumber = 0;
    bool caseHeadingShown = false;
    bool matchingHeadingShown = false;
};

class ChapterContent;
struct PracticeSelection;

// Builds a chapter's page in steps, so that the first screen of a large
// chapter goes out before the rest is read: the first groups are read one at a
// time, the rest of the chapter at once. The steps together append the
// fragments buildChapterPage appends. Every step throws StoreError; the
// fragments built until then stay in `fragments`.
class ChapterPageBuilder {
public:
    // Reads the chapter's groups and the question types.
    ChapterPageBuilder(store::Bank& bank, qint64 chapterId, collections::ViewMode mode);
    // A page of the picked questions (a drill), read at once, under `title`;
    // numbered as a chapter is.
    ChapterPageBuilder(store::Bank& bank, const std::vector<qint64>& questionIds,
                       const QString& title);
    // The page of drawn questions, built like a chapter's.
    ChapterPageBuilder(store::Bank& bank, const PracticeSelection& selection);
    // Any content read like a chapter (search results), its bank texts marked by `mark`.
    ChapterPageBuilder(std::unique_ptr<ChapterContent> content, TextMarker mark);
    ~ChapterPageBuilder();

    // Appends whole groups until `fragments` holds at least `atLeast`
    // fragments or the chapter is written.
    void writeFirst(int atLeast, QStringList& fragments);
    // Appends every group not yet written.
    void writeRest(QStringList& fragments);
    // The rest in parts, each a short stretch of work: a chapter's rest is
    // read on a worker thread, and calls append nothing until it has
    // arrived; then each call appends whole groups until `atLeast`
    // fragments were added or the chapter is written.
    void writeMore(int atLeast, QStringList& fragments);
    bool finished() const;

private:
    class Writer;
    void writeNextGroup(QStringList& fragments);

    std::unique_ptr<ChapterContent> chapter_;
    std::unique_ptr<Writer> writer_;
    size_t written_ = 0;
    // Written before the first group, then cleared.
    QString title_;
    bool restRead_ = false;
};

// Appends the fragments of a chapter's page to `fragments`, in the order they
// go into the page, reading the chapter with four queries. In the collection
// modes only the questions carrying the mode's flag are shown. Throws
// StoreError; the fragments built until then stay in `fragments`.
void buildChapterPage(store::Bank& bank, qint64 chapterId, collections::ViewMode mode,
                      QStringList& fragments);

struct QuestionPreview {
    QStringList fragments;
    qint64 questionId = 0;
    QString questionText;
};

// The error-report dialog's view of one question: heading, group text, the
// question with its options, and its answer shown. Throws StoreError.
QuestionPreview buildQuestionPreview(store::Bank& bank, qint64 questionId);

} // namespace practice
