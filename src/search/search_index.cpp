#include "search/search_index.h"

#include "search/html_text.h"
#include "store/search_statements.h"

namespace search {

namespace {

constexpr int questionsPerBatch = 2000;

SearchResult paged(QString text, const std::vector<store::SearchHit>& hits) {
    SearchResult result;
    result.text = std::move(text);
    result.questionCount = int(hits.size());
    result.questionIds.reserve(hits.size());
    for (const store::SearchHit& hit : hits)
        result.questionIds.push_back(hit.questionId);
    int onPage = 0;
    for (size_t i = 0; i < hits.size(); ++i) {
        const bool newGroup = i == 0 || hits[i].groupId != hits[i - 1].groupId;
        if (newGroup && (result.pages.empty() || onPage >= questionsPerPage)) {
            result.pages.emplace_back();
            result.firstOfPage.push_back(int(i) + 1);
            onPage = 0;
        }
        if (newGroup)
            result.pages.back().push_back(hits[i].groupId);
        ++onPage;
    }
    return result;
}

} // namespace

QString phraseOf(const QString& text) {
    QString phrase = text;
    phrase.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + phrase + QLatin1Char('"');
}

bool SearchIndex::needsBuilding() {
    if (checked_)
        return false;
    const std::optional<QString> built = store::indexedFingerprint(bank_);
    const bool stale = !built || *built != store::contentFingerprint(bank_);
    checked_ = !stale;
    return stale;
}

void SearchIndex::build(const std::function<void(qint64, qint64)>& progress) {
    bank_.inTransaction([&] {
        const QString fingerprint = store::contentFingerprint(bank_);
        const qint64 total = store::storedQuestionCount(bank_);
        store::clearSearchIndex(bank_);
        qint64 done = 0;
        qint64 lastId = std::numeric_limits<qint64>::min();
        for (;;) {
            std::vector<store::SearchSource> rows =
                store::searchSourcesAfter(bank_, lastId, questionsPerBatch);
            if (rows.empty())
                break;
            lastId = rows.back().questionId;
            for (store::SearchSource& row : rows) {
                row.stem = plainText(row.stem);
                row.options = plainText(row.options);
                row.explanation = plainText(row.explanation);
                row.caseText = plainText(row.caseText);
            }
            store::insertSearchRows(bank_, rows);
            done += qint64(rows.size());
            if (progress)
                progress(done, total);
        }
        store::setIndexedFingerprint(bank_, fingerprint);
    });
    checked_ = true;
}

SearchResult SearchIndex::find(const QString& text, collections::ViewMode mode) {
    const QString words = text.trimmed().left(maxSearchLength);
    if (words.isEmpty())
        return paged(words, {});
    if (needsBuilding())
        build();
    const auto flag = collections::filterOf(mode);
    const bool tooShortForTrigrams = words.toUcs4().size() < 3;
    return paged(words, tooShortForTrigrams
                            ? store::scannedQuestions(bank_, words, flag)
                            : store::matchingQuestions(bank_, phraseOf(words), flag));
}

} // namespace search
