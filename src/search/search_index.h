#pragma once

#include "collections/view_mode.h"
#include "store/bank.h"

#include <QString>
#include <functional>
#include <vector>

namespace search {

// The longest search text, in characters.
constexpr int maxSearchLength = 100;
// How many questions a results page holds at most (whole groups may add some).
constexpr int questionsPerPage = 200;

struct SearchResult {
    QString text; // as searched: trimmed, cut to maxSearchLength
    int questionCount = 0;
    // Every question found, as its place in the index (store/search_statements.h),
    // in page order.
    std::vector<qint64> places;
    // The number of the first question found on each page, from 1; a page
    // ends with the group that brings it to questionsPerPage questions found.
    std::vector<int> firstOfPage;

    int pageCount() const { return int(firstOfPage.size()); }
    // The places of the questions found on `page`; none for a page out of range.
    std::vector<qint64> placesOfPage(int page) const;
};

// The search text as an FTS5 phrase: quoted, inner quotes doubled, so that
// every character typed is looked for as it is.
QString phraseOf(const QString& text);

// The search index of one bank (see store/search_statements.h). It is built
// the first time a search needs it and built again when the bank's content
// no longer matches what it was built from; that is checked once, then again
// after forget() (another bank file in the same place).
class SearchIndex {
public:
    explicit SearchIndex(store::Bank& bank)
        : bank_(bank) {}

    // Whether the next search must build the index first. Throws StoreError.
    bool needsBuilding();
    // Builds the index in one transaction; `progress` hears (done, total)
    // questions after every batch. Throws StoreError.
    void build(const std::function<void(qint64 done, qint64 total)>& progress = {});
    // The questions of `mode`'s view whose stem, options, explanation, case
    // text or note hold `text` (ignoring case), building the index first when
    // needed. Texts of one or two characters are found by scanning. Throws StoreError.
    SearchResult find(const QString& text, collections::ViewMode mode);
    // The bank file may have been replaced: check the index again.
    void forget() { checked_ = false; }

private:
    store::Bank& bank_;
    bool checked_ = false;
};

} // namespace search
