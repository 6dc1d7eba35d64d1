#include "search/search_index.h"

#include "search/html_text.h"
#include "store/search_statements.h"

namespace search {

namespace {

constexpr int questionsPerBatch = 10000;

SearchResult paged(QString text, std::vector<qint64> places) {
    SearchResult result;
    result.text = std::move(text);
    result.questionCount = int(places.size());
    int onPage = 0;
    for (size_t i = 0; i < places.size(); ++i) {
        const bool newGroup =
            i == 0 || store::groupRankOf(places[i]) != store::groupRankOf(places[i - 1]);
        if (newGroup && (result.firstOfPage.empty() || onPage >= questionsPerPage)) {
            result.firstOfPage.push_back(int(i) + 1);
            onPage = 0;
        }
        ++onPage;
    }
    result.places = std::move(places);
    return result;
}

} // namespace

std::vector<qint64> SearchResult::placesOfPage(int page) const {
    if (page < 0 || page >= pageCount())
        return {};
    const auto first = places.begin() + firstOfPage[size_t(page)] - 1;
    const auto end =
        page + 1 < pageCount() ? places.begin() + firstOfPage[size_t(page) + 1] - 1 : places.end();
    return {first, end};
}

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
        store::fillSearchIndex(bank_, questionsPerBatch, plainText, [&](qint64 filled) {
            if (progress)
                progress(std::min(filled, total), total);
        });
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
    return paged(words, tooShortForTrigrams ? store::scannedPlaces(bank_, words, flag)
                                            : store::matchingPlaces(bank_, phraseOf(words), flag));
}

} // namespace search
