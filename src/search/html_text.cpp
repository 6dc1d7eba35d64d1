#include "search/html_text.h"

#include <QHash>
#include <vector>

namespace search {

namespace {

// A piece of HTML: a tag or comment, or one character of text (written as it
// is or as a character reference).
struct Piece {
    qsizetype start = 0;
    qsizetype length = 0;
    bool tag = false;
};

// Stands for a reference this code does not know: it matches no typed text.
constexpr char16_t unknownCharacter = 0xFFFF;

QString decodedReference(QStringView reference) {
    // reference is "&…;"
    const QStringView name = reference.mid(1, reference.size() - 2);
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF)
            return QString(QChar(unknownCharacter));
        const char32_t character = code;
        return QString::fromUcs4(&character, 1);
    }
    static const QHash<QString, QString> named{
        {QStringLiteral("amp"), QStringLiteral("&")},
        {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},
        {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},
        {QStringLiteral("nbsp"), QStringLiteral(" ")},
    };
    return named.value(name.toString(), QString(QChar(unknownCharacter)));
}

// The end of the tag or comment starting at `start` ('<'): after its '>',
// quotes inside the tag respected; the end of the text when it is cut short.
qsizetype tagEnd(const QString& html, qsizetype start) {
    if (QStringView(html).mid(start).startsWith(u"<!--")) {
        const qsizetype close = html.indexOf(QStringLiteral("-->"), start + 4);
        return close < 0 ? html.size() : close + 3;
    }
    QChar quote;
    for (qsizetype i = start + 1; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
    }
    return html.size();
}

// The length of a character reference at `start` ('&'), or 0 when none starts there.
qsizetype referenceLength(const QString& html, qsizetype start) {
    constexpr qsizetype longest = 12;
    for (qsizetype i = start + 1; i < html.size() && i - start <= longest; ++i) {
        const QChar c = html[i];
        if (c == u';')
            return i > start + 1 ? i - start + 1 : 0;
        if (!c.isLetterOrNumber() && c != u'#')
            return 0;
    }
    return 0;
}

std::vector<Piece> piecesOf(const QString& html) {
    std::vector<Piece> pieces;
    for (qsizetype i = 0; i < html.size();) {
        if (html[i] == u'<') {
            const qsizetype end = tagEnd(html, i);
            pieces.push_back({i, end - i, true});
            i = end;
        } else {
            qsizetype length = html[i] == u'&' ? referenceLength(html, i) : 0;
            if (length == 0)
                length = html[i].isHighSurrogate() && i + 1 < html.size() ? 2 : 1;
            pieces.push_back({i, length, false});
            i += length;
        }
    }
    return pieces;
}

QString textOf(const QString& html, const Piece& piece) {
    const QStringView written = QStringView(html).mid(piece.start, piece.length);
    if (written.size() > 1 && written.front() == u'&')
        return decodedReference(written);
    if (written.front() == QChar::Nbsp)
        return QStringLiteral(" ");
    return written.toString();
}

// The tag's lower-case name, with a leading '/' for an end tag.
QString tagName(QStringView tag) {
    qsizetype end = 1;
    if (end < tag.size() && tag[end] == u'/')
        ++end;
    while (end < tag.size() && tag[end].isLetterOrNumber())
        ++end;
    return tag.mid(1, end - 1).toString().toLower();
}

bool breaksLine(const QString& name) {
    static const QStringList names{
        QStringLiteral("br"), QStringLiteral("p"),  QStringLiteral("div"), QStringLiteral("tr"),
        QStringLiteral("li"), QStringLiteral("td"), QStringLiteral("th"),  QStringLiteral("table")};
    return names.contains(name.startsWith(u'/') ? name.mid(1) : name);
}

bool hidesText(const QString& name) {
    static const QStringList names{QStringLiteral("script"),   QStringLiteral("style"),
                                   QStringLiteral("template"), QStringLiteral("textarea"),
                                   QStringLiteral("title"),    QStringLiteral("noscript")};
    return names.contains(name);
}

QString folded(QString text) {
    for (QChar& c : text)
        c = c == QChar::Nbsp ? QChar(u' ') : c.toCaseFolded();
    return text;
}

} // namespace

QString plainText(const QString& html) {
    // Most texts are plain: nothing to drop or decode.
    if (!html.contains(u'<') && !html.contains(u'&') && !html.contains(QChar::Nbsp))
        return html.trimmed();
    QString text;
    text.reserve(html.size());
    QString hiddenUntil;
    for (qsizetype i = 0; i < html.size();) {
        const QChar c = html[i];
        if (c == u'<') {
            const qsizetype end = tagEnd(html, i);
            const QString name = tagName(QStringView(html).mid(i, end - i));
            i = end;
            if (!hiddenUntil.isEmpty()) {
                if (name == hiddenUntil)
                    hiddenUntil.clear();
            } else if (hidesText(name)) {
                hiddenUntil = QLatin1Char('/') + name;
            } else if (breaksLine(name) && !text.endsWith(u'\n')) {
                text += u'\n';
            }
            continue;
        }
        const qsizetype reference = c == u'&' ? referenceLength(html, i) : 0;
        if (hiddenUntil.isEmpty()) {
            if (reference > 0)
                text += decodedReference(QStringView(html).mid(i, reference));
            else
                text += c == QChar::Nbsp ? QChar(u' ') : c;
        }
        i += reference > 0 ? reference : 1;
    }
    return text.trimmed();
}

QString markedHtml(const QString& safeHtml, const QString& words) {
    const QString needle = folded(words);
    if (needle.isEmpty())
        return safeHtml;
    const std::vector<Piece> pieces = piecesOf(safeHtml);
    QString text;                    // the decoded text, folded
    std::vector<size_t> pieceOfChar; // which piece each of its characters comes from
    for (size_t p = 0; p < pieces.size(); ++p) {
        if (pieces[p].tag)
            continue;
        const QString decoded = folded(textOf(safeHtml, pieces[p]));
        text += decoded;
        pieceOfChar.insert(pieceOfChar.end(), size_t(decoded.size()), p);
    }
    std::vector<bool> marked(pieces.size(), false);
    bool any = false;
    for (qsizetype at = text.indexOf(needle); at >= 0;
         at = text.indexOf(needle, at + needle.size())) {
        any = true;
        for (qsizetype i = at; i < at + needle.size(); ++i)
            marked[pieceOfChar[size_t(i)]] = true;
    }
    if (!any)
        return safeHtml;
    QString out;
    out.reserve(safeHtml.size() + 32);
    bool open = false;
    for (size_t p = 0; p < pieces.size(); ++p) {
        const bool wanted = !pieces[p].tag && marked[p];
        if (wanted != open) {
            out += wanted ? QStringLiteral("<mark>") : QStringLiteral("</mark>");
            open = wanted;
        }
        out += QStringView(safeHtml).mid(pieces[p].start, pieces[p].length);
    }
    if (open)
        out += QStringLiteral("</mark>");
    return out;
}

} // namespace search
