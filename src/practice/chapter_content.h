#pragma once

#include "collections/view_mode.h"
#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/rows.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace practice {

struct PracticeSelection;

// A chapter as a page shows it: its groups in type order, the types, the
// questions of each group (only those of the view's collection in a
// collection view), the options and the notes of each question. A page of
// chosen groups (search results) is read the same way. The groups and types
// are read at once; the questions and options either a group and a question
// at a time, as they are asked for (cheap for the first few of a large
// chapter), or, after readAll(), the whole chapter's in two statements. A
// page of picked questions (a drill) is read whole at once, its groups from
// whichever chapters hold them.
class ChapterContent {
public:
    ChapterContent(store::Bank& bank, qint64 chapterId, collections::ViewMode mode);
    ChapterContent(store::Bank& bank, const std::vector<qint64>& questionIds);
    // The groups and questions of a drawn page, as drawn.
    ChapterContent(store::Bank& bank, const PracticeSelection& selection);
    // The given groups, in their order. Of a single- or multiple-answer group
    // (a mere container of questions) only the questions in `chosen` are
    // shown; case and matching groups, whose questions share a text, whole.
    ChapterContent(store::Bank& bank, std::vector<store::QuestionGroup> groups,
                   collections::ViewMode mode, QSet<qint64> chosen);

    const std::vector<store::QuestionGroup>& groups() const { return groups_; }
    // Whether only some questions of the groups are shown: a collection's or picked ones.
    bool filtered() const { return filter_.has_value() || picked_; }
    // The group's type; throws StoreError when the bank lacks it.
    const store::QuestionType& typeOf(const store::QuestionGroup& group) const;
    // The type's code as a number; throws StoreError when it is none.
    static int codeOf(const store::QuestionType& type);
    QList<const store::Question*> questionsOf(const store::QuestionGroup& group);
    QList<const store::Option*> optionsOf(const store::Question& question);
    // What readAll() reads of each row: everything a page shows, or only
    // what grading compares (a question's id, group and answer, an option's
    // id and question).
    enum class Detail { Page, Answers };
    void readAll(Detail detail = Detail::Page);
    // The same read of a chapter's page, on a worker thread with a
    // connection of its own, so that a large chapter's read holds this thread
    // up for none of its time; other contents are read at once. Then
    // takeReadAll() says whether it has arrived, and takes it in: false while
    // the worker reads; throws StoreError as readAll() does.
    void startReadingAll();
    bool takeReadAll();
    // The question's note; empty when it has none.
    QString noteOf(qint64 questionId) const { return notes_.value(questionId); }

private:
    void keep(std::vector<store::Question> questions, std::vector<store::Option> options);
    std::vector<qint64> groupIds() const;
    // Whether the page shows the question: false for one left out of its group.
    bool shows(const store::Question& question) const;

    store::Bank& bank_;
    std::optional<qint64> chapterId_;
    std::optional<store::CollectionFlag> filter_;
    bool picked_ = false;
    std::vector<store::QuestionGroup> groups_;
    QHash<qint64, store::QuestionType> types_;
    bool readAll_ = false;
    // The content is a drawn page's, not a chapter's.
    bool drawn_ = false;
    // Deques, so that the rows the lists below point to stay where they are.
    std::deque<store::Question> questions_;
    std::deque<store::Option> options_;
    QHash<qint64, QList<const store::Question*>> questionsOfGroup_;
    QHash<qint64, QList<const store::Option*>> optionsOfQuestion_;
    QHash<qint64, QString> notes_;
    std::optional<QSet<qint64>> chosen_;
    // The worker's read under way, shared with it: it outlives this content
    // when the page is left first.
    struct WorkerRead;
    std::shared_ptr<WorkerRead> workerRead_;
};

} // namespace practice
