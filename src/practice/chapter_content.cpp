#include "practice/chapter_content.h"

#include "store/question_statements.h"

namespace practice {

ChapterContent::ChapterContent(store::Bank& bank, qint64 chapterId, collections::ViewMode mode)
    : groups_(store::groupsOfChapter(bank, chapterId))
    , questions_(store::questionsOfChapter(bank, chapterId, collections::filterOf(mode)))
    , options_(store::optionsOfChapter(bank, chapterId)) {
    for (store::QuestionType& type : store::allTypes(bank))
        types_.insert(type.id, std::move(type));
    for (const store::Question& question : questions_)
        questionsOfGroup_[question.readtextid] << &question;
    for (const store::Option& option : options_)
        optionsOfQuestion_[option.questionid] << &option;
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

QList<const store::Question*> ChapterContent::questionsOf(const store::QuestionGroup& group) const {
    return questionsOfGroup_.value(group.id);
}

QList<const store::Option*> ChapterContent::optionsOf(const store::Question& question) const {
    return optionsOfQuestion_.value(question.id);
}

} // namespace practice
