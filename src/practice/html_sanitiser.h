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
};

// Parses `html` as the content of a body element and keeps what the allow-list
// accepts. A text that is already well formed and fully allowed comes back
// unchanged, byte for byte; otherwise the kept tree is written out again, every
// element closed, every text and attribute value escaped.
SanitisedHtml sanitiseBankHtml(const QString& html);

// The safe form of a bank text, for pages.
inline QString safeBankHtml(const QString& html) {
    return sanitiseBankHtml(html).html;
}

} // namespace practice
