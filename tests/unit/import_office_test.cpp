#include "fixture_bank.h"
#include "import/bank_import.h"
#include "import/import_file.h"
#include "import/zip_archive.h"
#include "import_fuzzing.h"
#include "office_files.h"
#include "practice/html_sanitiser.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"
#include "test_files.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace importer;
using namespace testing_support;

namespace {

QString questionsOf(const ImportedDocument& document) {
    QStringList lines;
    for (const ImportedGroup& group : document.groups) {
        lines << QString::number(group.groupType) + QLatin1Char(' ') + group.sharedText;
        for (const ImportedQuestion& q : group.questions) {
            QStringList options(q.options.begin(), q.options.end());
            lines << QStringLiteral("  %1. %2 | %3 | %4 | picture %5")
                         .arg(q.number)
                         .arg(q.stem, options.join(QLatin1Char('/')), q.answer)
                         .arg(q.picture);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList problemsOf(const ImportedDocument& document) {
    QStringList texts;
    for (const ImportProblem& problem : document.problems)
        texts << problemText(document.placeKind, problem);
    return texts;
}

const QByteArray png = QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlE"
                                              "QVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");

// Word's own numbers for questions and options, a picture under a stem, a
// table in a stem and the answer key as a table at the end.
QByteArray wordBank() {
    const QString body =
        wordParagraph(QStringLiteral("一、单项选择题")) +
        wordListParagraph(1, 0, QStringLiteral("胸片所示为")) + wordPictureParagraph("rIdPic1") +
        wordListParagraph(1, 1, QStringLiteral("矽肺")) +
        wordListParagraph(1, 1, QStringLiteral("石棉肺")) +
        wordListParagraph(1, 0, QStringLiteral("下表中超标的是")) +
        wordTable({{QStringLiteral("岗位"), QStringLiteral("浓度")},
                   {QStringLiteral("破碎"), QStringLiteral("1.6")}}) +
        wordListParagraph(1, 1, QStringLiteral("破碎")) +
        wordListParagraph(1, 1, QStringLiteral("无")) + wordParagraph(QStringLiteral("参考答案")) +
        wordTable({{QStringLiteral("题号"), QStringLiteral("1"), QStringLiteral("2")},
                   {QStringLiteral("答案"), QStringLiteral("B"), QStringLiteral("A")}});
    return docxOf(body, questionListNumbering(), {{QStringLiteral("image1.png"), png}});
}

TEST(WordImport, ReadsNumberingPicturesTablesAndAKeyTable) {
    const ImportedDocument document = readImportBytes(wordBank(), QStringLiteral("docx"));
    EXPECT_EQ(problemsOf(document), QStringList());
    EXPECT_EQ(questionsOf(document),
              QStringLiteral("3 \n  1. 胸片所示为 | 矽肺/石棉肺 | B | picture 0\n3 \n  2. "
                             "下表中超标的是<br><table "
                             "border=\"1\"><tr><td>岗位</td><td>浓度</td></tr><tr><td>破碎</"
                             "td><td>1.6</td></tr></table> | 破碎/无 | A | picture -1"));
    ASSERT_EQ(document.pictures.size(), 1u);
    EXPECT_EQ(document.pictures[0].data, png);
    EXPECT_EQ(document.pictures[0].suffix, QStringLiteral("png"));
}

TEST(WordImport, NamesProblemsByParagraph) {
    const QString body =
        wordParagraph(QStringLiteral("1．粉尘")) + wordParagraph(QStringLiteral("A．甲")) +
        wordParagraph(QStringLiteral("B．乙")) + wordParagraph(QStringLiteral("答案：D"));
    const ImportedDocument document =
        readImportBytes(docxOf(body), QStringLiteral("docx"), QStringLiteral("卷.docx"));
    EXPECT_EQ(
        problemsOf(document),
        QStringList({QStringLiteral("第 4 段：第 1 题的答案“D”没有对应的选项（选项只到 B）。")}));
}

TEST(WordImport, PicturesAreCopiedBesideTheBankUnderNamesOfOurOwn) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    fixture.finish();
    store::Bank bank(fixture.bankPath());
    ImportRequest request;
    request.destination.topName = QStringLiteral("../<卷>");
    request.pictureRoot = fixture.programFolder();
    importDocument(bank, readImportBytes(wordBank(), QStringLiteral("docx")), request);

    const std::optional<store::Question> first = store::questionById(bank, 1);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->picurl.startsWith(QStringLiteral("pic/imported/")))
        << first->picurl.toStdString();
    EXPECT_TRUE(first->picurl.endsWith(QStringLiteral("/1.png")));
    EXPECT_EQ(contentOf(fixture.programFolder() + first->picurl), png);
    EXPECT_EQ(store::topLevelNodes(bank)[0].nodename, QStringLiteral("../<卷>"));
}

TEST(SheetImport, FindsColumnsByHeaderAndGroupsRowsByGroupNumber) {
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("图/胸片.png")), png);
    const std::vector<QStringList> rows = {
        {QStringLiteral("答案"), QStringLiteral("题干"), QStringLiteral("题型"),
         QStringLiteral("选项A"), QStringLiteral("选项B"), QStringLiteral("选项C"),
         QStringLiteral("组号"), QStringLiteral("共用题干"), QStringLiteral("解析"),
         QStringLiteral("图片")},
        {QStringLiteral("B"),
         QStringLiteral("单选"),
         QStringLiteral("A1型题"),
         QStringLiteral("甲"),
         QStringLiteral("乙"),
         {},
         {},
         {},
         QStringLiteral("因为"),
         QStringLiteral("图/胸片.png")},
        {QStringLiteral("A,C"), QStringLiteral("多选"), QStringLiteral("X型题"),
         QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")},
        {QStringLiteral("A"),
         QStringLiteral("案例一"),
         QStringLiteral("案例分析题"),
         QStringLiteral("甲"),
         QStringLiteral("乙"),
         {},
         QStringLiteral("1"),
         QStringLiteral("男，52岁")},
        {QStringLiteral("B"),
         QStringLiteral("案例二"),
         QStringLiteral("案例分析题"),
         QStringLiteral("甲"),
         QStringLiteral("乙"),
         {},
         QStringLiteral("1")},
        {QStringLiteral("C"), QStringLiteral("配一"), QStringLiteral("B1型题"),
         QStringLiteral("矽肺"), QStringLiteral("石棉肺"), QStringLiteral("煤工尘肺"),
         QStringLiteral("2")},
        {QStringLiteral("A"),
         QStringLiteral("配二"),
         QStringLiteral("B1型题"),
         {},
         {},
         {},
         QStringLiteral("2")},
    };
    const ImportedDocument document =
        readImportBytes(xlsxOf(rows), QStringLiteral("xlsx"), {}, folder.path());
    EXPECT_EQ(problemsOf(document), QStringList());
    EXPECT_EQ(
        questionsOf(document),
        QStringLiteral("3 \n  0. 单选 | 甲/乙 | B | picture 0\n6 \n  0. 多选 | 甲/乙/丙 | AC | "
                       "picture -1\n10 男，52岁\n  0. 案例一 | 甲/乙 | A | picture -1\n  0. "
                       "案例二 | 甲/乙 | B | picture -1\n11 "
                       "A．矽肺<br>B．石棉肺<br>C．煤工尘肺\n  0. 配一 |  | C | picture -1\n  "
                       "0. 配二 |  | A | picture -1"));
    EXPECT_EQ(document.groups[0].section, QStringLiteral("A1型题"));
}

TEST(SheetImport, NamesProblemsByRow) {
    QTemporaryDir folder;
    const std::vector<QStringList> rows = {
        {QStringLiteral("题干"), QStringLiteral("选项A"), QStringLiteral("选项B"),
         QStringLiteral("选项C"), QStringLiteral("答案"), QStringLiteral("图片")},
        {QStringLiteral("无答案"), QStringLiteral("甲"), QStringLiteral("乙")},
        {QStringLiteral("越界"),
         QStringLiteral("甲"),
         QStringLiteral("乙"),
         {},
         QStringLiteral("C")},
        {QStringLiteral("缺B"),
         QStringLiteral("甲"),
         {},
         QStringLiteral("丙"),
         QStringLiteral("A")},
        {QStringLiteral("图外"),
         QStringLiteral("甲"),
         QStringLiteral("乙"),
         {},
         QStringLiteral("A"),
         QStringLiteral("../secret.png")},
    };
    const ImportedDocument document =
        readImportBytes(xlsxOf(rows), QStringLiteral("xlsx"), {}, folder.path());
    EXPECT_EQ(
        problemsOf(document),
        QStringList({QStringLiteral("第 2 行：试题没有答案。"),
                     QStringLiteral("第 3 行：试题的答案“C”没有对应的选项（选项只到 B）。"),
                     QStringLiteral("第 4 行：选项B是空的，后面的选项却有内容。"),
                     QStringLiteral(
                         "第 5 行：图片“../secret.png”须放在表格所在的文件夹或其子文件夹中。")}));
    EXPECT_EQ(document.faultyCount(), 3);
}

TEST(SheetImport, CsvInGb18030WithQuotedFields) {
    const QString csv =
        QStringLiteral("题干,选项A,选项B,答案\r\n\"粉尘, \"\"有机\"\"\n第二行\",甲,乙,b\r\n");
    const ImportedDocument document =
        readImportBytes(QStringEncoder("GB18030").encode(csv), QStringLiteral("csv"));
    EXPECT_EQ(problemsOf(document), QStringList());
    EXPECT_EQ(questionsOf(document),
              QStringLiteral("3 \n  0. 粉尘, &quot;有机&quot;<br>第二行 | 甲/乙 | B | picture -1"));
}

// Markup typed into a document, a text file or a sheet is text: it reaches a
// page as text, whatever it names; the only pictures a page shows of an
// import are the document's own, copied into the bank's picture folder.
TEST(ImportedTexts, MarkupInTheSourceIsShownAsTextAndOnlyItsOwnPicturesShow) {
    const QStringList hostile = {
        QStringLiteral("<img src=\"../../etc/passwd\">"),
        QStringLiteral("<img src=\"file:///etc/passwd\">"),
        QStringLiteral("<img src=\"http://example.invalid/x.png\">"),
        QStringLiteral("<img src=\"javascript:alert(1)\">"),
        QStringLiteral("<img src='x\" onerror=\"alert(1)'>"),
        QStringLiteral("<script>alert(1)</script>"),
    };
    const auto lines = [](const QString& text) {
        return QStringList({QStringLiteral("1．题") + text, QStringLiteral("A．") + text,
                            QStringLiteral("B．乙"), QStringLiteral("答案：A"),
                            QStringLiteral("解析：") + text});
    };
    const std::map<QString, std::function<QByteArray(const QString&)>> formats = {
        {QStringLiteral("txt"),
         [&](const QString& text) {
             return lines(text).join('\n').toUtf8();
         }},
        {QStringLiteral("docx"),
         [&](const QString& text) {
             const QStringList paragraphs = lines(text);
             // The question's picture under its stem, another in option A.
             return docxOf(wordParagraph(paragraphs[0]) + wordPictureParagraph("rIdPic1") +
                               wordParagraph(paragraphs[1]) + wordPictureParagraph("rIdPic1") +
                               wordParagraph(paragraphs[2]) + wordParagraph(paragraphs[3]) +
                               wordParagraph(paragraphs[4]),
                           {}, {{QStringLiteral("a' onerror='b.png"), png}});
         }},
        {QStringLiteral("xlsx"),
         [](const QString& text) {
             return xlsxOf(
                 {{QStringLiteral("题干"), QStringLiteral("选项A"), QStringLiteral("选项B"),
                   QStringLiteral("答案"), QStringLiteral("解析")},
                  {QStringLiteral("题") + text, text, QStringLiteral("乙"), QStringLiteral("A"),
                   text}});
         }},
    };
    static const QRegularExpression picture(QStringLiteral("<img\\b[^>]*>"));
    static const QRegularExpression source(QStringLiteral("\\bsrc=\"([^\"]*)\""));
    for (const QString& text : hostile)
        for (const auto& [suffix, write] : formats) {
            SCOPED_TRACE((suffix + QLatin1Char(' ') + text).toStdString());
            FixtureBank fixture;
            fixture.addDefaultHeader();
            fixture.finish();
            store::Bank bank(fixture.bankPath());
            ImportRequest request;
            request.destination.topName = QStringLiteral("卷");
            request.pictureRoot = fixture.programFolder();
            const ImportedDocument document = readImportBytes(write(text), suffix);
            ASSERT_EQ(problemsOf(document), QStringList());
            importDocument(bank, document, request);
            const std::optional<store::Question> question = store::questionById(bank, 1);
            ASSERT_TRUE(question);
            const std::vector<store::Option> options = store::optionsOfQuestion(bank, 1);
            ASSERT_EQ(options.size(), 2u);

            // Each text as a page shows it: the markup as text, pictures only
            // of the bank's picture folder, present there.
            QStringList shown;
            for (const QString& stored :
                 {question->content, options[0].content, question->explain}) {
                const QString safe = practice::safeBankHtml(stored);
                EXPECT_TRUE(safe.contains(QStringLiteral("&lt;"))) << safe.toStdString();
                EXPECT_FALSE(safe.contains(QStringLiteral("<script"))) << safe.toStdString();
                for (auto tags = picture.globalMatch(safe); tags.hasNext();) {
                    const QString tag = tags.next().captured();
                    const QString path = source.match(tag).captured(1);
                    EXPECT_TRUE(path.startsWith(QStringLiteral("pic/imported/")) &&
                                QFileInfo::exists(fixture.programFolder() + path))
                        << tag.toStdString();
                    shown << tag.section('/', -1);
                }
            }
            if (suffix == QStringLiteral("docx")) {
                EXPECT_EQ(shown, QStringList({QStringLiteral("1.png\">")}));
                EXPECT_TRUE(question->picurl.startsWith(QStringLiteral("pic/imported/")));
                EXPECT_EQ(contentOf(fixture.programFolder() + question->picurl), png);
            } else {
                EXPECT_EQ(shown, QStringList());
                EXPECT_EQ(question->picurl, QString());
            }
        }
}

TEST(ZipLimits, RefuseBombsCrowdsAndWhatIsNoZip) {
    const auto refusal = [](const std::function<void()>& read) {
        try {
            read();
        } catch (const ImportError& error) {
            return error.message();
        }
        return QStringLiteral("(read)");
    };
    const QByteArray bomb =
        zipOf({{QStringLiteral("word/document.xml"), QByteArray(8 << 20, '\0')}});
    EXPECT_TRUE(refusal([&] {
                    readImportBytes(bomb, QStringLiteral("docx"), QStringLiteral("炸弹.docx"));
                }).contains(QStringLiteral("压缩比异常")));
    ZipEntries crowd;
    for (int i = 0; i < 6; ++i)
        crowd.push_back({QStringLiteral("f%1").arg(i), "x"});
    EXPECT_TRUE(
        refusal([&] {
            ZipArchive zip(zipOf(crowd), QStringLiteral("多.xlsx"), {5, 1 << 20, 1 << 20, 200});
        }).contains(QStringLiteral("文件过多")));
    const QByteArray big = zipOf({{QStringLiteral("a"), QByteArray(2 << 20, 'x')}});
    EXPECT_TRUE(refusal([&] {
                    ZipArchive zip(big, QStringLiteral("大.xlsx"), {10, 1 << 20, 1 << 20, 1 << 30});
                    zip.read(QStringLiteral("a"));
                }).contains(QStringLiteral("解压后过大")));
    EXPECT_TRUE(refusal([&] {
                    readImportBytes("PK not really", QStringLiteral("xlsx"),
                                    QStringLiteral("假.xlsx"));
                }).contains(QStringLiteral("“假.xlsx”不是有效的 Office 文件")));
    EXPECT_TRUE(refusal([&] {
                    readImportBytes(zipOf({{QStringLiteral("x"), "y"}}), QStringLiteral("docx"),
                                    QStringLiteral("空.docx"));
                }).contains(QStringLiteral("不是 Word 文档")));
}

} // namespace

namespace {

// A short run of the fuzzing loop: under the sanitizers, a finding fails it.
TEST(ImportFuzzing, ReadersSurviveMutatedDocuments) {
    EXPECT_GT(testing_support::fuzzImporters(20261211, 2.0), 50);
}

} // namespace
