#pragma once

#include "collections/view_mode.h"
#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/rows.h"

#include <QHash>
#include <QList>
#include <deque>
#include <optional>
#include <vector>

namespace practice {

// A chapter as a page shows it: its groups in type order, the types, the
// questions of each group (only those of the view's collection in a
// collection view) and the options of each question. The groups and types
// are read at once; the questions and options either a group and a question
// at a time, as they are asked for (cheap for the first few of a large
// chapter), or, after readAll(), the whole chapter's in two statements. A
// page of picked questions (a drill) is read whole at once, its groups from
// whichever chapters hold them.
class ChapterContent {
public:
    ChapterContent(store::Bank& bank, qint64 chapterId, collections::ViewMode mode);
    ChapterContent(store::Bank& bank, const std::vector<qint64>& questionIds);

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

private:
    void keep(std::vector<store::Question> questions, std::vector<store::Option> options);

    store::Bank& bank_;
    qint64 chapterId_;
    std::optional<store::CollectionFlag> filter_;
    bool picked_ = false;
    std::vector<store::QuestionGroup> groups_;
    QHash<qint64, store::QuestionType> types_;
    bool readAll_ = false;
    // Deques, so that the rows the lists below point to stay where they are.
    std::deque<store::Question> questions_;
    std::deque<store::Option> options_;
    QHash<qint64, QList<const store::Question*>> questionsOfGroup_;
    QHash<qint64, QList<const store::Option*>> optionsOfQuestion_;
};

} // namespace practice
