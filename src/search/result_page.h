#pragma once

#include "collections/view_mode.h"
#include "practice/page_builder.h"
#include "search/search_index.h"

#include <QString>
#include <memory>

// A page of search results: a practice page of the questions found (case and
// matching groups whole, as their questions share a text), the words
// found marked in stems, options, case texts and explanations, under a header
// that counts them and over buttons to the other pages of results.
namespace search {

// The page's address for the in-page buttons: "http://srch" and the page's index.
inline const QString resultPageAddress = QStringLiteral("http://srch");

QString resultHeaderFragment(const SearchResult& result, int page);
// Buttons to the pages before and after `page`; empty for a single page.
QString resultFooterFragment(const SearchResult& result, int page);
// Builds the page's questions like a chapter's. Throws StoreError.
std::unique_ptr<practice::ChapterPageBuilder> resultPageBuilder(store::Bank& bank,
                                                                const SearchResult& result,
                                                                int page,
                                                                collections::ViewMode mode);
// The content of the page, as grading reads it. Throws StoreError.
std::unique_ptr<practice::ChapterContent> resultPageContent(store::Bank& bank,
                                                            const SearchResult& result, int page,
                                                            collections::ViewMode mode);

} // namespace search
