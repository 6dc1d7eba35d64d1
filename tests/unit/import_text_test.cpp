#include "import/bank_import.h"
#include "import/import_file.h"
#include "import/text_layout_reader.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace importer;

namespace {

// The document as short text: a group per line ("10 case: …"), its questions
// below ("  3. stem | A=… B=… | AB | explanation").
QString summary(const ImportedDocument& document) {
    QStringList lines;
    for (const ImportedGroup& group : document.groups) {
        QString head = QString::number(group.groupType);
        if (!group.section.isEmpty())
            head += QLatin1Char(' ') + group.section;
        if (!group.sharedText.isEmpty())
            head += QStringLiteral(": ") + group.sharedText;
        lines << head;
        for (const ImportedQuestion& q : group.questions) {
            QStringList options;
            for (size_t i = 0; i < q.options.size(); ++i)
                options << QString(QChar(char16_t(u'A' + i))) + QLatin1Char('=') + q.options[i];
            QString line = QStringLiteral("  %1. %2 | %3 | %4")
                               .arg(q.number)
                               .arg(q.stem, options.join(QLatin1Char(' ')), q.answer);
            if (!q.explanation.isEmpty())
                line += QStringLiteral(" | ") + q.explanation;
            lines << line;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList problems(const ImportedDocument& document) {
    QStringList texts;
    for (const ImportProblem& problem : document.problems)
        texts << problemText(document.placeKind, problem);
    return texts;
}

ImportedDocument readText(const char* source) {
    return readImportBytes(QByteArray(source), QStringLiteral("txt"));
}

struct LayoutCase {
    const char* name;
    const char* source;
    const char* expected;
};

class TextLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(TextLayout, ReadsTheQuestionsAsTyped) {
    const ImportedDocument document = readText(GetParam().source);
    EXPECT_EQ(problems(document), QStringList());
    EXPECT_EQ(summary(document), QString::fromUtf8(GetParam().expected));
}

const LayoutCase layoutCases[] = {
    {"NumberingFormsAndOptionsOnTheirOwnLines",
     "1．题干一（  "
     "）\nA．甲\nB．乙\n答案：B\n2.题干二\nA.甲\nB.乙\n答案：A\n3、题干三\nA、甲\nB、乙\n"
     "答案：A\n",
     "3\n  1. 题干一（  ） | A=甲 B=乙 | B\n3\n  2. 题干二 | A=甲 B=乙 | A\n3\n  3. 题干三 | A=甲 "
     "B=乙 "
     "| A"},
    {"SeveralOptionsOnOneLineAndBracketedLetters",
     "1. 题干\nA．甲　B．乙  C．丙\n(D)丁 (E)戊\n【答案】C\n2. 多选\nA.一 B.二 "
     "C.三\n正确答案：A、C\n",
     "3\n  1. 题干 | A=甲 B=乙 C=丙 D=丁 E=戊 | C\n6\n  2. 多选 | A=一 B=二 C=三 | AC"},
    {"ExplanationsAndTextRunningOnToTheNextLine",
     "1. 题干第一行\n题干第二行\nA. 甲\n乙的续行\nB. 乙\n答案：A\n解析：第一句\n第二句\n"
     "2. 题\nA. 甲\nB. 乙\n答案：B 【解析】同一行\n",
     "3\n  1. 题干第一行<br>题干第二行 | A=甲<br>乙的续行 B=乙 | A | 第一句<br>第二句\n3\n  2. 题 "
     "| "
     "A=甲 B=乙 | B | 同一行"},
    {"FullWidthSignsBlanksAndBlankLines", "\n  １．　题干 \n\n　Ａ．甲\n\tＢ．乙\n\n答案：Ｂ\n\n",
     "3\n  1. 题干 | A=甲 B=乙 | B"},
    {"TypeHeadingsSetTheTypeAndSection",
     "一、A1型题\n1. a\nA. x\nB. y\n答案：A\n二、A2型题（每题1分）\n1. b\nA. x\nB. y\n答案：B\n"
     "三、X型题\n1. c\nA. x\nB. y\n答案：AB\n四、不定项选择题\n1. d\nA. x\nB. y\n答案：A\n",
     "3 A1型题\n  1. a | A=x B=y | A\n4 A2型题\n  1. b | A=x B=y | B\n6 X型题\n  1. c | A=x B=y | "
     "AB\n8 不定项选择题\n  1. d | A=x B=y | A"},
    {"CaseGroupWithItsStem",
     "A3/A4型题\n（1～2题共用题干）\n男，52岁。\n石英粉厂工人。\n1．诊断\nA．甲 B．乙\n答案：A\n"
     "2．检查\nA．甲 B．乙\n答案：AB\n3．单独一题\nA．甲 B．乙\n答案：B\n",
     "10 A3/A4型题: 男，52岁。<br>石英粉厂工人。\n  1. 诊断 | A=甲 B=乙 | A\n  2. 检查 | A=甲 "
     "B=乙 | AB\n3 A3/A4型题\n  3. 单独一题 | A=甲 B=乙 | B"},
    {"MatchingGroupWithAndWithoutItsMarker",
     "B1型题\n（1～2题共用备选答案）\nA．矽肺\nB．石棉肺\n1．胸膜斑\n答案：B\n2．最常见\n答案：A\n"
     "A．甲 B．乙 C．丙\n3．第三\n答案：C\n4．第四\n答案：A\n",
     "11 B1型题: A．矽肺<br>B．石棉肺\n  1. 胸膜斑 |  | B\n  2. 最常见 |  | A\n11 B1型题: "
     "A．甲<br>B．乙<br>C．丙\n  3. 第三 |  | C\n  4. 第四 |  | A"},
    {"AnswerKeyAtTheEnd",
     "1. a\nA. x\nB. y\n2. b\nA. x\nB. y\n3. c\nA. x\nB. y\nC. z\n参考答案\n1.B 2、A\n3．AC\n"
     "解析：第三题的解析\n",
     "3\n  1. a | A=x B=y | B\n3\n  2. b | A=x B=y | A\n6\n  3. c | A=x B=y C=z | AC | "
     "第三题的解析"},
    {"AnswerKeyWithRangesAndANumberTable",
     "1. a\nA. x\nB. y\n2. b\nA. x\nB. y\n3. c\nA. x\nB. y\n4. d\nA. x\nB. y\n参考答案：1-2 BA\n3 "
     "4\n"
     "A B\n",
     "3\n  1. a | A=x B=y | B\n3\n  2. b | A=x B=y | A\n3\n  3. c | A=x B=y | A\n3\n  4. d | A=x "
     "B=y | B"},
    {"AnswerKeyHeadingsForNumbersThatStartAgain",
     "一、单选题\n1. a\nA. x\nB. y\n二、多选题\n1. b\nA. x\nB. y\n参考答案\n一、单选题\n1.B\n"
     "二、多选题\n1.AB\n",
     "3 单选题\n  1. a | A=x B=y | B\n6 多选题\n  1. b | A=x B=y | AB"},
    {"MarkupIsText", "1. x<y & <b>\nA. <i>\nB. b\n答案：A\n",
     "3\n  1. x&lt;y &amp; &lt;b&gt; | A=&lt;i&gt; B=b | A"},
};

INSTANTIATE_TEST_SUITE_P(Layouts, TextLayout, testing::ValuesIn(layoutCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ProblemCase {
    const char* name;
    const char* source;
    const char* expected; // the problems, one per line
    int faulty;
};

class TextProblems : public testing::TestWithParam<ProblemCase> {};

TEST_P(TextProblems, AreNamedByLine) {
    const ImportedDocument document = readText(GetParam().source);
    EXPECT_EQ(problems(document).join(QLatin1Char('\n')), QString::fromUtf8(GetParam().expected));
    EXPECT_EQ(document.faultyCount(), GetParam().faulty);
}

const ProblemCase problemCases[] = {
    {"NoAnswer", "1. a\nA. x\nB. y\n2. b\nA. x\nB. y\n答案：A\n", "第 1 行：第 1 题没有答案。", 1},
    {"AnswerLetterWithoutAnOption", "1. a\nA. x\nB. y\nC. z\n答案：D\n",
     "第 5 行：第 1 题的答案“D”没有对应的选项（选项只到 C）。", 1},
    {"MatchingQuestionsWithoutOptions",
     "B1型题\n（1～2题共用备选答案）\n1. a\n答案：A\n2. b\n答案：B\n",
     "第 2 行：配伍题组没有共用备选答案（A．… B．…）。", 2},
    {"MatchingAnswerBeyondTheLetters", "（1～1题共用备选答案）\nA. x\nB. y\n1. a\n答案：C\n",
     "第 5 行：第 1 题的答案“C”没有对应的备选答案（备选答案只到 B）。", 1},
    {"NumberThatRepeats", "1. a\nA. x\nB. y\n答案：A\n1. b\nA. x\nB. y\n答案：B\n",
     "第 5 行：题号 1 重复（第 1 行已有第 1 题）。", 1},
    {"SingleChoiceWithTwoAnswers", "单项选择题\n1. a\nA. x\nB. y\n答案：AB\n",
     "第 5 行：第 1 题是单项选择题，却有多个答案“AB”。", 1},
    {"NoOptions", "1. a\n答案：A\n", "第 1 行：第 1 题没有选项。", 1},
    {"AnswerThatIsNoLetter", "1. a\nA. x\n答案：对\n", "第 3 行：第 1 题的答案“对”不是选项字母。",
     1},
    {"KeyForAQuestionThatIsNotThere", "1. a\nA. x\nB. y\n参考答案\n1.A 7.B\n",
     "第 5 行：参考答案中的第 7 题在文中找不到。", 0},
    {"KeyDisagreeingWithTheAnswer", "1. a\nA. x\nB. y\n答案：A\n参考答案\n1.B\n",
     "第 6 行：第 1 题在参考答案中是“B”，题后的答案却是“A”。", 1},
    {"OptionsOutOfOrder", "1. a\nA. x\nC. y\n答案：A\n",
     "第 3 行：第 1 题的选项应按字母顺序排列，此处应为“B”，却是“C”。", 1},
};

INSTANTIATE_TEST_SUITE_P(Problems, TextProblems, testing::ValuesIn(problemCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextEncodings, Gb18030AndCarriageReturnsReadAsUtf8) {
    const QString source = QStringLiteral("1．粉尘\r\nA．甲\rB．乙\r\n答案：B\r\n");
    const ImportedDocument fromGb =
        readImportBytes(QStringEncoder("GB18030").encode(source), QStringLiteral("txt"));
    const ImportedDocument fromUtf8 =
        readImportBytes("\xef\xbb\xbf" + source.toUtf8(), QStringLiteral("txt"));
    EXPECT_EQ(summary(fromGb), QStringLiteral("3\n  1. 粉尘 | A=甲 B=乙 | B"));
    EXPECT_EQ(summary(fromUtf8), summary(fromGb));
    EXPECT_EQ(fromGb.problems.size(), 0u);
}

TEST(TextProblems, ATextLongerThanPagesShowIsNamed) {
    const QByteArray source = "1. " + QByteArray(70 * 1024, 'x') + "\nA. a\n答案：A\n";
    const ImportedDocument document = readImportBytes(source, QStringLiteral("txt"));
    EXPECT_EQ(problems(document),
              QStringList({QStringLiteral(
                  "第 1 行：第 1 题的文字过长：题干、选项和解析每项最多 65536 字节。")}));
}

TEST(TextEncodings, AnUnknownSuffixIsRefusedByName) {
    try {
        readImportBytes("x", QStringLiteral("doc"));
        FAIL() << "a .doc file was read";
    } catch (const ImportError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral(".doc"))) << error.what();
    }
}

} // namespace
