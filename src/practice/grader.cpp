#include "practice/grader.h"

#include "practice/chapter_content.h"
#include "practice/page_fragments.h"
#include "practice/random_practice.h"
#include "record/sitting.h"
#include "store/question_statements.h"
#include "store/tally_statements.h"
#include "store/tree_statements.h"

namespace practice {

namespace {

struct Count {
    int questions = 0;
    int correct = 0;
};

const web::ControlState& control(const web::ControlSnapshot& controls, const QString& id) {
    const auto found = controls.constFind(id);
    if (found == controls.cend())
        throw MissingControl(id);
    return *found;
}

QString userAnswer(const store::Question& question, QuestionClass questionClass,
                   const QList<const store::Option*>& options,
                   const web::ControlSnapshot& controls) {
    if (questionClass == QuestionClass::Matching)
        return control(controls, QStringLiteral("a%1").arg(question.id)).value;
    QString answer;
    for (const store::Option* option : options) {
        const web::ControlState& input = control(controls, QString::number(option->id));
        if (input.checked)
            answer += input.value;
    }
    return answer;
}

// What the candidate gave, as the record keeps it: a drop-down left on its
// placeholder gave nothing.
QString givenAnswer(QuestionClass questionClass, const QString& answer) {
    return questionClass == QuestionClass::Matching && answer == QLatin1String("daan") ? QString()
                                                                                       : answer;
}

// Check boxes may be ticked in any order; radio buttons and drop-downs give one value.
AnswerKind answerKindOf(QuestionClass questionClass) {
    return questionClass == QuestionClass::MultipleAnswer || questionClass == QuestionClass::Case
               ? AnswerKind::LetterSet
               : AnswerKind::Exact;
}

store::Tally tally(const QString& heading, const Count& count) {
    return {heading, QString::number(count.questions), QString::number(count.correct)};
}

// Replaces the rows of each merged heading by one row of their sums, at the end.
std::vector<store::Tally> mergeHeadings(std::vector<store::Tally> rows) {
    const std::pair<const QString*, bool> merges[] = {{&matchingHeading, false},
                                                      {&caseHeading, false},
                                                      {&typeBHeading, true},
                                                      {&a3a4Heading, true}};
    for (const auto& [heading, always] : merges) {
        Count sum;
        bool found = false;
        std::vector<store::Tally> kept;
        for (store::Tally& row : rows) {
            if (row.tx == *heading) {
                found = true;
                sum.questions += row.sts.toInt();
                sum.correct += row.dd.toInt();
            } else {
                kept.push_back(std::move(row));
            }
        }
        rows = std::move(kept);
        if (found || always)
            rows.push_back(tally(*heading, sum));
    }
    return rows;
}

// Grades every question `chapter` shows and writes the grading and its sitting
// in one transaction.
GradingResult gradePage(store::Bank& bank, ChapterContent& chapter,
                        const web::ControlSnapshot& controls, record::Sitting sitting,
                        const QDateTime& pageOpenedAt) {
    chapter.readAll(ChapterContent::Detail::Answers);
    GradingResult result;
    std::vector<store::Tally> rows;
    for (const store::QuestionGroup& group : chapter.groups()) {
        const store::QuestionType& type = chapter.typeOf(group);
        const QuestionClass questionClass = classOfCode(ChapterContent::codeOf(type));
        Count count;
        for (const store::Question* question : chapter.questionsOf(group)) {
            ++count.questions;
            const QString answer =
                userAnswer(*question, questionClass, chapter.optionsOf(*question), controls);
            const bool right = isRightAnswer(answer, question->answer, answerKindOf(questionClass));
            if (right)
                ++count.correct;
            else
                result.wrongQuestionIds.push_back(question->id);
            sitting.questions.push_back({question->id,
                                         group.treeid,
                                         type.code,
                                         givenAnswer(questionClass, answer),
                                         question->answer,
                                         right,
                                         {}});
        }
        rows.push_back(tally(type.title, count));
    }
    result.tallies = mergeHeadings(std::move(rows));
    sitting.finishedAt = QDateTime::currentDateTime();
    sitting.durationMs = pageOpenedAt.isValid() ? pageOpenedAt.msecsTo(sitting.finishedAt) : 0;

    bank.inTransaction([&] {
        store::clearLastGradingFlags(bank);
        store::clearTallies(bank);
        store::markGradedWrong(bank, result.wrongQuestionIds);
        for (const store::Tally& row : result.tallies)
            store::insertTally(bank, row);
        result.recordNotice = record::recordSittingOrExplain(bank, sitting);
    });
    return result;
}

} // namespace

GradingResult gradeChapter(store::Bank& bank, qint64 chapterId, collections::ViewMode mode,
                           const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt) {
    ChapterContent chapter(bank, chapterId, mode);
    record::Sitting sitting;
    sitting.kind = record::SittingKind::Chapter;
    sitting.chapterId = chapterId;
    if (const auto node = store::nodeById(bank, chapterId))
        sitting.title = node->nodename;
    return gradePage(bank, chapter, controls, std::move(sitting), pageOpenedAt);
}

GradingResult gradeDrill(store::Bank& bank, const std::vector<qint64>& questionIds,
                         const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt) {
    ChapterContent drill(bank, questionIds);
    record::Sitting sitting;
    sitting.kind = record::SittingKind::Drill;
    sitting.title = drillTitle;
    return gradePage(bank, drill, controls, std::move(sitting), pageOpenedAt);
}

GradingResult gradeSelection(store::Bank& bank, const PracticeSelection& selection,
                             const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt) {
    ChapterContent content(bank, selection);
    record::Sitting sitting;
    sitting.kind = record::SittingKind::Random;
    sitting.title = randomPracticeTitle;
    return gradePage(bank, content, controls, std::move(sitting), pageOpenedAt);
}

GradingResult gradeContent(store::Bank& bank, ChapterContent& content,
                           const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt) {
    record::Sitting sitting;
    sitting.kind = record::SittingKind::Search;
    sitting.title = searchResultsTitle;
    return gradePage(bank, content, controls, std::move(sitting), pageOpenedAt);
}

} // namespace practice
