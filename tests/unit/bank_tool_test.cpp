#include "bank_source.h"
#include "bank_writer.h"
#include "practice/html_sanitiser.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "store/subject_statements.h"
#include "store/tree_statements.h"
#include "synthetic_bank.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using banktool::readBankSources;
using banktool::ToolError;

namespace {

const char header[] = "subject: 测试科目\nfolder: test\n"
                      "type 3 code 1: 单选\ntype 6 code 4: 多选\n"
                      "type 10 code 8: 案例\ntype 11 code 9: 配伍\n";

const char chapterHead[] = "top: 1 总论\nsection: 11 第一节\nchapter: 1101 第一章\n";

// A source folder with bank.txt and one chapter file.
class SourceFolder {
public:
    explicit SourceFolder(const QByteArray& chapter) {
        write("bank.txt", header);
        write("c1101.txt", chapterHead + chapter);
    }
    void write(const QString& name, const QByteArray& text) {
        QFile file(dir_.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text);
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

QString refusal(const QByteArray& chapter) {
    SourceFolder folder(chapter);
    QStringList warnings;
    try {
        readBankSources({folder.path()}, warnings);
    } catch (const ToolError& error) {
        return error.message();
    }
    return QStringLiteral("(accepted)");
}

struct BadSource {
    const char* name;
    const char* chapter;
    const char* message;
    friend void PrintTo(const BadSource& source, std::ostream* out) { *out << source.name; }
};

class BankToolRefuses : public testing::TestWithParam<BadSource> {};

TEST_P(BankToolRefuses, NamingFileLineAndFault) {
    const QString message = refusal(GetParam().chapter);
    EXPECT_TRUE(message.startsWith("c1101.txt:")) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(GetParam().message))) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BankToolRefuses,
    testing::Values(
        BadSource{"AnswerNotAnOption", "group 1 type 3\nquestion 1: 题\nA: 甲\nB: 乙\nanswer: C\n",
                  "c1101.txt:8: 答案字母“C”不在本题的选项中"},
        BadSource{"AnswerOutOfOptionOrder",
                  "group 1 type 6\nquestion 1: 题\nA: 甲\nB: 乙\nC: 丙\nanswer: CA\n",
                  "答案字母应按选项顺序排列"},
        BadSource{"AnswerLetterTwice", "group 1 type 6\nquestion 1: 题\nA: 甲\nB: 乙\nanswer: AA\n",
                  "答案字母应按选项顺序排列"},
        BadSource{"SingleAnswerWithTwoLetters",
                  "group 1 type 3\nquestion 1: 题\nA: 甲\nB: 乙\nanswer: AB\n",
                  "单选题只能有一个答案字母"},
        BadSource{"UnknownGroupType", "group 1 type 12\nquestion 1: 题\nanswer: A\n",
                  "c1101.txt:4: 未知的题型“12”"},
        BadSource{"GroupTypeNotInHeader", "group 1 type 4\nquestion 1: 题\nA: 甲\nanswer: A\n",
                  "题型 4 没有在题库头文件中定义"},
        BadSource{"MatchingWithoutLetters",
                  "group 1 type 11\nlead: A．甲\nquestion 1: 题\nanswer: A\n",
                  "配伍题组须写“letters N”"},
        BadSource{"MatchingWithSixteenLetters",
                  "group 1 type 11 letters 16\nlead: 甲\nquestion 1: 题\nanswer: A\n",
                  "N 为 1 到 15"},
        BadSource{"MatchingAnswerBeyondLetters",
                  "group 1 type 11 letters 5\nlead: A．甲\nquestion 1: 题\nanswer: F\n",
                  "配伍题的答案应是 A 到 E 中的一个字母"},
        BadSource{"CaseQuestionWithoutItem",
                  "group 1 type 10\ncase: 病例\nquestion 1: 题\nA: 甲\nanswer: A\n",
                  "c1101.txt:6: 案例题须写小题序号"},
        BadSource{"MissingPicture",
                  "group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\npicture: pic/none.svg\n",
                  "c1101.txt:8: 图片文件“pic/none.svg”不存在"},
        BadSource{
            "DuplicateQuestionId",
            "group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\nquestion 1: 题\nA: 甲\nanswer: A\n",
            "c1101.txt:8: 试题编号 1 重复，已在 c1101.txt:5 使用"},
        BadSource{"DuplicateGroupId",
                  "group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\ngroup 1 type 3\nquestion 2: "
                  "题\nA: 甲\nanswer: A\n",
                  "题组编号 1 重复"},
        BadSource{"NodeRedefined", "section: 11 另一节\n",
                  "节点编号 11 与 c1101.txt:2 的定义不一致"},
        BadSource{"OptionsOutOfOrder", "group 1 type 3\nquestion 1: 题\nB: 乙\nanswer: B\n",
                  "选项应按字母顺序排列，此处应为“A”"},
        BadSource{"QuestionWithoutAnswer", "group 1 type 3\nquestion 1: 题\nA: 甲\n",
                  "试题缺少 answer 行"},
        BadSource{"GroupWithoutQuestions", "group 1 type 3\n", "题组中没有试题"},
        BadSource{"UnknownLine", "group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\n随便写的\n",
                  "无法识别的行"},
        BadSource{"InvalidUtf8", "group 1 type 3\nquestion 1: 题\xff\xfe\nA: 甲\nanswer: A\n",
                  "c1101.txt:5: 不是有效的 UTF-8 文本"},
        BadSource{"PictureAboveTheBankFolder",
                  "group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\npicture: ../../etc/hostname\n",
                  "c1101.txt:8: 图片路径“../../etc/hostname”指向题库文件夹之外"},
        BadSource{"AbsolutePicturePath",
                  "group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\npicture: /etc/hostname\n",
                  "c1101.txt:8: 图片路径“/etc/hostname”指向题库文件夹之外"},
        BadSource{"CarriageReturnLineEnds", "group 1 type 3\rquestion 1: 题\rA: 甲\ranswer: A\r",
                  "c1101.txt:4: 行中有单独的回车符（CR）"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BankTool, BuildsAGoodSourceWithItsOwnIds) {
    SourceFolder folder("group 5 type 3\n"
                        "question 7: 单选题\nA: 甲\nB: 乙\nanswer: B\nexplain: 因为乙。\n"
                        "group 6 type 10\ncase: 病例\n"
                        "question 9 item 1: 小题\nA: 甲\nB: 乙\nC: 丙\nanswer: AC\nexplain: 解析\n"
                        "group 8 type 11 letters 5\nlead: A．甲 B．乙\n"
                        "question 11: 配伍\nanswer: E\nexplain: 解析\n");
    QDir(folder.path()).mkdir("pic");
    QStringList warnings;
    const banktool::BankContent content = readBankSources({folder.path()}, warnings);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    QTemporaryDir out;
    const QString path = out.filePath("med.db");
    banktool::writeBank(content, path);

    store::Bank bank(path);
    EXPECT_EQ(store::subject(bank)->ID, QString("测试科目"));
    EXPECT_EQ(*store::questionCount(bank), QString("3"));
    const auto chapters = store::childNodes(bank, 11);
    ASSERT_EQ(chapters.size(), 1u);
    EXPECT_EQ(chapters[0].id, 1101);
    const auto groups = store::groupsOfChapter(bank, 1101);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[2].opnum, QString("5"));
    const auto caseQuestion = *store::questionById(bank, 9);
    EXPECT_EQ(caseQuestion.itemnum, QString("1"));
    EXPECT_EQ(caseQuestion.lx, QString("a3"));
    const auto options = store::optionsOfQuestion(bank, 9);
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options[2].id, 903);
    EXPECT_TRUE(store::optionsOfQuestion(bank, 11).empty());
}

TEST(BankTool, CutsTheEchoOfAHugeFaultyLine) {
    const QString message = refusal("group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\n" +
                                    QByteArray(10 * 1024 * 1024, 'x') + "\n");
    EXPECT_TRUE(message.startsWith("c1101.txt:8: 无法识别的行：xxxx"))
        << message.left(200).toStdString();
    EXPECT_TRUE(message.contains("共 10485760 个字符")) << message.left(200).toStdString();
    EXPECT_LT(message.size(), 200);
}

TEST(BankTool, RefusesAPictureLinkLeadingOutOfTheBankFolder) {
    SourceFolder folder("group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: A\npicture: pic/x.png\n");
    QTemporaryDir outside;
    QFile(outside.filePath("x.png")).open(QIODevice::WriteOnly);
    QDir(folder.path()).mkdir("pic");
    ASSERT_TRUE(QFile::link(outside.filePath("x.png"), folder.path() + "/pic/x.png"));
    QStringList warnings;
    try {
        readBankSources({folder.path()}, warnings);
        FAIL() << "accepted";
    } catch (const ToolError& error) {
        EXPECT_TRUE(
            error.message().startsWith("c1101.txt:8: 图片路径“pic/x.png”指向题库文件夹之外"))
            << error.message().toStdString();
    }
}

TEST(BankTool, WarnsWhereThePageWillDropMarkup) {
    SourceFolder folder("group 1 type 3\n"
                        "question 1: 题<sub>2</sub>\n"
                        "A: 甲<img src=x onerror=alert(1)>\n"
                        "B: 乙<div style=\"display:none\"><b>隐\n"
                        "C: <span title=\"a<b\">丙</span>\n"
                        "answer: A\n"
                        "explain: 解析<script>alert(1)</script><a href=x>链接</a>\n");
    QStringList warnings;
    const banktool::BankContent content = readBankSources({folder.path()}, warnings);
    EXPECT_EQ(warnings,
              QStringList({"c1101.txt:6: 警告：页面显示时将去掉 onerror=",
                           "c1101.txt:7: 警告：标记未闭合，页面显示时将补上 <div>、<b> 的结束标记",
                           "c1101.txt:10: 警告：页面显示时将去掉 <script>、<a>"}));
    // The bank keeps what the author wrote; pages sanitise what they show.
    EXPECT_EQ(content.questions[0].explain, "解析<script>alert(1)</script><a href=x>链接</a>");
}

TEST(BankTool, RefusesATextOverTheLimitNamingItsLine) {
    const QByteArray overLimit = QByteArray("字").repeated(practice::maxBankTextBytes / 3 + 1);
    const struct {
        const char* field;
        QByteArray chapter;
        const char* line;
    } cases[] = {
        {"question", "group 1 type 3\nquestion 1: " + overLimit + "\nA: 甲\nanswer: A\n", "5"},
        {"option", "group 1 type 3\nquestion 1: 题\nA: " + overLimit + "\nanswer: A\n", "6"},
        {"answer", "group 1 type 3\nquestion 1: 题\nA: 甲\nanswer: " + overLimit + "\n", "7"},
        {"case", "group 1 type 10\ncase: " + overLimit + "\nquestion 1 item 1: 题\n", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const QString message = refusal(c.chapter);
        EXPECT_TRUE(message.startsWith(QStringLiteral("c1101.txt:%1: 文本过长（65538 字节），"
                                                      "每项最多 65536 字节")
                                           .arg(c.line)))
            << message.toStdString();
    }
    const QByteArray atTheLimit = QByteArray("x").repeated(practice::maxBankTextBytes);
    EXPECT_EQ(refusal("group 1 type 3\nquestion 1: " + atTheLimit + "\nA: 甲\nanswer: A\n"),
              "(accepted)");
}

TEST(BankTool, FailedWriteKeepsThePreviousBank) {
    QTemporaryDir out;
    const QString path = out.filePath("med.db");
    banktool::writeBank(banktool::syntheticBank({20, 1, 10}), path);
    banktool::BankContent broken = banktool::syntheticBank({20, 2, 10});
    broken.questions.push_back(broken.questions.front()); // a duplicate id the schema refuses
    EXPECT_THROW(banktool::writeBank(broken, path), ToolError);
    store::Bank bank(path);
    EXPECT_EQ(*store::questionCount(bank), QString("20"));
    EXPECT_FALSE(QFile::exists(path + ".part"));
}

TEST(SyntheticBank, IsTheSameForTheSameSeedAndCoversEveryGroupType) {
    const auto first = banktool::syntheticBank({500, 7, 60});
    const auto again = banktool::syntheticBank({500, 7, 60});
    const auto other = banktool::syntheticBank({500, 8, 60});
    ASSERT_EQ(first.questions.size(), 500u);
    auto texts = [](const banktool::BankContent& bank) {
        QStringList all;
        for (const auto& q : bank.questions)
            all << q.content + q.answer;
        return all;
    };
    EXPECT_EQ(texts(first), texts(again));
    EXPECT_NE(texts(first), texts(other));

    std::set<int> types;
    for (const auto& group : first.groups)
        types.insert(group.qtypeid);
    EXPECT_EQ(types, (std::set<int>{3, 4, 5, 6, 7, 8, 9, 10, 11}));
    const int chapters = int(std::count_if(first.nodes.begin(), first.nodes.end(),
                                           [](const auto& node) { return node.code == 3; }));
    EXPECT_EQ(chapters, 9);
}

} // namespace
