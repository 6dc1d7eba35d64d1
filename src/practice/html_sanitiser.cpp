#include "practice/html_sanitiser.h"

#include <QByteArray>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <gumbo.h>
#include <memory>
#include <optional>
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

// How many kept elements may stand inside one another. Deeper markup is
// written as its content alone: the renderer gives up on pages nested some
// thousands deep, and no real question needs more.
constexpr int maxDepth = 32;

// Whether a kept element may open at `depth` kept elements deep. A table only
// opens where its cells fit too: text that lands directly in a table is moved
// out of it by the next parse.
bool fitsAt(GumboTag tag, int depth) {
    constexpr int tableToCell = 3;
    return tag == GUMBO_TAG_TABLE ? depth + tableToCell < maxDepth : depth < maxDepth;
}

// Beyond the depth limit only what does not nest stays; a column outside its
// table means nothing.
bool keptBeyondDepth(GumboTag tag) {
    return isVoid(tag) && tag != GUMBO_TAG_COL;
}

const GumboNode& childOf(const GumboElement& element, unsigned index) {
    return *static_cast<const GumboNode*>(element.children.data[index]);
}

bool hasElementChildren(const GumboElement& element) {
    for (unsigned i = 0; i < element.children.length; ++i) {
        if (childOf(element, i).type == GUMBO_NODE_ELEMENT)
            return true;
    }
    return false;
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

// Whether a relative address climbs out of the page's folder: a ".." step,
// however the browser spells it (a backslash is a slash in a file address, and
// "%2e" is a dot in a path step).
bool climbsOut(const QString& address) {
    static const QRegularExpression dotDot(QStringLiteral(R"((^|[/\\])(\.|%2e){2}($|[/\\?#]))"),
                                           QRegularExpression::CaseInsensitiveOption);
    return dotDot.match(address).hasMatch();
}

// A picture in or below the page's folder, or an image carried in the text
// itself.
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
        return !climbsOut(value);
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
        , tagBytes_(size_t(source.size()), false) {
        GumboOptions options = kGumboDefaultOptions;
        options.fragment_context = GUMBO_TAG_BODY;
        options.fragment_namespace = GUMBO_NAMESPACE_HTML;
        options.max_errors = 0;
        output_.reset(
            gumbo_parse_with_options(&options, source_.constData(), size_t(source_.size())));
    }

    // Whether the text must be written anew; notes what goes and what had to
    // be closed. A text stays as it is only when it is whole: every tag in it
    // is in the tree, and every element was opened and closed by its own
    // tags, in order, so nothing it leaves behind can change how the markup
    // after it is parsed.
    bool inspect() {
        std::vector<Frame> stack{{&output_->root->v.element, 0, 0, false}};
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.element->children.length) {
                stack.pop_back();
                continue;
            }
            const GumboNode& node = childOf(*frame.element, frame.next++);
            if (const auto child = inspectNode(node, frame))
                stack.push_back(*child);
        }
        // Inside dropped elements such tags are expected and already gone.
        if (!rewrite_)
            checkStrayTags();
        return rewrite_;
    }

    QByteArray write() const {
        QByteArray out;
        out.reserve(source_.size());
        std::vector<Frame> stack{{&output_->root->v.element, 0, 0, false}};
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.element->children.length) {
                if (frame.endTag) {
                    out += "</";
                    out += frame.endTag;
                    out += '>';
                }
                stack.pop_back();
                continue;
            }
            const GumboNode& node = childOf(*frame.element, frame.next++);
            if (const auto child = writeNode(out, node, frame))
                stack.push_back(*child);
        }
        return out;
    }

    // Whether the written tree may be read back as another: markup the
    // parser repaired or moved out of a table, or elements taken from around
    // other elements, can leave a nesting that the parser builds differently
    // from its own written form (a heading inside a heading, a list item
    // inside one).
    bool reshaped() const { return reshaped_; }

    QStringList dropped;
    QStringList closed;

private:
    // One open element of a walk over the tree, which goes without recursion
    // because a text may nest as deep as it has tags.
    struct Frame {
        const GumboElement* element;
        unsigned next;
        // Kept elements open around the children, and whether the depth limit
        // has been passed so that only their content is written.
        int depth;
        bool flattened;
        const char* endTag = nullptr;
    };

    void drop(const QString& what) {
        rewrite_ = true;
        if (!dropped.contains(what))
            dropped << what;
    }

    void markTag(const GumboStringPiece& piece) {
        if (!piece.data || piece.length == 0)
            return;
        const qsizetype start = piece.data - source_.constData();
        if (start < 0 || start + qsizetype(piece.length) > source_.size())
            return;
        std::fill_n(tagBytes_.begin() + start, piece.length, true);
    }

    // A '<' that starts a tag outside every tag the tree shows: a stray end
    // tag, a tag cut off at the end, a declaration the parser set aside. A '<'
    // at the very end would open a tag with whatever is written after it.
    void checkStrayTags() {
        const char* text = source_.constData();
        const qsizetype size = source_.size();
        if (size > 0 && text[size - 1] == '<')
            rewrite_ = true;
        for (qsizetype i = 0; i + 1 < size; ++i) {
            if (text[i] != '<' || tagBytes_[size_t(i)])
                continue;
            const char next = text[i + 1];
            if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '!' ||
                next == '/' || next == '?') {
                drop(QStringLiteral("多余或不完整的标记"));
                return;
            }
        }
    }

    // The tree in document order follows the source unless the parser moved
    // something, as it does with markup out of place in a table, and does
    // not always mark.
    void noteSourceOrder(const GumboStringPiece& piece) {
        if (!piece.data || piece.length == 0)
            return;
        if (piece.data < lastStart_)
            reshaped_ = true;
        lastStart_ = piece.data;
    }

    // Whether the kept element was opened and closed by its own tags.
    void checkWhole(const GumboNode& node) {
        const GumboElement& element = node.v.element;
        if (isVoid(element.tag)) {
            if (node.parse_flags & ~unsigned(GUMBO_INSERTION_IMPLICIT_END_TAG))
                rewrite_ = true;
            return;
        }
        if (node.parse_flags == GUMBO_INSERTION_NORMAL && element.original_end_tag.length > 0)
            return;
        rewrite_ = true;
        // Elements the parser made up (a table body, a copy of an open <b>)
        // are not the author's to close.
        constexpr unsigned madeUp = GUMBO_INSERTION_BY_PARSER |
                                    GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT |
                                    GUMBO_INSERTION_ADOPTION_AGENCY_CLONED;
        const bool leftOpen = (node.parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG) ||
                              element.original_end_tag.length == 0;
        const QString name = QStringLiteral("<%1>").arg(gumbo_normalized_tagname(element.tag));
        if (leftOpen && !(node.parse_flags & madeUp) && !closed.contains(name))
            closed << name;
    }

    void checkAttributes(const GumboElement& element) {
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto& attribute = *static_cast<const GumboAttribute*>(element.attributes.data[i]);
            if (!attributeAllowed(element, attribute))
                drop(QString::fromUtf8(attribute.name) + QLatin1Char('='));
            // Entities in attribute values are decoded by rules that are
            // easiest to trust when the value is written out again.
            else if (memchr(attribute.original_value.data, '&', attribute.original_value.length))
                rewrite_ = true;
        }
    }

    // Notes what the node changes; returns its children's frame if any.
    std::optional<Frame> inspectNode(const GumboNode& node, const Frame& parent) {
        switch (node.type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
            noteSourceOrder(node.v.text.original_text);
            return std::nullopt;
        case GUMBO_NODE_COMMENT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_DOCUMENT:
            drop(QStringLiteral("<!--…-->"));
            return std::nullopt;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            break;
        }
        const GumboElement& element = node.v.element;
        markTag(element.original_tag);
        markTag(element.original_end_tag);
        Frame children{&element, 0, parent.depth, parent.flattened};
        constexpr unsigned repaired = GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT |
                                      GUMBO_INSERTION_ADOPTION_AGENCY_CLONED |
                                      GUMBO_INSERTION_ADOPTION_AGENCY_MOVED |
                                      GUMBO_INSERTION_FOSTER_PARENTED;
        if (node.parse_flags & repaired)
            reshaped_ = true;
        noteSourceOrder(element.original_tag);
        const Treatment treatment = treatmentOf(element);
        if (treatment != Treatment::Keep) {
            drop(QStringLiteral("<%1>").arg(QString::fromUtf8(tagNameOf(element))));
            if (treatment == Treatment::Unwrap && hasElementChildren(element))
                reshaped_ = true;
        } else {
            checkAttributes(element);
            if (!parent.flattened && fitsAt(element.tag, parent.depth)) {
                checkWhole(node);
                ++children.depth;
            } else if (!keptBeyondDepth(element.tag)) {
                drop(QStringLiteral("过深的嵌套"));
                children.flattened = true;
                reshaped_ = true;
            }
        }
        // The content of a dropped element still counts for stray tags.
        if (element.children.length == 0)
            return std::nullopt;
        return children;
    }

    static void writeStartTag(QByteArray& out, const GumboElement& element) {
        out += '<';
        out += gumbo_normalized_tagname(element.tag);
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
    }

    // Writes what of the node is kept; returns its children's frame if any.
    static std::optional<Frame> writeNode(QByteArray& out, const GumboNode& node,
                                          const Frame& parent) {
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE) {
            appendEscaped(out, node.v.text.text, false);
            return std::nullopt;
        }
        if (node.type != GUMBO_NODE_ELEMENT)
            return std::nullopt;
        const GumboElement& element = node.v.element;
        Frame children{&element, 0, parent.depth, parent.flattened};
        switch (treatmentOf(element)) {
        case Treatment::Drop:
            return std::nullopt;
        case Treatment::Unwrap:
            break;
        case Treatment::Keep:
            if (!parent.flattened && fitsAt(element.tag, parent.depth)) {
                writeStartTag(out, element);
                if (isVoid(element.tag))
                    return std::nullopt;
                children.endTag = gumbo_normalized_tagname(element.tag);
                ++children.depth;
                // The parser eats one line break right after <pre>; give it one to eat.
                if (element.tag == GUMBO_TAG_PRE && element.children.length > 0) {
                    const GumboNode& first = childOf(element, 0);
                    if ((first.type == GUMBO_NODE_TEXT || first.type == GUMBO_NODE_WHITESPACE) &&
                        first.v.text.text[0] == '\n')
                        out += '\n';
                }
            } else if (keptBeyondDepth(element.tag)) {
                writeStartTag(out, element);
                return std::nullopt;
            } else {
                children.flattened = true;
            }
        }
        if (element.children.length == 0 && !children.endTag)
            return std::nullopt;
        return children;
    }

    const QByteArray& source_;
    // Which bytes of the source belong to a tag the tree shows.
    std::vector<bool> tagBytes_;
    std::unique_ptr<GumboOutput, GumboOutputDeleter> output_;
    bool rewrite_ = false;
    bool reshaped_ = false;
    const char* lastStart_ = nullptr;
};

// The markup the scan below judges without the parser: elements whose
// parsing follows their tags, nothing implied, nothing moved, nothing
// reconstructed, as long as each is closed by its own end tag in order.
enum class Plain { No, Phrase, Paragraph, Void };

Plain plainKindOf(QStringView name) {
    static const QHash<QString, Plain> kinds = [] {
        QHash<QString, Plain> kinds;
        for (const char* phrase :
             {"b",   "i",    "u",       "s",    "strike", "em",  "strong", "small", "big",  "tt",
              "sub", "sup",  "span",    "font", "code",   "var", "samp",   "kbd",   "cite", "q",
              "dfn", "abbr", "acronym", "mark", "ins",    "del", "bdi",    "bdo"})
            kinds.insert(QString::fromLatin1(phrase), Plain::Phrase);
        kinds.insert(QStringLiteral("p"), Plain::Paragraph);
        for (const char* empty : {"br", "wbr", "img"})
            kinds.insert(QString::fromLatin1(empty), Plain::Void);
        return kinds;
    }();
    return kinds.value(name.toString().toLower(), Plain::No);
}

bool isTagBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Reads the attributes of a start tag from `i`, up to and past its '>'.
// Only quoted values without character references, each attribute once and
// allowed. False when the tag is anything else.
bool scanAttributes(QStringView html, qsizetype& i, Plain kind, bool image) {
    QStringList seen;
    const qsizetype size = html.size();
    for (;;) {
        const qsizetype blanks = i;
        while (i < size && isTagBlank(html[i]))
            ++i;
        if (i >= size)
            return false;
        if (html[i] == u'>') {
            ++i;
            return true;
        }
        if (html[i] == u'/') {
            // Only an empty element may close itself; on others the slash means nothing.
            if (kind != Plain::Void || i + 1 >= size || html[i + 1] != u'>')
                return false;
            i += 2;
            return true;
        }
        if (i == blanks)
            return false;
        const qsizetype nameStart = i;
        while (i < size && (isAsciiLetter(html[i]) || html[i] == u'-'))
            ++i;
        const QString name = html.mid(nameStart, i - nameStart).toString().toLower();
        if (name.isEmpty() || seen.contains(name))
            return false;
        seen << name;
        QString value;
        if (i < size && html[i] == u'=') {
            ++i;
            if (i >= size || (html[i] != u'"' && html[i] != u'\''))
                return false;
            const QChar quote = html[i++];
            const qsizetype end = html.indexOf(quote, i);
            if (end < 0)
                return false;
            value = html.mid(i, end - i).toString();
            i = end + 1;
            if (value.contains(u'&'))
                return false;
        } else if (i < size && !isTagBlank(html[i]) && html[i] != u'>' && html[i] != u'/') {
            return false;
        }
        const bool allowed = name == QLatin1String("style") ? isPlainStyle(value)
                             : name == QLatin1String("src") ? image && isRelativePicture(value)
                                                            : isPlainAttribute(name.toLatin1());
        if (!allowed)
            return false;
    }
}

// Whether the text is certainly whole and allowed as it stands, judged by
// one pass over it: every tag one of the plain ones above with allowed,
// quoted attributes, each element closed by its own end tag in order, no
// paragraph inside a paragraph, no comment or declaration, no '<' left
// hanging at the end, nesting within the depth limit. A text the scan does
// not vouch for goes to the parser, which decides.
bool isPlainlyWhole(QStringView html) {
    struct Open {
        QString name;
        Plain kind;
    };
    std::vector<Open> open;
    qsizetype tags = 0;
    const qsizetype size = html.size();
    for (qsizetype i = html.indexOf(u'<'); i >= 0; i = html.indexOf(u'<', i)) {
        if (++tags > maxTags || i + 1 >= size)
            return false;
        const QChar next = html[i + 1];
        if (next == u'/') {
            const qsizetype nameStart = i + 2;
            qsizetype end = nameStart;
            while (end < size && isAsciiLetter(html[end]))
                ++end;
            if (open.empty() || end >= size || html[end] != u'>' ||
                html.mid(nameStart, end - nameStart)
                        .compare(open.back().name, Qt::CaseInsensitive) != 0)
                return false;
            open.pop_back();
            i = end + 1;
            continue;
        }
        if (!isAsciiLetter(next)) {
            // A '<' before anything else is text, except where it starts a
            // comment, a declaration or a processing instruction.
            if (next == u'!' || next == u'?')
                return false;
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < size && (isAsciiLetter(html[end]) || (html[end] >= u'0' && html[end] <= u'9')))
            ++end;
        const QStringView name = html.mid(i + 1, end - i - 1);
        const Plain kind = plainKindOf(name);
        if (kind == Plain::No)
            return false;
        // Beyond three of the same kind the parser forgets the outer ones.
        const auto same = std::count_if(open.begin(), open.end(), [&](const Open& o) {
            return name.compare(o.name, Qt::CaseInsensitive) == 0;
        });
        if (same >= 3 ||
            (kind == Plain::Paragraph && std::any_of(open.begin(), open.end(), [](const Open& o) {
                 return o.kind == Plain::Paragraph;
             })))
            return false;
        i = end;
        if (!scanAttributes(html, i, kind, name.compare(u"img", Qt::CaseInsensitive) == 0))
            return false;
        if (kind == Plain::Void)
            continue;
        if (qsizetype(open.size()) >= maxDepth)
            return false;
        open.push_back({name.toString(), kind});
    }
    return open.empty();
}

} // namespace

SanitisedHtml sanitiseBankHtml(const QString& html) {
    // Without a '<' there is no element: entities and quotes stay text.
    if (!html.contains(QLatin1Char('<')) || isPlainlyWhole(html))
        return {html, {}, {}};
    return sanitiseBankHtmlByParsing(html);
}

SanitisedHtml sanitiseBankHtmlByParsing(const QString& html) {
    if (html.count(QLatin1Char('<')) > maxTags)
        return {html.toHtmlEscaped(), {QStringLiteral("过多的标记")}, {}};
    const QByteArray source = html.toUtf8();
    Sanitiser sanitiser(source);
    if (!sanitiser.inspect())
        return {html, {}, {}};
    QByteArray written = sanitiser.write();
    // A reshaped tree is written and read again until its written form reads
    // back as itself; that takes a round or two.
    constexpr int maxRounds = 8;
    bool settled = !sanitiser.reshaped();
    for (int round = 0; !settled && round < maxRounds; ++round) {
        const QByteArray previous = written;
        Sanitiser again(previous);
        if (again.inspect())
            written = again.write();
        settled = written == previous;
    }
    // None is known that does not; one would be shown as plain text.
    if (!settled)
        return {html.toHtmlEscaped(), sanitiser.dropped << QStringLiteral("无法整理的标记"), {}};
    return {QString::fromUtf8(written), sanitiser.dropped, sanitiser.closed};
}

bool exceedsBankTextLimit(const QString& text) {
    // A UTF-16 unit takes at most three bytes in UTF-8.
    constexpr qsizetype maxBytesPerUnit = 3;
    if (text.size() * maxBytesPerUnit <= maxBankTextBytes)
        return false;
    return text.toUtf8().size() > maxBankTextBytes;
}

QString safeBankHtml(const QString& html) {
    if (!exceedsBankTextLimit(html))
        return sanitiseBankHtml(html).html;
    const QByteArray bytes = html.toUtf8();
    // A byte 10xxxxxx continues a character: the cut moves back to where one begins.
    qsizetype cut = maxBankTextBytes;
    while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    // The note goes after the sanitised text, where no half tag can swallow it.
    return sanitiseBankHtml(QString::fromUtf8(bytes.left(cut))).html +
           QStringLiteral("……（内容过长，已截断）");
}

} // namespace practice
