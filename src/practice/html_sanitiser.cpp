#include "practice/html_sanitiser.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QSet>
#include <gumbo.h>
#include <memory>
#include <vector>

namespace practice {

namespace {

// Beyond this many tags a text is shown as plain text: the parser frees its
// tree recursively, and no real question needs so much markup.
constexpr qsizetype maxTags = 10000;

enum class Treatment {
    Keep,   // the element and its allowed attributes
    Unwrap, // the element goes, its content stays
    Drop,   // the element goes with everything inside it
};

Treatment treatmentOf(const GumboElement& element) {
    if (element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return Treatment::Drop;
    switch (element.tag) {
    case GUMBO_TAG_B:
    case GUMBO_TAG_I:
    case GUMBO_TAG_U:
    case GUMBO_TAG_S:
    case GUMBO_TAG_STRIKE:
    case GUMBO_TAG_EM:
    case GUMBO_TAG_STRONG:
    case GUMBO_TAG_SMALL:
    case GUMBO_TAG_BIG:
    case GUMBO_TAG_TT:
    case GUMBO_TAG_SUB:
    case GUMBO_TAG_SUP:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_WBR:
    case GUMBO_TAG_NOBR:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_P:
    case GUMBO_TAG_SPAN:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_FONT:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_COLGROUP:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_TFOOT:
    case GUMBO_TAG_TR:
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_CODE:
    case GUMBO_TAG_VAR:
    case GUMBO_TAG_SAMP:
    case GUMBO_TAG_KBD:
    case GUMBO_TAG_CITE:
    case GUMBO_TAG_Q:
    case GUMBO_TAG_DFN:
    case GUMBO_TAG_ABBR:
    case GUMBO_TAG_ACRONYM:
    case GUMBO_TAG_MARK:
    case GUMBO_TAG_INS:
    case GUMBO_TAG_DEL:
    case GUMBO_TAG_RUBY:
    case GUMBO_TAG_RB:
    case GUMBO_TAG_RT:
    case GUMBO_TAG_RTC:
    case GUMBO_TAG_RP:
    case GUMBO_TAG_BDI:
    case GUMBO_TAG_BDO:
    case GUMBO_TAG_ADDRESS:
        return Treatment::Keep;
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_META:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_APPLET:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_BUTTON:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_OUTPUT:
    case GUMBO_TAG_ISINDEX:
    case GUMBO_TAG_MENUITEM:
    case GUMBO_TAG_SVG:
    case GUMBO_TAG_MATH:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_MAP:
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_PLAINTEXT:
        return Treatment::Drop;
    default:
        return Treatment::Unwrap;
    }
}

bool isVoid(GumboTag tag) {
    return tag == GUMBO_TAG_BR || tag == GUMBO_TAG_WBR || tag == GUMBO_TAG_HR ||
           tag == GUMBO_TAG_IMG || tag == GUMBO_TAG_COL;
}

// Presentation only: nothing here names, links, loads or runs anything.
bool isPlainAttribute(const QByteArray& name) {
    static const QSet<QByteArray> names = {
        "class",       "title",   "align",   "valign",   "width", "height",  "dir",
        "lang",        "bgcolor", "border",  "nowrap",   "clear", "noshade", "cellpadding",
        "cellspacing", "colspan", "rowspan", "rules",    "frame", "summary", "span",
        "scope",       "abbr",    "color",   "face",     "size",  "alt",     "hspace",
        "vspace",      "start",   "type",    "reversed", "value"};
    return names.contains(name);
}

// Inline styles may colour, size and place, never fetch or evaluate.
bool isPlainStyle(const QString& value) {
    static const QRegularExpression risky(
        QStringLiteral(
            R"(url\s*\(|image-set|expression|@import|javascript|behavior|binding|\\|/\*)"),
        QRegularExpression::CaseInsensitiveOption);
    return !risky.match(value).hasMatch();
}

// A picture beside the page, or an image carried in the text itself.
bool isRelativePicture(QString value) {
    // Browsers ignore tabs and line breaks inside addresses and blanks around them.
    value.remove(QRegularExpression(QStringLiteral("[\\t\\n\\r]")));
    while (!value.isEmpty() && value.front().unicode() <= 0x20)
        value.remove(0, 1);
    if (value.startsWith('/') || value.startsWith('\\'))
        return false;
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    const auto match = scheme.match(value);
    if (!match.hasMatch())
        return true;
    return match.captured().compare(QStringLiteral("data:"), Qt::CaseInsensitive) == 0 &&
           value.mid(5).startsWith(QStringLiteral("image/"), Qt::CaseInsensitive);
}

bool attributeAllowed(const GumboElement& element, const GumboAttribute& attribute) {
    const QByteArray name(attribute.name);
    if (name == "style")
        return isPlainStyle(QString::fromUtf8(attribute.value));
    if (name == "src")
        return element.tag == GUMBO_TAG_IMG &&
               isRelativePicture(QString::fromUtf8(attribute.value));
    return isPlainAttribute(name);
}

QByteArray pieceOf(const GumboStringPiece& piece) {
    return QByteArray(piece.data, qsizetype(piece.length));
}

QByteArray tagNameOf(const GumboElement& element) {
    if (element.tag != GUMBO_TAG_UNKNOWN)
        return gumbo_normalized_tagname(element.tag);
    GumboStringPiece name = element.original_tag;
    gumbo_tag_from_original_text(&name);
    return pieceOf(name).toLower();
}

void appendEscaped(QByteArray& out, const char* text, bool attribute) {
    for (const char* c = text; *c; ++c) {
        switch (*c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += attribute ? "<" : "&lt;";
            break;
        case '>':
            out += attribute ? ">" : "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        default:
            out += *c;
        }
    }
}

struct GumboOutputDeleter {
    void operator()(GumboOutput* output) const {
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
};

class Sanitiser {
public:
    explicit Sanitiser(const QByteArray& source)
        : source_(source)
        , tagByte_(size_t(source.size()), false) {
        GumboOptions options = kGumboDefaultOptions;
        options.fragment_context = GUMBO_TAG_BODY;
        options.fragment_namespace = GUMBO_NAMESPACE_HTML;
        options.max_errors = 0;
        output_.reset(
            gumbo_parse_with_options(&options, source_.constData(), size_t(source_.size())));
    }

    // Whether the text must be written anew; notes what goes.
    bool inspect() {
        inspectChildren(output_->root->v.element);
        // Inside dropped elements such tags are expected and already gone.
        if (!rewrite_ && hasStrayTags())
            drop(QStringLiteral("多余或不完整的标记"));
        return rewrite_;
    }

    QByteArray write() {
        QByteArray out;
        out.reserve(source_.size());
        writeChildren(out, output_->root->v.element);
        return out;
    }

    QStringList dropped;

private:
    void drop(const QString& what) {
        rewrite_ = true;
        if (!dropped.contains(what))
            dropped << what;
    }

    void markTag(const GumboStringPiece& piece) {
        if (!piece.data || piece.length == 0)
            return;
        const qsizetype start = piece.data - source_.constData();
        if (start < 0 || start >= source_.size())
            return;
        tagByte_[size_t(start)] = true;
    }

    // A '<' that starts a tag the tree does not show: a stray end tag, a tag
    // cut off at the end, a comment or declaration the parser set aside.
    bool hasStrayTags() const {
        const char* text = source_.constData();
        for (qsizetype i = 0; i + 1 < source_.size(); ++i) {
            if (text[i] != '<' || tagByte_[size_t(i)])
                continue;
            const char next = text[i + 1];
            if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '!' ||
                next == '/' || next == '?')
                return true;
        }
        return false;
    }

    void inspectChildren(const GumboElement& parent) {
        for (unsigned i = 0; i < parent.children.length; ++i)
            inspectNode(*static_cast<const GumboNode*>(parent.children.data[i]));
    }

    void inspectNode(const GumboNode& node) {
        switch (node.type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
            return;
        case GUMBO_NODE_COMMENT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_DOCUMENT:
            drop(QStringLiteral("<!--…-->"));
            return;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            break;
        }
        const GumboElement& element = node.v.element;
        markTag(element.original_tag);
        markTag(element.original_end_tag);
        const Treatment treatment = treatmentOf(element);
        if (treatment != Treatment::Keep)
            drop(QStringLiteral("<%1>").arg(QString::fromUtf8(tagNameOf(element))));
        if (treatment == Treatment::Keep) {
            for (unsigned i = 0; i < element.attributes.length; ++i) {
                const auto& attribute =
                    *static_cast<const GumboAttribute*>(element.attributes.data[i]);
                if (!attributeAllowed(element, attribute))
                    drop(QString::fromUtf8(attribute.name) + QLatin1Char('='));
                // Entities in attribute values are decoded by rules that are
                // easiest to trust when the value is written out again.
                else if (memchr(attribute.original_value.data, '&',
                                attribute.original_value.length))
                    rewrite_ = true;
            }
        }
        // The content of a dropped element still counts for stray tags.
        inspectChildren(element);
    }

    void writeChildren(QByteArray& out, const GumboElement& parent) const {
        for (unsigned i = 0; i < parent.children.length; ++i)
            writeNode(out, *static_cast<const GumboNode*>(parent.children.data[i]));
    }

    void writeNode(QByteArray& out, const GumboNode& node) const {
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE) {
            appendEscaped(out, node.v.text.text, false);
            return;
        }
        if (node.type != GUMBO_NODE_ELEMENT)
            return;
        const GumboElement& element = node.v.element;
        switch (treatmentOf(element)) {
        case Treatment::Drop:
            return;
        case Treatment::Unwrap:
            writeChildren(out, element);
            return;
        case Treatment::Keep:
            break;
        }
        const char* name = gumbo_normalized_tagname(element.tag);
        out += '<';
        out += name;
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto& attribute = *static_cast<const GumboAttribute*>(element.attributes.data[i]);
            if (!attributeAllowed(element, attribute))
                continue;
            out += ' ';
            out += attribute.name;
            out += "=\"";
            appendEscaped(out, attribute.value, true);
            out += '"';
        }
        out += '>';
        if (isVoid(element.tag))
            return;
        // The parser eats one line break right after <pre>; give it one to eat.
        if (element.tag == GUMBO_TAG_PRE && element.children.length > 0) {
            const auto* first = static_cast<const GumboNode*>(element.children.data[0]);
            if ((first->type == GUMBO_NODE_TEXT || first->type == GUMBO_NODE_WHITESPACE) &&
                first->v.text.text[0] == '\n')
                out += '\n';
        }
        writeChildren(out, element);
        out += "</";
        out += name;
        out += '>';
    }

    const QByteArray& source_;
    std::vector<bool> tagByte_;
    std::unique_ptr<GumboOutput, GumboOutputDeleter> output_;
    bool rewrite_ = false;
};

} // namespace

SanitisedHtml sanitiseBankHtml(const QString& html) {
    // Without a '<' there is no element: entities and quotes stay text.
    if (!html.contains(QLatin1Char('<')))
        return {html, {}};
    if (html.count(QLatin1Char('<')) > maxTags)
        return {html.toHtmlEscaped(), {QStringLiteral("过多的标记")}};
    const QByteArray source = html.toUtf8();
    Sanitiser sanitiser(source);
    if (!sanitiser.inspect())
        return {html, {}};
    return {QString::fromUtf8(sanitiser.write()), sanitiser.dropped};
}

} // namespace practice
