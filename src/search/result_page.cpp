#include "search/result_page.h"

#include "practice/chapter_content.h"
#include "search/html_text.h"
#include "store/question_statements.h"
#include "store/search_statements.h"

namespace search {

namespace {

int lastOfPage(const SearchResult& result, int page) {
    return size_t(page + 1) < result.firstOfPage.size() ? result.firstOfPage[size_t(page + 1)] - 1
                                                        : result.questionCount;
}

QString pageButton(int page, const QString& label) {
    const QString number = QString::number(page);
    return QStringLiteral("<input type=\"button\" name=\"mqsearchpage\" id=\"searchPage") + number +
           QStringLiteral("\" onclick=\"window.location.href='") + resultPageAddress + number +
           QStringLiteral("'\" value=\"") + label.toHtmlEscaped() + QStringLiteral("\"/> ");
}

} // namespace

QString resultHeaderFragment(const SearchResult& result, int page) {
    QString header = QStringLiteral("<div class=\"mqsearch\" id=\"searchHeader\">搜索“") +
                     result.text.toHtmlEscaped() +
                     QStringLiteral("”：找到 %1 道题").arg(result.questionCount);
    if (result.pageCount() > 1)
        header += QStringLiteral("，本页显示第 %1–%2 道")
                      .arg(result.firstOfPage[size_t(page)])
                      .arg(lastOfPage(result, page));
    if (result.questionCount == 0)
        header += QStringLiteral("。请换一个词再试。");
    return header + QStringLiteral("</div>");
}

QString resultFooterFragment(const SearchResult& result, int page) {
    if (result.pageCount() < 2)
        return {};
    QString footer = QStringLiteral("<div class=\"mqsearch\">");
    if (page > 0)
        footer += pageButton(page - 1, QStringLiteral("上一页（第 %1–%2 道）")
                                           .arg(result.firstOfPage[size_t(page - 1)])
                                           .arg(lastOfPage(result, page - 1)));
    if (page + 1 < result.pageCount())
        footer += pageButton(page + 1, QStringLiteral("下一页（第 %1–%2 道）")
                                           .arg(result.firstOfPage[size_t(page + 1)])
                                           .arg(lastOfPage(result, page + 1)));
    return footer + QStringLiteral("</div>");
}

std::unique_ptr<practice::ChapterContent> resultPageContent(store::Bank& bank,
                                                            const SearchResult& result, int page,
                                                            collections::ViewMode mode) {
    std::vector<qint64> groupIds;
    QSet<qint64> found;
    for (const store::SearchHit& hit : store::questionsAtPlaces(bank, result.placesOfPage(page))) {
        if (groupIds.empty() || groupIds.back() != hit.groupId)
            groupIds.push_back(hit.groupId);
        found.insert(hit.questionId);
    }
    return std::make_unique<practice::ChapterContent>(bank, store::groupsByIds(bank, groupIds),
                                                      mode, std::move(found));
}

std::unique_ptr<practice::ChapterPageBuilder> resultPageBuilder(store::Bank& bank,
                                                                const SearchResult& result,
                                                                int page,
                                                                collections::ViewMode mode) {
    return std::make_unique<practice::ChapterPageBuilder>(
        resultPageContent(bank, result, page, mode),
        [words = result.text](const QString& safeHtml) { return markedHtml(safeHtml, words); });
}

} // namespace search
