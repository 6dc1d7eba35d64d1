#include "exam/exam_page.h"

#include "practice/html_sanitiser.h"
#include "practice/page_fragments.h"
#include "practice/question_notes.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace exam {

namespace {

using practice::safeBankHtml;

const QString singleChoice = QStringLiteral("a1");
const QString caseItem = QStringLiteral("a3");
const QString matchingGroup = QStringLiteral("a4");

bool showsPicture(ExamPageVariant variant) {
    return variant == ExamPageVariant::FirstPage || variant == ExamPageVariant::Navigation;
}

QString matchingLineEnd(ExamPageVariant variant) {
    return variant == ExamPageVariant::Navigation || variant == ExamPageVariant::Jump
               ? QStringLiteral("<br> <br>")
               : QStringLiteral("<br>");
}

QString correctAnswerFragment(const QString& answer) {
    return QStringLiteral("<body> <b>正确答案：") + safeBankHtml(answer) +
           QStringLiteral("</b> </body>") + QStringLiteral("<br> <br>");
}

// After hand-in a question shows the candidate's note under its answer, as
// practice pages do; during the sitting it never does.
void appendReviewNote(store::Bank& bank, qint64 questionId, ExamPage& page) {
    if (const QString note = practice::questionNote(bank, questionId); !note.isEmpty())
        page.fragments << practice::noteFragment(questionId, note);
}

QString optionFragment(bool radio, const store::Option& option) {
    const QString input = radio ? QStringLiteral(" <input type=\"radio\" id=\"")
                                : QStringLiteral(" <input type=\"checkbox\" id=\"");
    // Screen readers name the option by its letter and text, which the span
    // holds; the text itself never goes into an attribute.
    const QString id = QString::number(option.id);
    return input + id + QStringLiteral("\"  name=\"") + QString::number(option.questionid) +
           QStringLiteral("\" value=\"") + option.code.toHtmlEscaped() +
           QStringLiteral("\" aria-labelledby=\"opt") + id + QStringLiteral("\"><span id=\"opt") +
           id + QStringLiteral("\">") + safeBankHtml(option.code) + QStringLiteral(":") +
           safeBankHtml(option.content) + QStringLiteral("</span><br>");
}

void appendMatchingGroup(store::Bank& bank, const store::PaperItem& item, ExamPageVariant variant,
                         ExamPage& page) {
    page.fragments << item.tid.toHtmlEscaped() + QStringLiteral(".") + safeBankHtml(item.alt) +
                          QStringLiteral("<br> <br>");
    const QString letters = practice::letterList(item.xx.toInt());
    for (const store::Question& question : store::questionsOfGroup(bank, itemTargetId(item))) {
        const QString id = QString::number(question.id);
        // Screen readers name the drop-down by the text after it.
        page.fragments << safeBankHtml(question.itemnum) + QStringLiteral(". ") +
                              QStringLiteral(" <select name=\"cars\" id=\"") + id +
                              QStringLiteral("\" aria-labelledby=\"txt") + id +
                              QStringLiteral("\"> <option value=\"daan\" selected>答案 ") +
                              letters + QStringLiteral("</select><span id=\"txt") + id +
                              QStringLiteral("\">") + safeBankHtml(question.content) +
                              QStringLiteral("</span><br>") + matchingLineEnd(variant);
        if (!question.lx.isEmpty() && item.tjda.contains(question.lx))
            page.selectValues.emplace_back(id, question.lx);
        if (variant == ExamPageVariant::Review) {
            page.fragments << correctAnswerFragment(question.answer);
            appendReviewNote(bank, question.id, page);
        }
    }
}

void appendQuestion(store::Bank& bank, const store::PaperItem& item, ExamPage& page) {
    page.fragments << QStringLiteral("<br>") + item.tid.toHtmlEscaped() + QStringLiteral(".") +
                          safeBankHtml(item.tg) + QStringLiteral("<br>");
    const bool radio = item.lx == singleChoice;
    for (const store::Option& option : store::optionsOfQuestion(bank, itemTargetId(item))) {
        page.fragments << QStringLiteral("<br>") << optionFragment(radio, option)
                       << QStringLiteral("<br>");
        if (!option.code.isEmpty() && item.tjda.contains(option.code))
            page.checkedIds << QString::number(option.id);
    }
}

} // namespace

qint64 itemTargetId(const store::PaperItem& item) {
    bool ok = false;
    const qint64 id = item.tgid.trimmed().toLongLong(&ok);
    if (!ok)
        throw store::StoreError(
            QStringLiteral("试卷第 %1 题的题目编号“%2”不是整数。").arg(item.tid, item.tgid));
    return id;
}

std::optional<ExamPage> buildExamPage(store::Bank& bank, const QString& tid,
                                      ExamPageVariant variant) {
    const std::optional<store::PaperItem> item = store::paperItemByTid(bank, tid);
    if (!item)
        return std::nullopt;
    ExamPage page;
    page.lx = item->lx;
    if (showsPicture(variant) && !item->tp.trimmed().isEmpty())
        page.fragments << practice::pictureFragment(item->tp);
    if (item->lx == caseItem)
        page.fragments << item->tid.section(QLatin1Char('.'), 0, 0).toHtmlEscaped() +
                              QStringLiteral(".") + safeBankHtml(item->alt) +
                              QStringLiteral("<br>");
    if (item->lx == matchingGroup) {
        appendMatchingGroup(bank, *item, variant, page);
        return page;
    }
    appendQuestion(bank, *item, page);
    if (variant == ExamPageVariant::Review) {
        page.fragments << correctAnswerFragment(item->da);
        appendReviewNote(bank, itemTargetId(*item), page);
    }
    return page;
}

QString restoreChoicesScript(const ExamPage& page) {
    QJsonArray selects;
    for (const auto& [id, value] : page.selectValues)
        selects.append(QJsonArray{id, value});
    const auto json = [](const QJsonArray& array) {
        return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
    };
    return QStringLiteral("(function (checked, selects) {"
                          " checked.forEach(function (id) {"
                          " var e = document.getElementById(id); if (e) e.checked = true; });"
                          " selects.forEach(function (s) {"
                          " var e = document.getElementById(s[0]); if (e) e.value = s[1]; });"
                          "})(%1, %2)")
        .arg(json(QJsonArray::fromStringList(page.checkedIds)), json(selects));
}

std::optional<QString> optionForLetter(store::Bank& bank, const QString& tid, QChar letter) {
    const std::optional<store::PaperItem> item = store::paperItemByTid(bank, tid);
    if (!item || item->lx != singleChoice)
        return std::nullopt;
    const QString wanted = QString(letter.toUpper());
    for (const store::Option& option : store::optionsOfQuestion(bank, itemTargetId(*item)))
        if (option.code.trimmed() == wanted)
            return QString::number(option.id);
    return std::nullopt;
}

} // namespace exam
