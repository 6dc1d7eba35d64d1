#include "practice/chapter_content.h"

#include "practice/page_fragments.h"
#include "practice/random_practice.h"
#include "store/note_statements.h"
#include "store/question_set_statements.h"
#include "store/question_statements.h"

#include <QThreadPool>
#include <exception>
#include <iterator>
#include <mutex>

namespace practice {

ChapterContent::ChapterContent(store::Bank& bank, qint64 chapterId, collections::ViewMode mode)
    : bank_(bank)
    , chapterId_(chapterId)
    , filter_(collections::filterOf(mode))
    , groups_(store::groupsOfChapter(bank, chapterId))
    , notes_(store::notesOfChapter(bank, chapterId)) {
    for (store::QuestionType& type : store::allTypes(bank))
        types_.insert(type.id, std::move(type));
}

ChapterContent::ChapterContent(store::Bank& bank, const std::vector<qint64>& questionIds)
    : bank_(bank)
    , picked_(true)
    , groups_(store::groupsOfQuestions(bank, questionIds)) {
    for (store::QuestionType& type : store::allTypes(bank))
        types_.insert(type.id, std::move(type));
    notes_ = store::notesOfGroups(bank, groupIds());
    keep(store::questionsWithIds(bank, questionIds), store::optionsOfQuestions(bank, questionIds));
}

ChapterContent::ChapterContent(store::Bank& bank, const PracticeSelection& selection)
    : bank_(bank)
    , groups_(selection.groups)
    , drawn_(true) {
    for (store::QuestionType& type : store::allTypes(bank))
        types_.insert(type.id, std::move(type));
    notes_ = store::notesOfGroups(bank, groupIds());
    for (const store::QuestionGroup& group : groups_)
        questionsOfGroup_[group.id];
    for (const store::Question& question : selection.questions)
        questionsOfGroup_[question.readtextid] << &questions_.emplace_back(question);
}

ChapterContent::ChapterContent(store::Bank& bank, std::vector<store::QuestionGroup> groups,
                               collections::ViewMode mode, QSet<qint64> chosen)
    : bank_(bank)
    , filter_(collections::filterOf(mode))
    , groups_(std::move(groups))
    , chosen_(std::move(chosen)) {
    for (store::QuestionType& type : store::allTypes(bank))
        types_.insert(type.id, std::move(type));
    notes_ = store::notesOfGroups(bank, groupIds());
}

std::vector<qint64> ChapterContent::groupIds() const {
    std::vector<qint64> ids;
    ids.reserve(groups_.size());
    for (const store::QuestionGroup& group : groups_)
        ids.push_back(group.id);
    return ids;
}

void ChapterContent::readAll(Detail detail) {
    if (picked_)
        return;
    if (drawn_) {
        // A drawn page is small: its options are read question by question.
        for (const store::Question& question : questions_)
            optionsOf(question);
        readAll_ = true;
        return;
    }
    if (!chapterId_)
        keep(store::questionsOfGroups(bank_, groupIds(), filter_),
             store::optionsOfGroups(bank_, groupIds()));
    else if (detail == Detail::Page)
        keep(store::questionsOfChapter(bank_, *chapterId_, filter_),
             store::optionsOfChapter(bank_, *chapterId_));
    else
        keep(store::answersOfChapter(bank_, *chapterId_, filter_),
             store::optionIdsOfChapter(bank_, *chapterId_));
}

struct ChapterContent::WorkerRead {
    std::mutex mutex;
    bool done = false;
    std::vector<store::Question> questions;
    std::vector<store::Option> options;
    std::exception_ptr failure;
};

void ChapterContent::startReadingAll() {
    if (workerRead_ || readAll_)
        return;
    if (picked_ || drawn_ || !chapterId_) {
        readAll();
        return;
    }
    workerRead_ = std::make_shared<WorkerRead>();
    // The global pool is waited for when the program ends, so no read
    // outlives the database driver.
    QThreadPool::globalInstance()->start(
        [read = workerRead_, path = bank_.filePath(), chapterId = *chapterId_, filter = filter_] {
            std::vector<store::Question> questions;
            std::vector<store::Option> options;
            std::exception_ptr failure;
            try {
                store::Bank bank(path);
                questions = store::questionsOfChapter(bank, chapterId, filter);
                options = store::optionsOfChapter(bank, chapterId);
            } catch (...) {
                failure = std::current_exception();
            }
            const std::lock_guard<std::mutex> lock(read->mutex);
            read->questions = std::move(questions);
            read->options = std::move(options);
            read->failure = failure;
            read->done = true;
        });
}

bool ChapterContent::takeReadAll() {
    if (readAll_)
        return true;
    if (!workerRead_)
        return false;
    std::vector<store::Question> questions;
    std::vector<store::Option> options;
    {
        const std::lock_guard<std::mutex> lock(workerRead_->mutex);
        if (!workerRead_->done)
            return false;
        if (workerRead_->failure)
            std::rethrow_exception(workerRead_->failure);
        questions = std::move(workerRead_->questions);
        options = std::move(workerRead_->options);
    }
    workerRead_.reset();
    keep(std::move(questions), std::move(options));
    return true;
}

void ChapterContent::keep(std::vector<store::Question> questions,
                          std::vector<store::Option> options) {
    questionsOfGroup_.clear();
    optionsOfQuestion_.clear();
    questions_.assign(std::make_move_iterator(questions.begin()),
                      std::make_move_iterator(questions.end()));
    options_.assign(std::make_move_iterator(options.begin()),
                    std::make_move_iterator(options.end()));
    for (const store::Question& question : questions_)
        if (shows(question))
            questionsOfGroup_[question.readtextid] << &question;
    for (const store::Option& option : options_)
        optionsOfQuestion_[option.questionid] << &option;
    readAll_ = true;
}

const store::QuestionType& ChapterContent::typeOf(const store::QuestionGroup& group) const {
    const auto found = types_.constFind(group.qtypeid);
    if (found == types_.cend())
        throw store::StoreError(QStringLiteral("题库中没有题型 %1。").arg(group.qtypeid));
    return *found;
}

int ChapterContent::codeOf(const store::QuestionType& type) {
    bool ok = false;
    const int code = type.code.trimmed().toInt(&ok);
    if (!ok)
        throw store::StoreError(
            QStringLiteral("题型 %1 的代码“%2”不是数字。").arg(type.id).arg(type.code));
    return code;
}

QList<const store::Question*> ChapterContent::questionsOf(const store::QuestionGroup& group) {
    if (!readAll_ && !questionsOfGroup_.contains(group.id)) {
        QList<const store::Question*>& list = questionsOfGroup_[group.id];
        for (store::Question& question :
             filter_ ? store::flaggedQuestionsOfGroup(bank_, group.id, *filter_)
                     : store::questionsOfGroup(bank_, group.id))
            if (shows(question))
                list << &questions_.emplace_back(std::move(question));
    }
    return questionsOfGroup_.value(group.id);
}

bool ChapterContent::shows(const store::Question& question) const {
    if (!chosen_ || chosen_->contains(question.id))
        return true;
    for (const store::QuestionGroup& group : groups_) {
        if (group.id == question.readtextid) {
            const QuestionClass questionClass = classOfCode(codeOf(typeOf(group)));
            return questionClass == QuestionClass::Case || questionClass == QuestionClass::Matching;
        }
    }
    return false;
}

QList<const store::Option*> ChapterContent::optionsOf(const store::Question& question) {
    if (!readAll_ && !optionsOfQuestion_.contains(question.id)) {
        QList<const store::Option*>& list = optionsOfQuestion_[question.id];
        for (store::Option& option : store::optionsOfQuestion(bank_, question.id))
            list << &options_.emplace_back(std::move(option));
    }
    return optionsOfQuestion_.value(question.id);
}

} // namespace practice
