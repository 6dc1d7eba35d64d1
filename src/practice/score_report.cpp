#include "practice/score_report.h"

#include "practice/html_sanitiser.h"
#include "store/tally_statements.h"

namespace practice {

namespace {

QString row(const QString& heading, const QString& questions, const QString& correct, int percent) {
    return QStringLiteral("<tr align=\"center\"><td>") + heading + QStringLiteral("</td> <td>") +
           questions + QStringLiteral("</td> <td>") + correct + QStringLiteral("</td><td>") +
           questions + QStringLiteral("</td><td>") + correct + QStringLiteral("</td><td>") +
           QString::number(percent) + QStringLiteral("%</td> </tr> ");
}

} // namespace

int percentage(int correct, int questions) {
    if (questions <= 0)
        return 0;
    // round(100 · correct / questions) with halves up, in whole numbers.
    return int((200LL * correct + questions) / (2LL * questions));
}

QString scoreTable(const std::vector<store::Tally>& tallies) {
    QString table = QStringLiteral(
        "<br><br>  <table align=\"center\"  border=1 bordercolor=skyblue cellpadding=\"0\" "
        "cellspacing=\"0\" class=\"table1\"  ><tr> <th class=\"table3\"  >题  型</th> <th "
        "class=\"table4\"  >试 题 数</th>  <th class=\"table3\"   > 答  对 </th>  <th "
        "class=\"table3\"  > 总  分 </th>  <th class=\"table3\"  > 得  分 </th>  <th "
        "class=\"table3\"  >正 确 率</th> </tr> ");
    int totalQuestions = 0, totalCorrect = 0;
    for (const store::Tally& tally : tallies) {
        const int questions = tally.sts.trimmed().toInt(), correct = tally.dd.trimmed().toInt();
        totalQuestions += questions;
        totalCorrect += correct;
        table += row(safeBankHtml(tally.tx), safeBankHtml(tally.sts), safeBankHtml(tally.dd),
                     percentage(correct, questions));
    }
    table += row(QStringLiteral("合  计"), QString::number(totalQuestions),
                 QString::number(totalCorrect), percentage(totalCorrect, totalQuestions));
    return table + QStringLiteral("</table>");
}

QStringList scoreReportFragments(store::Bank& bank) {
    bank.reopen();
    store::deleteEmptyTallies(bank);
    const std::vector<store::Tally> tallies = store::tallies(bank);
    bank.close();
    return {QStringLiteral("<p align=\"center\" class=\"TestResultTitle\" >本 次 测 试 结 果</p>"),
            scoreTable(tallies)};
}

} // namespace practice
