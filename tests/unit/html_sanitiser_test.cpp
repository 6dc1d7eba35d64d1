#include "practice/html_sanitiser.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <gumbo.h>
#include <random>

using practice::safeBankHtml;
using practice::sanitiseBankHtml;

namespace {

struct Case {
    const char* name;
    const char* in;
    const char* out;
    friend void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
};

struct Ordinary {
    const char* name;
    const char* text;
    friend void PrintTo(const Ordinary& o, std::ostream* out) { *out << o.name; }
};

// Ordinary markup comes back exactly as written.
class SanitiserKeeps : public testing::TestWithParam<Ordinary> {};

TEST_P(SanitiserKeeps, OrdinaryMarkupByteForByte) {
    const QString text = QString::fromUtf8(GetParam().text);
    const practice::SanitisedHtml result = sanitiseBankHtml(text);
    EXPECT_EQ(result.html.toStdString(), text.toStdString());
    EXPECT_TRUE(result.dropped.isEmpty()) << result.dropped.join(" ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Ordinary, SanitiserKeeps,
    testing::Values(
        Ordinary{"SubscriptsAndSuperscripts",
                 "H<sub>2</sub>O 与 CO<SUB>2</SUB>，10<sup>-6</sup> mol/L"},
        Ordinary{"BoldItalicUnderlineBreaks",
                 "<b>粗体</b><i>斜体</i><u>下划线</u><br>下一行<br/>再一行"},
        Ordinary{"Paragraphs", "<p align=center>段落</p><p>另一段</p>"},
        Ordinary{"FontAndCenter",
                 "<font color=red face=\"宋体\" size=3>红字</font><center>居中</center>"},
        Ordinary{"SpanWithStyleAndDivWithClass",
                 "<span style=\"color:#c00; font-weight:bold\">重点</span><div class='x'>块</div>"},
        Ordinary{"Table", "<table border=1 cellpadding=2 width=\"80%\"><tbody><tr><th>指标</th><td "
                          "colspan=2>值</td></tr><tr><td>A</td><td>B</td></tr></tbody></table>"},
        Ordinary{"RelativePictures",
                 "如图：<img src=\"pic/1101.svg\" width=200 alt=\"图\"><img src=./a.png>"
                 "<img src=\"pic/a..b/..c.png\">"},
        Ordinary{"PictureCarriedInTheText", "<img src=\"data:image/png;base64,iVBORw0KGgo=\">"},
        Ordinary{"EntitiesAndLoneLessThanSigns",
                 "a &lt; b &amp;&amp; c &gt; d&nbsp;&nbsp e < f, 1<2"},
        Ordinary{"PlainTextWithQuotes", "纯文本，没有标记，也有 \"引号\" 和 'quotes'"},
        Ordinary{"Lists", "<ul><li>一</li><li>二</li></ul><ol start=3><li>三</li></ol>"},
        Ordinary{"LessThanSignInAnAttribute", "<span title=\"a<b 且 c>d\">比较</span>"},
        Ordinary{"Preformatted", "<pre>\n  缩进\n</pre>"}),
    [](const auto& info) { return std::string(info.param.name); });

class SanitiserRewrites : public testing::TestWithParam<Case> {};

TEST_P(SanitiserRewrites, DangerousMarkupToItsSafeForm) {
    const practice::SanitisedHtml result = sanitiseBankHtml(QString::fromUtf8(GetParam().in));
    EXPECT_EQ(result.html.toStdString(), std::string(GetParam().out));
    EXPECT_FALSE(result.dropped.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Dangerous, SanitiserRewrites,
    testing::Values(
        Case{"ScriptWithItsText", "甲<script>alert(1)</script>乙", "甲乙"},
        Case{"EventAttribute",
             "<img src=\"missing.png\" onerror=\"location.href='http://scbt13001'\">",
             "<img src=\"missing.png\">"},
        Case{"EventAttributeInCapitals", "<B OnClick=\"x()\">粗</B>", "<b>粗</b>"},
        Case{"ContentButtonPosingAsTheAnswerButton",
             "题<input name=\"sanyangxsda\" type=\"button\" value=\"显示答案\" "
             "onclick=\"location.href='http://scbt13001'\">",
             "题"},
        Case{"FormKeepsItsText", "<form action=\"http://x\">表<select><option>1</select></form>",
             "表"},
        Case{"BaseAndMetaAndLink",
             "<base href=\"http://example.invalid/\"><meta http-equiv=refresh content=0>"
             "<link rel=stylesheet href=x.css>文",
             "文"},
        Case{"FramesAndObjects",
             "<iframe src=\"file:///etc/passwd\"></iframe><object data=x></object><embed src=y>"
             "<frameset></frameset>",
             ""},
        Case{"StyleElement", "<style>body{display:none}</style>字", "字"},
        Case{"LinkKeepsItsText", "<a href=\"javascript:alert(1)\">点我</a>", "点我"},
        Case{"ScriptAddressInPicture", "<img src=\"javascript:alert(1)\" alt=a>",
             "<img alt=\"a\">"},
        Case{"ScriptAddressHiddenByEntitiesAndBlanks",
             "<img src=\"&#x20;java&#9;script:alert(1)\">", "<img>"},
        Case{"RemotePicture", "<img src=\"http://example.invalid/x.png\">", "<img>"},
        Case{"SchemeRelativePicture", "<img src=\"//example.invalid/x.png\">", "<img>"},
        Case{"AbsolutePicture", "<img src=\"/etc/x.png\">", "<img>"},
        Case{"PictureClimbingOutOfThePagesFolder", "<img src=\"../../etc/passwd\">", "<img>"},
        Case{"PictureClimbingOutBehindAFolder", "<img src=\"pic/../../x.png\">", "<img>"},
        Case{"PictureClimbingOutWithBackslashes", "<img src=\"pic\\..\\..\\x.png\">", "<img>"},
        Case{"PictureClimbingOutWithEscapedDots", "<img src=\"%2E%2e/x.png\">", "<img>"},
        Case{"PictureClimbingOutWrittenAsEntities", "<img src=\"&#46;&#46;/x.png\">", "<img>"},
        Case{"LocalFileAddress", "<img src=\"file:///etc/passwd\">", "<img>"},
        Case{"NonImageData", "<img src=\"data:text/html,<script>x</script>\">", "<img>"},
        Case{"IdsAndNamesThatCouldPassForThePages", "<span id=\"ansnote7\" name=x>文</span>",
             "<span>文</span>"},
        Case{"StyleThatFetches", "<p style=\"background:url(http://example.invalid/)\">段</p>",
             "<p>段</p>"},
        Case{"SvgWithScript", "图<svg><script>alert(1)</script></svg>", "图"},
        Case{"NoscriptParsedDifferentlyWithScripts",
             "<noscript><p title=\"</noscript><img src=x onerror=alert(1)>\"></noscript>", ""},
        Case{"CommentHidingMarkup", "<!--<img src=\"--><img src=x onerror=alert(1)>",
             "<img src=\"x\">"},
        Case{"TagCutOffAtTheEnd", "文<img src=x onerror=alert(1) title=", "文"},
        Case{"StrayEndTagThatWouldCloseThePagesBlock", "解析</div>露出的答案", "解析露出的答案"},
        Case{"QuotesAndAmpersandsInKeptAttributesAreEscaped",
             "<span title='a\"b&amp;c'>x</span><script></script>",
             "<span title=\"a&quot;b&amp;c\">x</span>"},
        Case{"TextIsEscapedWhenRewritten", "<script></script>1 &lt; 2 &amp; &lt;b&gt;",
             "1 &lt; 2 &amp; &lt;b&gt;"},
        Case{"TextLeftOverFromDroppedMarkupCannotFormATag",
             "<<script></script>img src=x onerror=alert(1)>", "&lt;img src=x onerror=alert(1)&gt;"},
        Case{"OrdinaryMarkupAroundADroppedPart",
             "<b>粗</b><table><tr><td>格</td></tr></table><script>x</script>",
             "<b>粗</b><table><tbody><tr><td>格</td></tr></tbody></table>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Sanitiser, NamesWhatItDrops) {
    const practice::SanitisedHtml result = sanitiseBankHtml(
        "<a href=x onclick=y>a</a><script></script><!-- c --><img src=x onerror=z>");
    EXPECT_EQ(result.dropped, QStringList({"<a>", "<script>", "<!--…-->", "onerror="}));
}

struct Unbalanced {
    const char* name;
    const char* in;
    const char* out;
    QStringList closed;
    friend void PrintTo(const Unbalanced& u, std::ostream* out) { *out << u.name; }
};

// A text that leaves anything open or set aside is written out whole.
class SanitiserCompletes : public testing::TestWithParam<Unbalanced> {};

TEST_P(SanitiserCompletes, WritesTheTextWhole) {
    const practice::SanitisedHtml result = sanitiseBankHtml(QString::fromUtf8(GetParam().in));
    EXPECT_EQ(result.html.toStdString(), std::string(GetParam().out));
    EXPECT_EQ(result.closed, GetParam().closed);
}

INSTANTIATE_TEST_SUITE_P(
    Unbalanced, SanitiserCompletes,
    testing::Values(
        Unbalanced{"HiddenBlockLeftOpen",
                   "解析<div style=\"display:none\">隐藏",
                   "解析<div style=\"display:none\">隐藏</div>",
                   {"<div>"}},
        Unbalanced{"ParagraphsClosedByTheNext",
                   "<p align=center>段落<p>未闭合的段落",
                   "<p align=\"center\">段落</p><p>未闭合的段落</p>",
                   {"<p>"}},
        Unbalanced{
            "ParagraphClosedByABlock", "<p>段<div>块</div>", "<p>段</p><div>块</div>", {"<p>"}},
        Unbalanced{"TableWithImpliedBodyAndCells",
                   "<table border=1><tr><td>A<td>B</table>",
                   "<table border=\"1\"><tbody><tr><td>A</td><td>B</td></tr></tbody></table>",
                   {"<tr>", "<td>"}},
        Unbalanced{"TableLeftOpen",
                   "<table><tr><td>格",
                   "<table><tbody><tr><td>格</td></tr></tbody></table>",
                   {"<table>", "<tr>", "<td>"}},
        Unbalanced{"ListItemsClosedByTheList",
                   "<ul><li>一<li>二</ul>",
                   "<ul><li>一</li><li>二</li></ul>",
                   {"<li>"}},
        Unbalanced{"FormattingReopenedAfterMisnesting",
                   "<b><i>粗斜</b>斜",
                   "<b><i>粗斜</i></b><i>斜</i>",
                   {"<i>"}},
        Unbalanced{"SelfClosingSpan", "<span/>文", "<span>文</span>", {"<span>"}},
        Unbalanced{"EndTagOfAVoidElement", "一</br>二", "一<br>二", {}},
        Unbalanced{"ParagraphEndWithoutStart", "字</p>", "字<p></p>", {}},
        Unbalanced{"TagCutOffInsideAQuotedValue", "文<b title=\"x", "文", {}},
        Unbalanced{"LessThanSignAtTheEnd", "1 < 2 且 2<", "1 &lt; 2 且 2&lt;", {}},
        // The parser reads control characters as replacement characters.
        Unbalanced{"ControlCharacters",
                   "<b>\x01\x0b\x7f</b\x0c>\r\n<p>",
                   "<b>\uFFFD\uFFFD\uFFFD</b>\n<p></p>",
                   {"<p>"}},
        Unbalanced{"PreformattedLeftOpen", "<pre>\n\n码", "<pre>\n\n码</pre>", {"<pre>"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Sanitiser, WarnsOfStrayTagsOnlyOutsideAttributes) {
    EXPECT_TRUE(sanitiseBankHtml("<img src=a.png title=\"<b>\" alt='</div>'>").dropped.isEmpty());
    EXPECT_EQ(sanitiseBankHtml("<img src=a.png></img>").dropped,
              QStringList({"多余或不完整的标记"}));
}

// A second, independent parse of sanitised text followed by more markup, as
// the page puts one fragment after another into the same container.
struct ReadBack {
    bool markerIsLastChild = false;
    int depth = 0;
};

ReadBack readBack(const QString& sanitised) {
    const QByteArray html = (sanitised + QStringLiteral("<span id=marker></span>")).toUtf8();
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = GUMBO_TAG_DIV;
    GumboOutput* output = gumbo_parse_with_options(&options, html.constData(), size_t(html.size()));
    ReadBack result;
    const GumboVector& top = output->root->v.element.children;
    if (top.length > 0) {
        const auto* last = static_cast<const GumboNode*>(top.data[top.length - 1]);
        const GumboAttribute* id = last->type == GUMBO_NODE_ELEMENT
                                       ? gumbo_get_attribute(&last->v.element.attributes, "id")
                                       : nullptr;
        result.markerIsLastChild = id && std::string(id->value) == "marker";
    }
    std::vector<std::pair<const GumboNode*, int>> open{{output->root, 0}};
    while (!open.empty()) {
        const auto [node, depth] = open.back();
        open.pop_back();
        result.depth = std::max(result.depth, depth);
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        for (unsigned i = 0; i < node->v.element.children.length; ++i)
            open.emplace_back(static_cast<const GumboNode*>(node->v.element.children.data[i]),
                              depth + 1);
    }
    gumbo_destroy_output(&options, output);
    return result;
}

// Random tag soup from the pieces bank texts and their faults are made of.
QString tagSoup(std::mt19937& random) {
    static const std::vector<const char*> pieces = {"<b>",
                                                    "</b>",
                                                    "<i>",
                                                    "</i>",
                                                    "<p>",
                                                    "</p>",
                                                    "<div style=\"display:none\">",
                                                    "</div>",
                                                    "<span title=\"",
                                                    "\">",
                                                    "\"",
                                                    "'",
                                                    "<span>",
                                                    "</span>",
                                                    "<font color=red>",
                                                    "</font>",
                                                    "<table>",
                                                    "</table>",
                                                    "<tr>",
                                                    "</tr>",
                                                    "<td>",
                                                    "</td>",
                                                    "<caption>",
                                                    "<colgroup><col>",
                                                    "<ul>",
                                                    "<li>",
                                                    "</ul>",
                                                    "<pre>",
                                                    "</pre>",
                                                    "<br>",
                                                    "</br>",
                                                    "<img src=a.png>",
                                                    "<hr/>",
                                                    "<h1>",
                                                    "</h1>",
                                                    "<sub>",
                                                    "</sub>",
                                                    "<nobr>",
                                                    "<a href=x>",
                                                    "</a>",
                                                    "<script>",
                                                    "</script>",
                                                    "<style>",
                                                    "<textarea>",
                                                    "<select>",
                                                    "<option>",
                                                    "<svg>",
                                                    "<math>",
                                                    "<!--",
                                                    "-->",
                                                    "<!doctype html>",
                                                    "<?x?>",
                                                    "<",
                                                    "</",
                                                    ">",
                                                    "=",
                                                    "&",
                                                    "&amp;",
                                                    "&lt;",
                                                    "&#0;",
                                                    "&nbsp",
                                                    "字",
                                                    "a",
                                                    " ",
                                                    "\n",
                                                    "\r",
                                                    "\t",
                                                    "\x01",
                                                    "\x0b",
                                                    "\x0c",
                                                    "\x1f",
                                                    "\x7f",
                                                    "\u0085",
                                                    "\u2028",
                                                    "\u00a0"};
    std::uniform_int_distribution<int> length(1, 24);
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    QString soup;
    for (int n = length(random); n > 0; --n)
        soup += QString::fromUtf8(pieces[pick(random)]);
    if (random() % 8 == 0)
        soup += QChar(u'\0');
    return soup;
}

TEST(Sanitiser, TagSoupComesOutWholeAndStable) {
    // Trees the parser builds from misplaced markup, which it would build
    // differently from their written form: moved out of a table, or left
    // nested where a link around them was taken away.
    QStringList soups = {"<nobr><table><b><nobr>字", "<li><span><table><li>字",
                         "<h1><a href=x></p><h1>字", "<b><i>粗斜</b>斜", "<p><b>x<p>y"};
    std::mt19937 random(20261211);
    for (int n = 0; n < 10000; ++n)
        soups << tagSoup(random);
    for (const QString& soup : soups) {
        const QString once = sanitiseBankHtml(soup).html;
        const practice::SanitisedHtml twice = sanitiseBankHtml(once);
        ASSERT_TRUE(readBack(once).markerIsLastChild)
            << "in: " << soup.toStdString() << "\nout: " << once.toStdString();
        ASSERT_EQ(twice.html.toStdString(), once.toStdString()) << "in: " << soup.toStdString();
        ASSERT_TRUE(twice.dropped.isEmpty() && twice.closed.isEmpty())
            << "out: " << once.toStdString()
            << "\nnotes: " << (twice.dropped + twice.closed).join(' ').toStdString();
    }
}

TEST(Sanitiser, DeepNestingIsFlattenedWithItsContent) {
    const struct {
        const char* name;
        QString text;
    } cases[] = {
        {"TablesInFonts", QStringLiteral("<font color=red><table><tr><td>").repeated(2400) +
                              QStringLiteral("最深处")},
        {"Bold", QStringLiteral("<b>").repeated(9000) + QStringLiteral("最深处<br>下一行")},
        {"ClosedDivs", QStringLiteral("<div>").repeated(4000) + QStringLiteral("最深处") +
                           QStringLiteral("</div>").repeated(4000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const practice::SanitisedHtml result = sanitiseBankHtml(c.text);
        EXPECT_TRUE(result.dropped.contains("过深的嵌套"));
        EXPECT_TRUE(result.html.contains("最深处"));
        const ReadBack back = readBack(result.html);
        EXPECT_TRUE(back.markerIsLastChild);
        // Below the fragment's root: the kept elements and the text in the deepest.
        EXPECT_LE(back.depth, 32 + 1);
        EXPECT_TRUE(sanitiseBankHtml(result.html).html == result.html);
    }
}

TEST(Sanitiser, LongTextIsCutBetweenCharactersAndMadeWhole) {
    const QString note = QStringLiteral("……（内容过长，已截断）");
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    const struct {
        const char* name;
        QString text;
        QString start;
    } cases[] = {
        {"Chinese", QStringLiteral("<b>") + QString(30000, u'字'), QStringLiteral("<b>字字")},
        {"FourByteCharactersAcrossTheLimit", QStringLiteral("a") + face.repeated(20000),
         QStringLiteral("a") + face},
        {"TagCutInHalf", QString(65530, u'x') + QStringLiteral("<img src=\"a.png\">后文"),
         QStringLiteral("xxx")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString shown = safeBankHtml(c.text);
        EXPECT_TRUE(shown.startsWith(c.start));
        EXPECT_TRUE(shown.endsWith(note));
        EXPECT_FALSE(shown.contains(QChar::ReplacementCharacter));
        const QString body = shown.chopped(note.size());
        EXPECT_LE(body.toUtf8().size(), practice::maxBankTextBytes + 16);
        EXPECT_TRUE(sanitiseBankHtml(body).html == body);
    }
    const QString atTheLimit(practice::maxBankTextBytes, u'x');
    EXPECT_TRUE(safeBankHtml(atTheLimit) == atTheLimit);
}

} // namespace

namespace {

// Random nested markup, mostly well formed, from tags the scan judges and
// tags it leaves to the parser, with the attribute forms and text pieces that
// decide between them; now and then an end tag is left out or doubled.
QString nestedMarkup(std::mt19937& random, int depth) {
    static const std::vector<const char*> tags = {
        "b",   "I",    "span", "font", "sub", "sup", "p",     "em", "strong",
        "u",   "code", "q",    "div",  "li",  "h1",  "table", "a",  "nobr",
        "pre", "td",   "ruby", "rt",   "br",  "img", "wbr",   "hr"};
    static const std::vector<const char*> attributes = {"",
                                                        " class=\"c\"",
                                                        " color=red",
                                                        " color='red'",
                                                        " title=\"a&amp;b\"",
                                                        " title=\"x\" title=\"y\"",
                                                        " style=\"color:red\"",
                                                        " style=\"background:url(x)\"",
                                                        " src=\"a.png\"",
                                                        " src=\"http://x/a.png\"",
                                                        " onclick=\"f()\"",
                                                        " id=\"a1\"",
                                                        " nowrap",
                                                        "/",
                                                        " /"};
    static const std::vector<const char*> texts = {"字", "a < b",      "<",  "&amp;", "&",   "\n",
                                                   " ",  "<!-- x -->", "</", "<3",    "\"'", ">"};
    std::uniform_int_distribution<int> percent(0, 99);
    const auto pick = [&](const auto& list) {
        return QString::fromUtf8(
            list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(random)]);
    };
    QString out;
    const int children = depth > 6 ? 0 : percent(random) % 4;
    for (int n = 0; n < children; ++n) {
        if (percent(random) < 35) {
            out += pick(texts);
            continue;
        }
        const QString tag = pick(tags);
        out += QLatin1Char('<') + tag + pick(attributes) + QLatin1Char('>');
        out += nestedMarkup(random, depth + 1);
        if (percent(random) < 92)
            out += QStringLiteral("</%1>").arg(tag);
        if (percent(random) < 3)
            out += QStringLiteral("</%1>").arg(tag);
    }
    return out;
}

} // namespace

TEST(Sanitiser, ScanVouchesOnlyForWhatTheParserKeepsAsItIs) {
    QStringList texts = {"<b>粗</b><img src=\"a.png\"/><p>段<sub>2</sub></p>",
                         "<b><b><b><b>深</b></b></b></b>",
                         "<p><span><p>字</p></span></p>",
                         "<font color=\"red\">红</font> 1 < 2",
                         "<span title=\"x\"title=\"y\">字</span>",
                         "<b>字</b><"};
    std::mt19937 random(20261211);
    for (int n = 0; n < 20000; ++n)
        texts << nestedMarkup(random, 0);
    // Texts kept as they are: whatever the scan vouched for is among them.
    int kept = 0;
    for (const QString& text : texts) {
        const practice::SanitisedHtml result = sanitiseBankHtml(text);
        if (!text.contains(u'<') || result.html != text || !result.dropped.isEmpty() ||
            !result.closed.isEmpty())
            continue;
        ++kept;
        const practice::SanitisedHtml parsed = practice::sanitiseBankHtmlByParsing(text);
        ASSERT_EQ(parsed.html.toStdString(), text.toStdString());
        ASSERT_TRUE(parsed.dropped.isEmpty() && parsed.closed.isEmpty())
            << text.toStdString()
            << "\nnotes: " << (parsed.dropped + parsed.closed).join(' ').toStdString();
    }
    EXPECT_GT(kept, 1000);
}
