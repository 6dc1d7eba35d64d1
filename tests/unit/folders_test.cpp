#include "app/folders.h"
#include "app/single_instance.h"
#include "fixture_bank.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using app::Folders;
using testing_support::FixtureBank;

using testing_support::contentOf;
using testing_support::writeFile;

namespace {

enum class ProgramFolderKind { Writable, Installed, ReadOnly };

struct DecisionCase {
    const char* name;
    ProgramFolderKind kind;
    bool dataInProgramFolder;
};

class FolderDecision : public testing::TestWithParam<DecisionCase> {};

TEST_P(FolderDecision, WritesInTheProgramFolderOnlyWhenItIsAWritableUninstalledFolder) {
    QTemporaryDir program;
    const QString programFolder = program.path() + "/";
    const QString userFolder = QStringLiteral("/home/someone/.local/share/morrowquill/");
    switch (GetParam().kind) {
    case ProgramFolderKind::Writable:
        break;
    case ProgramFolderKind::Installed:
        writeFile(programFolder + app::installedMarkerName, "");
        break;
    case ProgramFolderKind::ReadOnly:
        if (geteuid() == 0)
            GTEST_SKIP() << "root may write to a folder without write permission";
        QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
        break;
    }
    const Folders folders = app::chooseFolders(programFolder, userFolder);
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(folders.program, programFolder);
    EXPECT_EQ(folders.data, GetParam().dataInProgramFolder ? programFolder : userFolder);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFolders, FolderDecision,
    testing::Values(DecisionCase{"WritableFolder", ProgramFolderKind::Writable, true},
                    DecisionCase{"InstalledFolder", ProgramFolderKind::Installed, false},
                    DecisionCase{"ReadOnlyFolder", ProgramFolderKind::ReadOnly, false}),
    [](const testing::TestParamInfo<DecisionCase>& info) { return info.param.name; });

// An installed program folder with a one-question bank and `predate.ini`, and
// an empty user data folder.
class FirstStart : public testing::Test {
protected:
    void SetUp() override {
        program.addDefaultHeader();
        store::Question question;
        question.id = 7;
        question.content = QStringLiteral("题干");
        program.rows().addQuestion(question);
        program.finish();
        writeFile(program.programFolder() + "predate.ini", "[Update]\n");
        writeFile(program.programFolder() + app::installedMarkerName, "");
        folders = app::chooseFolders(program.programFolder(), data.path() + "/morrowquill/");
    }
    QString userBank() const { return store::Bank::pathIn(folders.data); }

    FixtureBank program;
    QTemporaryDir data;
    Folders folders;
};

TEST_F(FirstStart, CopiesTheBankAndPredateOnceAndKeepsTheUsersBankAfterwards) {
    ASSERT_EQ(app::prepareDataFolder(folders), QString());
    EXPECT_EQ(contentOf(userBank()), contentOf(program.bankPath()));
    EXPECT_EQ(contentOf(folders.data + "predate.ini"), "[Update]\n");
    EXPECT_FALSE(QFileInfo::exists(userBank() + ".part"));
    {
        store::Bank bank(userBank());
        store::setQuestionFlag(bank, 7, store::QuestionFlag::Favourite, true);
    }

    ASSERT_EQ(app::prepareDataFolder(folders), QString());
    store::Bank bank(userBank());
    EXPECT_EQ(store::questionById(bank, 7)->scbt, "1");
    store::Bank bundled(program.bankPath());
    EXPECT_EQ(store::questionById(bundled, 7)->scbt, "");
}

TEST_F(FirstStart, ACopyCutShortIsRedoneAndNeverTakenForTheBank) {
    const QByteArray whole = contentOf(program.bankPath());
    writeFile(userBank() + ".part", whole.left(whole.size() / 2));
    ASSERT_FALSE(QFileInfo::exists(userBank()));

    ASSERT_EQ(app::prepareDataFolder(folders), QString());
    EXPECT_EQ(contentOf(userBank()), whole);
    EXPECT_FALSE(QFileInfo::exists(userBank() + ".part"));
    store::Bank bank(userBank());
    EXPECT_EQ(store::questionById(bank, 7)->content, "题干");
}

TEST_F(FirstStart, AFailedCopyIsReportedAndLeavesNoBank) {
    // A file where the data folder should be: nothing can be written below it.
    writeFile(data.path() + "/morrowquill", "not a folder");
    const QString failure = app::prepareDataFolder(folders);
    EXPECT_TRUE(failure.contains(userBank())) << failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(userBank()));
}

TEST_F(FirstStart, AWritableProgramFolderIsLeftAsItIs) {
    QFile::remove(program.programFolder() + app::installedMarkerName);
    const Folders same = app::chooseFolders(program.programFolder(), data.path() + "/morrowquill/");
    ASSERT_EQ(same.data, same.program);
    EXPECT_EQ(app::prepareDataFolder(same), QString());
    EXPECT_TRUE(QDir(data.path()).isEmpty());
}

TEST(SingleInstance, TakesAFreeFolderAndReportsOneHeldByACopyThatDoesNotAnswer) {
    QTemporaryDir data;
    const QString folder = data.path() + "/";
    {
        app::SingleInstance first(folder);
        EXPECT_EQ(first.claim(), app::SingleInstance::Claim::Taken);
        QLockFile other(folder + app::instanceLockName);
        EXPECT_FALSE(other.tryLock(0));
    }
    QLockFile silent(folder + app::instanceLockName);
    ASSERT_TRUE(silent.tryLock(0));
    app::SingleInstance later(folder);
    EXPECT_EQ(later.claim(), app::SingleInstance::Claim::HeldByAnother);
}

} // namespace
