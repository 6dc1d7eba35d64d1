#include "record/exam_review.h"

#include "practice/chapter_content.h"
#include "practice/html_sanitiser.h"
#include "practice/page_fragments.h"
#include "record/statistics.h"
#include "store/note_statements.h"
#include "store/question_statements.h"
#include "store/record_statements.h"
#include "store/statistics_statements.h"

namespace record {

namespace {

using practice::safeBankHtml;

const QString rightColour = QStringLiteral("#1b7f3b");
const QString wrongColour = QStringLiteral("#d01010");

QString titleFragment(const store::ExamSittingRow& exam) {
    const int score = exam.scorePercent.value_or(
        accuracyPercent(exam.questionCount, exam.rightCount).value_or(0));
    return QStringLiteral("<p align=\"center\" class=\"TestResultTitle\">模拟考试回顾</p>"
                          "<p align=\"center\">%1 · 共 %2 题 · 答对 %3 题 · 得分 %4%</p>")
        .arg(recordedTime(exam.finishedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        .arg(exam.questionCount)
        .arg(exam.rightCount)
        .arg(score);
}

// The answers as the record kept them: never bank HTML, always plain text.
QString answerLines(const store::AnswerRow& answer, const QString& explanation) {
    const QString given = answer.given.isEmpty() ? QStringLiteral("未作答") : answer.given;
    const bool right = answer.correct && !answer.given.isEmpty();
    return QStringLiteral("<div class=\"Answer\" style=\"display\">"
                          "<span style=\"color:%1\">您的答案：%2 %3</span>"
                          "&nbsp;&nbsp;正确答案：<b>%4</b>")
               .arg(right ? rightColour : wrongColour, given.toHtmlEscaped(),
                    right ? QStringLiteral("✔") : QStringLiteral("✘"),
                    answer.rightAnswer.toHtmlEscaped()) +
           (explanation.trimmed().isEmpty()
                ? QString()
                : QStringLiteral("<br>答案解析：") + safeBankHtml(explanation)) +
           QStringLiteral("</div><br>");
}

} // namespace

QStringList examReviewFragments(store::Bank& bank, qint64 sittingId) {
    const auto exam = store::examSittingById(bank, sittingId);
    if (!exam)
        return {QStringLiteral("<p align=\"center\">学习记录中没有这次考试。</p>")};
    QStringList out{titleFragment(*exam)};
    const std::vector<store::AnswerRow> answers = store::answersOfSitting(bank, sittingId);
    std::vector<qint64> questionIds;
    for (const store::AnswerRow& answer : answers)
        questionIds.push_back(answer.questionId);
    const QHash<qint64, QString> notes = store::notesOfQuestions(bank, questionIds);
    qint64 shownGroup = 0;
    for (const store::AnswerRow& answer : answers) {
        const QString number = (answer.tid.isEmpty() ? QString::number(answer.position + 1)
                                                     : answer.tid.toHtmlEscaped()) +
                               QStringLiteral(". ");
        const auto question = store::questionById(bank, answer.questionId);
        if (!question) {
            out << QStringLiteral("&nbsp;<span style=\"color:%1\">")
                           .arg(wrongColour.toHtmlEscaped()) +
                       number + QStringLiteral("（此题已不在题库中）</span><br>")
                << answerLines(answer, {});
            continue;
        }
        // A case or matching group's shared text goes once before its questions.
        if (question->readtextid != shownGroup) {
            shownGroup = question->readtextid;
            const auto group = store::groupById(bank, question->readtextid);
            const auto type = group ? store::typeById(bank, group->qtypeid) : std::nullopt;
            const auto questionClass =
                type ? practice::classOfCode(practice::ChapterContent::codeOf(*type))
                     : practice::QuestionClass::Other;
            if ((questionClass == practice::QuestionClass::Case ||
                 questionClass == practice::QuestionClass::Matching) &&
                !group->content.trimmed().isEmpty())
                out << QStringLiteral("<div>&nbsp;") + safeBankHtml(group->content) +
                           QStringLiteral("</div>");
        }
        if (store::hasPicture(*question))
            out << practice::pictureFragment(question->picurl);
        out << QStringLiteral("<div>&nbsp;<span style=\"color:%1\">")
                       .arg(answer.correct && !answer.given.isEmpty() ? rightColour : wrongColour) +
                   number + QStringLiteral("</span>") + safeBankHtml(question->content) +
                   QStringLiteral("</div>");
        QString options;
        for (const store::Option& option : store::optionsOfQuestion(bank, question->id))
            options += QStringLiteral("&nbsp;&nbsp;") + safeBankHtml(option.code) +
                       QStringLiteral(": ") + safeBankHtml(option.content) + QStringLiteral("<br>");
        if (!options.isEmpty())
            out << QStringLiteral("<div>") + options + QStringLiteral("</div>");
        out << answerLines(answer, question->explain);
        if (const QString note = notes.value(question->id); !note.isEmpty())
            out << practice::noteFragment(question->id, note);
    }
    return out;
}

} // namespace record
