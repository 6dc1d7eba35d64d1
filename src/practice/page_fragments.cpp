#include "practice/page_fragments.h"

#include "practice/html_sanitiser.h"

#include <QStringBuilder>

namespace practice {

namespace {

constexpr int maxLetters = 15;

// Screen readers name the drop-down by the question's text after it.
QString dropDown(qint64 questionId, int letters) {
    return QStringLiteral(" <select name=\"cars\" id=\"a%1\" aria-labelledby=\"fan%1\"> "
                          "<option value=\"daan\" selected>答案 ")
               .arg(questionId) +
           letterList(letters) + QStringLiteral("</select>");
}

QString shown(const QString& bankText, const TextMarker& mark) {
    const QString safe = safeBankHtml(bankText);
    return mark ? mark(safe) : safe;
}

} // namespace

QuestionClass classOfCode(int code) {
    if (code >= 1 && code <= 3)
        return QuestionClass::SingleAnswer;
    if (code >= 4 && code <= 7)
        return QuestionClass::MultipleAnswer;
    if (code == 8)
        return QuestionClass::Case;
    if (code == 9)
        return QuestionClass::Matching;
    return QuestionClass::Other;
}

QString headingFragment(const QString& title) {
    return QStringLiteral("&nbsp <b>") + safeBankHtml(title) + QStringLiteral("</b>");
}

QString groupTextFragment(int number, const QString& content, const TextMarker& mark) {
    return QStringLiteral("&nbsp") + QString::number(number) + QStringLiteral(".") +
           shown(content, mark);
}

QString pictureFragment(const QString& picurl) {
    return previewPictureFragment(picurl) + QStringLiteral("<br>");
}

QString numberedTextFragment(qint64 questionId, const QString& number, const QString& content,
                             const TextMarker& mark) {
    return QStringLiteral("&nbsp <span  id ='fan") % QString::number(questionId) %
           QStringLiteral("'>") % number % shown(content, mark) % QStringLiteral("</span>");
}

QString letterList(int letters) {
    QString list;
    for (int k = 0; k < std::min(letters, maxLetters); ++k) {
        const QChar letter(u'A' + k);
        list += QStringLiteral("<option value=\"%1\">%1 ").arg(letter);
    }
    return list;
}

QString matchingFragment(int number, int item, qint64 questionId, const QString& content,
                         int letters, const TextMarker& mark) {
    return QStringLiteral("&nbsp%1.%2. ").arg(number).arg(item) + dropDown(questionId, letters) +
           QStringLiteral("<span id ='fan%1'>").arg(questionId) + shown(content, mark) +
           QStringLiteral("</span>");
}

QString optionFragment(QuestionClass questionClass, const store::Option& option,
                       const TextMarker& mark) {
    // Built in one allocation: a page holds thousands of these.
    const QString input = questionClass == QuestionClass::SingleAnswer
                              ? QStringLiteral(" <input type=\"radio\" id=\"")
                              : QStringLiteral(" <input type=\"checkbox\" id=\"");
    const QString separator = questionClass == QuestionClass::SingleAnswer
                                  ? QStringLiteral("\"  name=\"")
                                  : QStringLiteral("\" name=\"");
    // Screen readers name the option by its letter and text, which the
    // span holds; the text itself never goes into an attribute.
    const QString id = QString::number(option.id);
    return input % id % separator % QString::number(option.questionid) %
           QStringLiteral("\" value=\"") % option.code.toHtmlEscaped() %
           QStringLiteral("\" aria-labelledby=\"opt") % id % QStringLiteral("\"><span id=\"opt") %
           id % QStringLiteral("\">") % safeBankHtml(option.code) % QLatin1Char(':') %
           shown(option.content, mark) % QStringLiteral("</span><br>");
}

QString answerBlockFragment(const store::Question& question, const TextMarker& mark) {
    const QString q = QString::number(question.id);
    const QString favouriteValue =
        question.scbt == store::flagSet ? QStringLiteral("取消收藏") : QStringLiteral("收藏本题");
    return QStringLiteral(
               "<div  style=\"cursor:hand;\"><tr><td width=\"100%\"> <div align=\"right\" > "
               "<input id=\"xs") %
           q % QStringLiteral("\" onclick=\"xsda(this,'ansnote") % q %
           QStringLiteral(
               "')\" name=\"sanyangxsda\" type=\"button\" value=\"显示答案\"/>"
               "<input id=\"sc\"  onclick=\"scbt(this); window.location.href='http://scbt") %
           q % QStringLiteral("'\" name=\"sanyangscbt\" type=\"button\" value=\"") %
           favouriteValue %
           QStringLiteral(
               "\"/><input  name=\"sanyangctfk\" onclick=\"window.location.href='http://ctfk") %
           q %
           QStringLiteral("'\" type=\"button\" value=\"错题反馈\" />"
                          "<input name=\"sanyangbj\" onclick=\"window.location.href='http://note") %
           q %
           QStringLiteral("'\" type=\"button\" value=\"笔记\" /> </div>"
                          "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</div>"
                          "<div  class=\"Answer\" id=\"ansnote") %
           q % QStringLiteral("\" value=\"") % question.answer.toHtmlEscaped() %
           QStringLiteral("\" style=\"display:none\">正确答案：") % safeBankHtml(question.answer) %
           QStringLiteral(" 答案解析：") % shown(question.explain, mark) %
           QStringLiteral("</div></td></tr> ");
}

QString noteFragment(qint64 questionId, const QString& note) {
    return QStringLiteral("<div class=\"mqnote\" id=\"note%1\"%2>")
               .arg(questionId)
               .arg(note.isEmpty() ? QStringLiteral(" style=\"display:none\"") : QString()) +
           noteBlockHtml(note) + QStringLiteral("</div>");
}

QString noteBlockHtml(const QString& note) {
    return note.isEmpty() ? QString() : QStringLiteral("<b>我的笔记：</b>") + noteHtml(note);
}

QString noteHtml(const QString& note) {
    QString text = note.toHtmlEscaped();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return text;
}

QString previewPictureFragment(const QString& picurl) {
    return QStringLiteral("&nbsp<br><p> 如图所示：<img src=\"./") + picurl.toHtmlEscaped() +
           QStringLiteral("\"> </p> ");
}

QString previewMatchingFragment(int number, int item, qint64 questionId, const QString& content,
                                int letters) {
    return QStringLiteral("&nbsp%1.%2. ").arg(number).arg(item) + dropDown(questionId, letters) +
           safeBankHtml(content);
}

QString previewAnswerFragment(const store::Question& question) {
    return QStringLiteral("<br> <br><div class=\"Answer\" id=\"ansnote%1\" value=\"")
               .arg(question.id) +
           question.answer.toHtmlEscaped() + QStringLiteral("\" style=\"display\">正确答案：") +
           safeBankHtml(question.answer) + QStringLiteral("</div></td></tr><br><br> ");
}

} // namespace practice
