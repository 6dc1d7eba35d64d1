#include "practice/html_sanitiser.h"

#include <gtest/gtest.h>

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
        Ordinary{"UnclosedParagraphs", "<p align=center>段落<p>未闭合的段落"},
        Ordinary{"FontAndCenter",
                 "<font color=red face=\"宋体\" size=3>红字</font><center>居中</center>"},
        Ordinary{"SpanWithStyleAndDivWithClass",
                 "<span style=\"color:#c00; font-weight:bold\">重点</span><div class='x'>块</div>"},
        Ordinary{"TableWithImpliedBodyAndCells",
                 "<table border=1 cellpadding=2 width=\"80%\"><tr><th>指标</th><td "
                 "colspan=2>值</td></tr><tr><td>A<td>B<td>C</table>"},
        Ordinary{"RelativePictures",
                 "如图：<img src=\"pic/1101.svg\" width=200 alt=\"图\"><img src=./a.png>"},
        Ordinary{"PictureCarriedInTheText", "<img src=\"data:image/png;base64,iVBORw0KGgo=\">"},
        Ordinary{"EntitiesAndLoneLessThanSigns",
                 "a &lt; b &amp;&amp; c &gt; d&nbsp;&nbsp e < f, 1<2"},
        Ordinary{"PlainTextWithQuotes", "纯文本，没有标记，也有 \"引号\" 和 'quotes'"},
        Ordinary{"Lists", "<ul><li>一<li>二</ul><ol start=3><li>三</ol>"},
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

} // namespace
