#include "practice/page_builder.h"

#include "practice/chapter_content.h"
#include "practice/html_sanitiser.h"
#include "practice/page_fragments.h"
#include "store/question_statements.h"

namespace practice {

using store::Option;
using store::Question;
using store::QuestionGroup;
using store::QuestionType;

// Writes one chapter; the counters live as long as the page.
class ChapterPageBuilder::Writer {
public:
    Writer(ChapterContent& chapter, TextMarker mark)
        : chapter_(chapter)
        , mark_(std::move(mark)) {}

    void writeGroup(QStringList& fragments, const QuestionGroup& group) {
        out_ = &fragments;
        const QuestionType& type = chapter_.typeOf(group);
        const QList<const Question*> questions = chapter_.questionsOf(group);
        const QuestionClass questionClass = classOfCode(ChapterContent::codeOf(type));
        const bool shown = !chapter_.filtered() || !questions.isEmpty();
        if (shown) {
            writeHeading(questionClass, type.title, group.content);
            int item = 1;
            counters_.groupNumber = counters_.questionNumber;
            for (const Question* question : questions)
                writeQuestion(*question, questionClass, group, item++);
        }
        ++counters_.groupNumber;
        if (questionClass == QuestionClass::Matching && shown)
            *out_ << QStringLiteral("<hr>");
    }

private:
    void writeHeading(QuestionClass questionClass, const QString& title, const QString& groupText) {
        const auto sharedGroup = [&](bool& headingShown) {
            if (!headingShown) {
                headingShown = true;
                *out_ << headingFragment(title) << QStringLiteral("<br><br>");
            }
            *out_ << groupTextFragment(counters_.questionNumber, groupText, mark_)
                  << QStringLiteral("<br><br>");
        };
        switch (questionClass) {
        case QuestionClass::SingleAnswer:
        case QuestionClass::MultipleAnswer:
            *out_ << headingFragment(title) << QStringLiteral("<br><br>");
            break;
        case QuestionClass::Case:
            sharedGroup(counters_.caseHeadingShown);
            break;
        case QuestionClass::Matching:
            sharedGroup(counters_.matchingHeadingShown);
            ++counters_.questionNumber;
            break;
        case QuestionClass::Other:
            break;
        }
    }

    void writeQuestion(const Question& question, QuestionClass questionClass,
                       const QuestionGroup& group, int item) {
        int& number = counters_.questionNumber;
        const bool sharedNumber = questionClass == QuestionClass::Case;
        if (questionClass != QuestionClass::Matching && questionClass != QuestionClass::Other &&
            store::hasPicture(question))
            *out_ << pictureFragment(question.picurl);
        if (sharedNumber) {
            *out_ << numberedTextFragment(
                question.id, QStringLiteral("%1.%2. ").arg(counters_.groupNumber).arg(item),
                question.content);
            if (item != 1)
                --number;
        } else if (questionClass == QuestionClass::Matching) {
            --number;
            *out_ << matchingFragment(number, item, question.id, question.content,
                                      group.opnum.trimmed().toInt(), mark_);
        } else if (questionClass != QuestionClass::Other) {
            *out_ << numberedTextFragment(question.id, QStringLiteral("%1. ").arg(number),
                                          question.content, mark_);
        }
        *out_ << QStringLiteral("<br>");
        ++number;
        if (questionClass != QuestionClass::Matching && questionClass != QuestionClass::Other) {
            for (const Option* option : chapter_.optionsOf(question)) {
                *out_ << QStringLiteral("<br>")
                      << QStringLiteral("&nbsp") + optionFragment(questionClass, *option, mark_);
            }
        }
        *out_ << answerBlockFragment(question, mark_) +
                     noteFragment(question.id, chapter_.noteOf(question.id));
        if (questionClass != QuestionClass::Matching)
            *out_ << QStringLiteral("<hr>");
    }

    QStringList* out_ = nullptr;
    ChapterContent& chapter_;
    TextMarker mark_;
    PageCounters counters_;
};

ChapterPageBuilder::ChapterPageBuilder(store::Bank& bank, qint64 chapterId,
                                       collections::ViewMode mode)
    : ChapterPageBuilder(std::make_unique<ChapterContent>(bank, chapterId, mode), {}) {}

ChapterPageBuilder::ChapterPageBuilder(std::unique_ptr<ChapterContent> content, TextMarker mark)
    : chapter_(std::move(content))
    , writer_(std::make_unique<Writer>(*chapter_, std::move(mark))) {}

ChapterPageBuilder::ChapterPageBuilder(store::Bank& bank, const std::vector<qint64>& questionIds,
                                       const QString& title)
    : ChapterPageBuilder(std::make_unique<ChapterContent>(bank, questionIds), {}) {
    title_ = title;
}

ChapterPageBuilder::ChapterPageBuilder(store::Bank& bank, const PracticeSelection& selection)
    : ChapterPageBuilder(std::make_unique<ChapterContent>(bank, selection), {}) {}

ChapterPageBuilder::~ChapterPageBuilder() = default;

void ChapterPageBuilder::writeFirst(int atLeast, QStringList& fragments) {
    while (!finished() && fragments.size() < atLeast)
        writeNextGroup(fragments);
}

void ChapterPageBuilder::writeRest(QStringList& fragments) {
    if (!finished() && !restRead_)
        chapter_->readAll();
    restRead_ = true;
    while (!finished())
        writeNextGroup(fragments);
}

void ChapterPageBuilder::writeMore(int atLeast, QStringList& fragments) {
    if (!finished() && !restRead_) {
        chapter_->startReadingAll();
        if (!chapter_->takeReadAll())
            return;
        restRead_ = true;
    }
    const qsizetype target = fragments.size() + atLeast;
    while (!finished() && fragments.size() < target)
        writeNextGroup(fragments);
}

bool ChapterPageBuilder::finished() const {
    return written_ == chapter_->groups().size();
}

void ChapterPageBuilder::writeNextGroup(QStringList& fragments) {
    if (!title_.isEmpty())
        fragments << QStringLiteral("<h3>") + title_.toHtmlEscaped() + QStringLiteral("</h3>");
    title_.clear();
    writer_->writeGroup(fragments, chapter_->groups()[written_]);
    ++written_;
}

void buildChapterPage(store::Bank& bank, qint64 chapterId, collections::ViewMode mode,
                      QStringList& fragments) {
    ChapterPageBuilder(bank, chapterId, mode).writeRest(fragments);
}

QuestionPreview buildQuestionPreview(store::Bank& bank, qint64 questionId) {
    QuestionPreview preview;
    const auto question = store::questionById(bank, questionId);
    if (!question)
        return preview;
    const auto group = store::groupById(bank, question->readtextid);
    if (!group)
        throw store::StoreError(QStringLiteral("题库中没有题组 %1。").arg(question->readtextid));
    const auto type = store::typeById(bank, group->qtypeid);
    if (!type)
        throw store::StoreError(QStringLiteral("题库中没有题型 %1。").arg(group->qtypeid));
    const QuestionClass questionClass = classOfCode(ChapterContent::codeOf(*type));
    QStringList& out = preview.fragments;

    // A fresh page: the first question is number 1, its case group too.
    int number = 1;
    switch (questionClass) {
    case QuestionClass::SingleAnswer:
    case QuestionClass::MultipleAnswer:
        out << headingFragment(type->title) << QStringLiteral("<br>");
        break;
    case QuestionClass::Case:
    case QuestionClass::Matching:
        out << headingFragment(type->title) << QStringLiteral("<br>")
            << groupTextFragment(number, group->content) << QStringLiteral("<br>");
        break;
    case QuestionClass::Other:
        break;
    }
    const bool withOptions =
        questionClass != QuestionClass::Matching && questionClass != QuestionClass::Other;
    if (withOptions && store::hasPicture(*question))
        out << previewPictureFragment(question->picurl);
    switch (questionClass) {
    case QuestionClass::Case:
        out << QStringLiteral("&nbsp%1.1. ").arg(number) + safeBankHtml(question->content);
        break;
    case QuestionClass::Matching:
        out << previewMatchingFragment(number, 1, question->id, question->content,
                                       group->opnum.trimmed().toInt());
        break;
    case QuestionClass::SingleAnswer:
    case QuestionClass::MultipleAnswer:
        out << QStringLiteral("&nbsp%1. ").arg(number) + safeBankHtml(question->content);
        break;
    case QuestionClass::Other:
        break;
    }
    preview.questionId = question->id;
    preview.questionText = question->content;
    out << QStringLiteral("<br>");
    if (withOptions) {
        for (const store::Option& option : store::optionsOfQuestion(bank, questionId)) {
            QString fragment = optionFragment(questionClass, option);
            fragment.chop(int(QStringLiteral("<br>").size()));
            out << QStringLiteral("<br>") << QStringLiteral("&nbsp") + fragment;
        }
    }
    out << previewAnswerFragment(*question);
    return preview;
}

} // namespace practice
