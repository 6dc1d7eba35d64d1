#include "fixture_bank.h"
#include "import/bank_import.h"
#include "import/import_file.h"
#include "office_files.h"
#include "other_program.h"
#include "store/bank.h"
#include "store/import_record.h"
#include "store/question_statements.h"
#include "store/subject_statements.h"
#include "store/tree_statements.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace importer;
using testing_support::FixtureBank;
using testing_support::OtherProgram;

namespace {

constexpr qint64 large = 5'000'000'000; // beyond 32 bits

// A bank holding one chapter with one question, every id beyond 32 bits.
class BankWithContent : public testing::Test {
protected:
    void SetUp() override {
        fixture_.addDefaultHeader();
        store::BankBuilder& rows = fixture_.rows();
        rows.addType({3, QStringLiteral("1"), QStringLiteral("单选")});
        rows.addNode({large, QStringLiteral("原有"), 0, 1, QString(""), QString("")});
        rows.addNode({large + 1, QStringLiteral("原有节"), large, 2, QString(""), QString("")});
        rows.addNode({large + 2, QStringLiteral("原有章"), large + 1, 3, QString(""), QString("")});
        rows.addGroup({large, large + 2, 3, QString(""), QString("")});
        rows.addQuestion({large + 7,
                          large,
                          QStringLiteral("旧题"),
                          QStringLiteral("A"),
                          {},
                          {},
                          {},
                          {},
                          {},
                          {},
                          QStringLiteral("a1")});
        rows.addOption({large + 9, large + 7, QStringLiteral("A"), QStringLiteral("甲")});
        fixture_.finish();
    }

    ImportRequest request(const QString& name = QStringLiteral("模拟卷")) const {
        ImportRequest request;
        request.fileName = name + QStringLiteral(".txt");
        request.fingerprint = QStringLiteral("f1");
        request.destination.topName = name;
        request.pictureRoot = fixture_.programFolder();
        return request;
    }

    QVariantList sql(const QString& statement) {
        OtherProgram other(fixture_.bankPath());
        return other.run(statement);
    }

    FixtureBank fixture_;
};

// `count` single-choice questions, then a case group of three.
QByteArray manyQuestions(int count) {
    QByteArray text = "一、A1型题\n";
    for (int i = 1; i <= count; ++i)
        text += QStringLiteral("%1. 第%1题\nA. 甲\nB. 乙\n答案：B\n").arg(i).toUtf8();
    text += "二、A3/A4型题\n（1～3题共用题干）\n病例\n";
    for (int i = 1; i <= 3; ++i)
        text += QStringLiteral("%1. 小题%1\nA. 甲\nB. 乙\n答案：A\n").arg(i).toUtf8();
    return text;
}

TEST_F(BankWithContent, ImportAddsANodeWithSectionsAndChaptersOfAHundred) {
    const ImportedDocument document = readImportBytes(manyQuestions(230), QStringLiteral("txt"));
    store::Bank bank(fixture_.bankPath());
    const ImportResult result = importDocument(bank, document, request());
    EXPECT_EQ(result.questions, 233);

    const std::vector<store::TreeNode> tops = store::topLevelNodes(bank);
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_EQ(tops[1].nodename, QStringLiteral("模拟卷"));
    EXPECT_GT(tops[1].id, large + 2);
    QStringList shape;
    for (const store::TreeNode& section : store::childNodes(bank, tops[1].id)) {
        QStringList chapters;
        for (const store::TreeNode& chapter : store::childNodes(bank, section.id))
            chapters << chapter.nodename + QLatin1Char('=') +
                            QString::number(store::questionsOfChapter(bank, chapter.id).size());
        shape << section.nodename + QStringLiteral(": ") + chapters.join(QStringLiteral(", "));
    }
    EXPECT_EQ(shape, QStringList({QStringLiteral("A1型题: 第 1～100 题=100, 第 101～200 题=100, "
                                                 "第 201～230 题=30"),
                                  QStringLiteral("A3/A4型题: 第 1～3 题=3")}));
    EXPECT_EQ(result.firstChapterId,
              store::childNodes(bank, store::childNodes(bank, tops[1].id)[0].id)[0].id);

    // New ids above the bank's largest, nothing old changed; the types the
    // bank lacked are added, the count follows.
    EXPECT_EQ(sql(QStringLiteral("SELECT MIN(id) FROM question WHERE id <> %1").arg(large + 7)),
              QVariantList({large + 8}));
    EXPECT_EQ(sql(QStringLiteral("SELECT MIN(id) FROM opinion WHERE id <> %1").arg(large + 9)),
              QVariantList({large + 10}));
    EXPECT_EQ(sql(QStringLiteral("SELECT title FROM qtype WHERE id = 3")),
              QVariantList({QStringLiteral("单选")}));
    EXPECT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM qtype")), QVariantList({9}));
    EXPECT_EQ(store::questionCount(bank), QStringLiteral("234"));
    const std::vector<store::Question> cases = store::questionsOfChapter(
        bank, store::childNodes(bank, store::childNodes(bank, tops[1].id)[1].id)[0].id);
    ASSERT_EQ(cases.size(), 3u);
    EXPECT_EQ(cases[2].itemnum, QStringLiteral("3"));
    EXPECT_EQ(cases[2].lx, QStringLiteral("a3"));
    EXPECT_EQ(store::groupById(bank, cases[0].readtextid)->content, QStringLiteral("病例"));

    // The import is remembered by the file's fingerprint.
    const std::vector<store::ImportRecord> records = store::importsOf(bank, QStringLiteral("f1"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].topNode, tops[1].id);
    EXPECT_EQ(records[0].questionCount, 233);
}

TEST_F(BankWithContent, ImportIntoAnExistingSectionAddsChaptersThere) {
    const ImportedDocument document = readImportBytes(manyQuestions(2), QStringLiteral("txt"));
    store::Bank bank(fixture_.bankPath());
    ImportRequest into = request(QStringLiteral("补充"));
    into.destination.sectionId = large + 1;
    importDocument(bank, document, into);
    QStringList names;
    for (const store::TreeNode& chapter : store::childNodes(bank, large + 1))
        names << chapter.nodename;
    EXPECT_EQ(names, QStringList({QStringLiteral("原有章"), QStringLiteral("补充 第 1～5 题")}));
    EXPECT_EQ(store::topLevelNodes(bank).size(), 1u);
}

TEST_F(BankWithContent, FaultyQuestionsAreRefusedOrLeftOutWhenAsked) {
    const ImportedDocument document = readImportBytes(
        "1. 好题\nA. 甲\nB. 乙\n答案：A\n2. 坏题\nA. 甲\nB. 乙\n答案：D\n", QStringLiteral("txt"));
    store::Bank bank(fixture_.bankPath());
    try {
        importDocument(bank, document, request());
        FAIL() << "a document with problems was imported";
    } catch (const ImportError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("第 8 行：第 2 题的答案“D”")))
            << error.what();
    }
    EXPECT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM question")), QVariantList({1}));
    EXPECT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM tree")), QVariantList({3}));

    ImportRequest leaving = request();
    leaving.leaveOutFaulty = true;
    const ImportResult result = importDocument(bank, document, leaving);
    EXPECT_EQ(result.questions, 1);
    EXPECT_EQ(result.leftOut, 1);
    EXPECT_EQ(sql(QStringLiteral("SELECT content FROM question ORDER BY rowid")),
              QVariantList({QStringLiteral("旧题"), QStringLiteral("好题")}));
}

TEST_F(BankWithContent, AnImportKilledInsideItsTransactionLeavesTheBankAsItWas) {
    const ImportedDocument document = readImportBytes(manyQuestions(1000), QStringLiteral("txt"));
    const QVariantList before = sql(QStringLiteral(
        "SELECT (SELECT COUNT(*) FROM tree) || '/' || (SELECT COUNT(*) FROM question) || '/' || "
        "(SELECT COUNT(*) FROM opinion) || '/' || (SELECT kemugeshu FROM geshu)"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        store::Bank own(fixture_.bankPath());
        ImportRequest killing = request();
        // Half the questions are written when the process ends.
        killing.progress = [](int written) {
            if (written >= 500)
                ::kill(::getpid(), SIGKILL);
        };
        importDocument(own, document, killing);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the import was not killed";

    EXPECT_EQ(sql(QStringLiteral(
                  "SELECT (SELECT COUNT(*) FROM tree) || '/' || (SELECT COUNT(*) FROM question) || "
                  "'/' || (SELECT COUNT(*) FROM opinion) || '/' || (SELECT kemugeshu FROM geshu)")),
              before);
    EXPECT_EQ(sql(QStringLiteral("PRAGMA integrity_check")), QVariantList({QStringLiteral("ok")}));
    // A later import still works.
    store::Bank bank(fixture_.bankPath());
    EXPECT_EQ(importDocument(bank, document, request()).questions, 1003);
}

// Cancelled at the last moment, after every row and the import record were
// written: nothing stays, neither rows nor pictures.
TEST_F(BankWithContent, AnImportCancelledJustBeforeItCommitsLeavesTheBankAsItWas) {
    const QByteArray png =
        QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAA"
                               "DUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");
    using namespace testing_support;
    const ImportedDocument document = readImportBytes(
        docxOf(wordParagraph(QStringLiteral("1．胸片所示为")) + wordPictureParagraph("rIdPic1") +
                   wordParagraph(QStringLiteral("A．甲")) + wordParagraph(QStringLiteral("B．乙")) +
                   wordParagraph(QStringLiteral("答案：A")),
               {}, {{QStringLiteral("image1.png"), png}}),
        QStringLiteral("docx"));
    const QString counts = QStringLiteral(
        "SELECT (SELECT COUNT(*) FROM tree) || '/' || (SELECT COUNT(*) FROM question) || '/' || "
        "(SELECT COUNT(*) FROM opinion) || '/' || (SELECT COUNT(*) FROM sqlite_master)");
    const QVariantList before = sql(counts);
    ImportRequest cancelling = request();
    bool allWritten = false;
    cancelling.progress = [&](int written) {
        allWritten = written == document.questionCount();
    };
    cancelling.cancelled = [&] {
        return allWritten;
    };
    {
        store::Bank bank(fixture_.bankPath());
        EXPECT_THROW(importDocument(bank, document, cancelling), ImportCancelled);
    }
    EXPECT_TRUE(allWritten);
    EXPECT_EQ(sql(counts), before);
    EXPECT_TRUE(QDir(fixture_.programFolder() + QStringLiteral("pic/imported"))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                    .isEmpty());
}

} // namespace

namespace {

TEST(ImportTypes, AreTheSampleBanksTypes) {
    store::Bank sample(QStringLiteral(PROGRAM_FOLDER "/Data/med.db"));
    const std::vector<store::QuestionType> types = store::allTypes(sample);
    ASSERT_EQ(types.size(), standardQuestionTypes().size());
    for (size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(types[i].id, standardQuestionTypes()[i].id);
        EXPECT_EQ(types[i].code, standardQuestionTypes()[i].code);
        EXPECT_EQ(types[i].title, standardQuestionTypes()[i].title);
    }
}

TEST(BankToolImport, WritesANewBankOrRefusesAFaultyFileNamingTheLine) {
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("卷一.txt"));
    const QString bad = folder.filePath(QStringLiteral("卷二.txt"));
    testing_support::writeFile(good, "1. 题\nA. 甲\nB. 乙\n答案：B\n");
    testing_support::writeFile(bad, "1. 题\nA. 甲\nB. 乙\n");
    const auto tool = [&](const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral(PROGRAM_FOLDER "/morrowquill-bank"),
                      QStringList{QStringLiteral("import")} + arguments);
        process.waitForFinished(30000);
        return std::make_pair(process.exitCode(),
                              QString::fromUtf8(process.readAllStandardError()));
    };
    const QString bank = folder.filePath(QStringLiteral("new.db"));
    EXPECT_EQ(tool({good, QStringLiteral("-o"), bank}).first, 0);
    const auto [status, errors] = tool({bad, QStringLiteral("--into"), bank});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("第 1 行：第 1 题没有答案。")))
        << errors.toStdString();

    store::Bank opened(bank);
    EXPECT_EQ(store::topLevelNodes(opened)[0].nodename, QStringLiteral("卷一"));
    EXPECT_EQ(store::questionCount(opened), QStringLiteral("1"));
    EXPECT_EQ(store::subject(opened)->ID, QStringLiteral("卷一"));
}

} // namespace
