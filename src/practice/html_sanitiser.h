#pragma once

#include <QString>
#include <QStringList>

// Bank texts are HTML written by whoever made the bank, pasted into our pages.
// They may format (b, sub, sup, tables, fonts, relative pictures …) but never
// act: no scripts, no event attributes, no links or forms, no frames, nothing
// that loads from elsewhere, no ids or names that could pass for the page's own
// controls.
namespace practice {

struct SanitisedHtml {
    QString html;
    // What was taken out, one short description each ("<script>", "onclick=").
    QStringList dropped;
    // Elements the text left open or closed only by implication, which the
    // written form closes ("<p>").
    QStringList closed;
};

// Parses `html` as the content of a body element and keeps what the allow-list
// accepts. A text that is whole (every element closed by its own end tag, in
// order, nothing set aside by the parser) and fully allowed comes back
// unchanged, byte for byte; otherwise the kept tree is written out again, every
// element closed, every text and attribute value escaped, nesting flattened
// beyond a fixed depth. Either way the result leaves nothing open for the
// markup after it, and sanitising it again changes nothing.
// A text that one scan shows to be whole and allowed is not parsed at all.
SanitisedHtml sanitiseBankHtml(const QString& html);
// The same, always through the parser.
SanitisedHtml sanitiseBankHtmlByParsing(const QString& html);

// The longest bank text a page shows whole, in UTF-8 bytes; the bank tool
// refuses longer ones.
constexpr qsizetype maxBankTextBytes = 64 * 1024;

bool exceedsBankTextLimit(const QString& text);

// The safe form of a bank text, for pages. A text over the limit is cut there,
// between two characters, and shown with a note that it was cut.
QString safeBankHtml(const QString& html);

} // namespace practice
