#pragma once

#include <QString>

// The text of bank HTML, for the search index and for marking what a search found.
namespace search {

// The text a reader sees in `html`: tags dropped (line breaks and blocks
// become a line feed), character references decoded, no-break spaces as
// spaces, and nothing of scripts, styles or comments.
QString plainText(const QString& html);

// `safeHtml` (sanitised bank HTML) with every occurrence of `words` in its
// text wrapped in <mark>, ignoring case. Only text is touched: tags, attribute
// values and character references stay as they are, and a mark never spans
// a tag, so the markup keeps its shape. A match may run across tags (a word
// half in bold): each text piece of it is marked on its own.
QString markedHtml(const QString& safeHtml, const QString& words);

} // namespace search
