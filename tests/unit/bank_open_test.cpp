#include "fixture_bank.h"
#include "other_program.h"
#include "store/bank.h"
#include "store/bank_schema.h"
#include "store/subject_statements.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using store::Bank;
using store::StoreError;
using testing_support::EmptyProgramFolder;
using testing_support::FixtureBank;
using testing_support::OtherProgram;

namespace {

QString openError(const QString& path) {
    Bank bank(path);
    try {
        bank.open();
    } catch (const StoreError& error) {
        EXPECT_FALSE(bank.isOpen());
        return error.message();
    }
    return {};
}

QStringList filesBelow(const QString& folder) {
    QStringList files;
    for (const QFileInfo& info :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
        files << info.fileName() +
                     (info.isDir() ? "/" + filesBelow(info.filePath()).join(',') : "");
    return files;
}

TEST(BankOpening, MissingFileIsRefusedAndNothingIsCreated) {
    EmptyProgramFolder folder;
    const QString path = Bank::pathIn(folder.programFolder());
    for (int attempt = 0; attempt < 2; ++attempt) { // the Data folder absent, then present
        const QString message = openError(path);
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_TRUE(message.contains("文件不存在")) << message.toStdString();
        EXPECT_FALSE(QFile::exists(path));
        QDir(folder.programFolder()).mkdir("Data");
    }
    EXPECT_EQ(filesBelow(folder.programFolder()), QStringList({"Data/"}));
}

TEST(BankOpening, FileThatIsNoDatabaseIsRefusedAndLeftAlone) {
    EmptyProgramFolder folder;
    QDir(folder.programFolder()).mkdir("Data");
    const QString path = Bank::pathIn(folder.programFolder());
    const QByteArray bytes = QByteArray("这不是数据库。").repeated(300);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QString message = openError(path);
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_TRUE(message.contains("not a database")) << message.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    EXPECT_EQ(filesBelow(folder.programFolder()), QStringList({"Data/med.db"}));
}

// A bank made from the schema with one piece cut out.
struct DamagedSchema {
    const char* name;
    QString cut;
    QString expected;
    friend void PrintTo(const DamagedSchema& schema, std::ostream* out) { *out << schema.name; }
};

class BankWithDamagedSchema : public testing::TestWithParam<DamagedSchema> {};

TEST_P(BankWithDamagedSchema, IsRefusedNamingWhatIsMissing) {
    QString schema = store::schemaSql();
    ASSERT_TRUE(schema.contains(GetParam().cut));
    schema.remove(GetParam().cut);
    FixtureBank fixture(schema);
    fixture.finish();
    const QString message = openError(fixture.bankPath());
    EXPECT_TRUE(message.contains(fixture.bankPath())) << message.toStdString();
    EXPECT_TRUE(message.contains(GetParam().expected)) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BankWithDamagedSchema,
    testing::Values(
        DamagedSchema{"MissingTable",
                      "CREATE TABLE geshu (\n    kemugeshu TEXT NOT NULL DEFAULT ''\n);",
                      "缺少数据表 geshu"},
        DamagedSchema{"MissingColumn", "    picurl TEXT NOT NULL DEFAULT '',\n",
                      "数据表 question 缺少列 picurl"},
        DamagedSchema{"MissingFlagColumn", "    ct1 TEXT NOT NULL DEFAULT '',\n",
                      "数据表 question 缺少列 ct1"}),
    [](const auto& info) { return std::string(info.param.name); });

// A bank whose schema declares one column with another type.
struct DeclaredType {
    const char* name;
    QString declaration;
    QString replacement;
    QString expected; // empty when the bank is accepted
    friend void PrintTo(const DeclaredType& type, std::ostream* out) { *out << type.name; }
};

class BankWithDeclaredType : public testing::TestWithParam<DeclaredType> {};

TEST_P(BankWithDeclaredType, IsAcceptedOnlyWhenItStoresValuesAsTheSchemaDoes) {
    QString schema = store::schemaSql();
    ASSERT_TRUE(schema.contains(GetParam().declaration));
    schema.replace(GetParam().declaration, GetParam().replacement);
    FixtureBank fixture(schema);
    fixture.finish();
    const QString message = openError(fixture.bankPath());
    if (GetParam().expected.isEmpty()) {
        EXPECT_EQ(message, QString());
        return;
    }
    EXPECT_TRUE(message.contains(fixture.bankPath())) << message.toStdString();
    EXPECT_TRUE(message.contains(GetParam().expected)) << message.toStdString();
}

const QString treeId = "CREATE TABLE tree (\n    id INTEGER ";
const QString nodeName = "nodename TEXT ";
const QString itemNumber = "itemnum TEXT ";

INSTANTIATE_TEST_SUITE_P(
    Cases, BankWithDeclaredType,
    testing::Values(DeclaredType{"BigIntId", treeId, "CREATE TABLE tree (\n    id BIGINT ", {}},
                    DeclaredType{"NumericId", treeId, "CREATE TABLE tree (\n    id NUMERIC ", {}},
                    DeclaredType{"VarcharText", nodeName, "nodename VARCHAR(255) ", {}},
                    DeclaredType{"UntypedId", treeId, "CREATE TABLE tree (\n    id ",
                                 "数据表 tree 的列 id 没有声明类型，应为 INTEGER"},
                    DeclaredType{"RealId", treeId, "CREATE TABLE tree (\n    id REAL ",
                                 "数据表 tree 的列 id 声明为 REAL，应为 INTEGER"},
                    DeclaredType{"UntypedText", nodeName, "nodename ",
                                 "数据表 tree 的列 nodename 没有声明类型，应为 TEXT"},
                    DeclaredType{"NumericText", itemNumber, "itemnum NUMERIC ",
                                 "数据表 question 的列 itemnum 声明为 NUMERIC，应为 TEXT"}),
    [](const auto& info) { return std::string(info.param.name); });

// Values in columns without a declared type keep the storage class they were
// written with, so ids written as text are never found by number: such a bank
// would show an empty tree.
TEST(BankOpening, BankWithoutDeclaredTypesIsRefusedRatherThanShownEmpty) {
    QString schema = store::schemaSql();
    schema.replace(QRegularExpression(" (INTEGER|TEXT) NOT NULL"), " NOT NULL");
    FixtureBank fixture(schema);
    fixture.rows().addNode({1, "总论", 0, 1, {}, {}});
    fixture.rows().addNode({10, "第一节", 1, 0, {}, {}});
    fixture.finish();
    {
        OtherProgram writer(fixture.bankPath());
        writer.run("UPDATE tree SET id = CAST(id AS TEXT), parentid = CAST(parentid AS TEXT), "
                   "code = CAST(code AS TEXT)");
    }
    const QString message = openError(fixture.bankPath());
    EXPECT_TRUE(message.contains(fixture.bankPath())) << message.toStdString();
    EXPECT_TRUE(message.contains("数据表 tree 的列 id 没有声明类型")) << message.toStdString();
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(BankOpening, BankHeldByAnotherProgramIsSaidToBeInUseAndLeftAlone) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    fixture.finish();
    const QByteArray before = contentsOf(fixture.bankPath());
    OtherProgram holder(fixture.bankPath());
    holder.run("BEGIN EXCLUSIVE");
    const QString message = openError(fixture.bankPath());
    EXPECT_TRUE(message.contains(fixture.bankPath())) << message.toStdString();
    EXPECT_TRUE(message.contains("正被其他程序使用")) << message.toStdString();
    EXPECT_FALSE(message.contains("无效")) << message.toStdString();
    holder.run("ROLLBACK");
    holder.close();
    EXPECT_EQ(contentsOf(fixture.bankPath()), before);
    EXPECT_EQ(openError(fixture.bankPath()), QString());
}

TEST(BankOpening, CompleteBankOpensAndReadsItsSubject) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    fixture.finish();
    Bank bank(fixture.bankPath());
    bank.open();
    EXPECT_EQ(store::subject(bank)->ID, QString("测试科目"));
    EXPECT_EQ(*store::questionCount(bank), QString("0"));
}

TEST(BankOpening, PathsNeedNoEscaping) {
    EmptyProgramFolder folder;
    const QString odd = folder.programFolder() + "题库 #1?%20/";
    ASSERT_TRUE(QDir().mkpath(odd + "Data"));
    {
        store::BankBuilder builder(Bank::pathIn(odd));
        builder.setSubject({"特殊路径", "x"});
        builder.finish();
    }
    Bank bank(Bank::pathIn(odd));
    EXPECT_EQ(store::subject(bank)->ID, QString("特殊路径"));
}

} // namespace
