#pragma once

#include "collections/view_mode.h"
#include "store/bank.h"
#include "store/rows.h"

#include <QHash>
#include <QList>
#include <vector>

namespace practice {

// A chapter as a page shows it, read with four queries: its groups in type
// order, the types, the questions of each group (only those of the view's
// collection in a collection view) and the options of each question.
class ChapterContent {
public:
    ChapterContent(store::Bank& bank, qint64 chapterId, collections::ViewMode mode);

    const std::vector<store::QuestionGroup>& groups() const { return groups_; }
    // The group's type; throws StoreError when the bank lacks it.
    const store::QuestionType& typeOf(const store::QuestionGroup& group) const;
    // The type's code as a number; throws StoreError when it is none.
    static int codeOf(const store::QuestionType& type);
    QList<const store::Question*> questionsOf(const store::QuestionGroup& group) const;
    QList<const store::Option*> optionsOf(const store::Question& question) const;

private:
    std::vector<store::QuestionGroup> groups_;
    QHash<qint64, store::QuestionType> types_;
    std::vector<store::Question> questions_;
    std::vector<store::Option> options_;
    QHash<qint64, QList<const store::Question*>> questionsOfGroup_;
    QHash<qint64, QList<const store::Option*>> optionsOfQuestion_;
};

} // namespace practice
