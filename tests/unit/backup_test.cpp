#include "fixture_bank.h"
#include "services/automatic_backups.h"
#include "services/bank_backup.h"
#include "store/bank.h"
#include "store/bank_copy.h"
#include "store/question_statements.h"
#include "store/subject_statements.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace services;
using store::Bank;
using store::StoreError;
using testing_support::FixtureBank;

using testing_support::contentOf;
using testing_support::writeFile;

namespace {

class BackupAndRestore : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        rows.setSubject({"职业病学", "zyb"});
        rows.setQuestionCount("2");
        rows.addNode({1, "总论", 0, 1, {}, {}});
        rows.addGroup({1, 1, 3, {}, {}});
        for (int id : {7, 8}) {
            store::Question question;
            question.id = id;
            question.readtextid = 1;
            rows.addQuestion(question);
        }
        fixture.finish();
    }

    bool favourite(Bank& bank, qint64 id) { return store::questionById(bank, id)->scbt == "1"; }

    // The files of the data folder's Data/, which must hold nothing but the bank.
    QStringList dataFiles() const {
        return QDir(fixture.programFolder() + "Data").entryList(QDir::Files);
    }

    FixtureBank fixture;
    QTemporaryDir elsewhere;
    QString backupPath = elsewhere.filePath(proposedBackupName(QDate(2024, 3, 5)));
};

TEST_F(BackupAndRestore, TheBackupIsASoundBankAndRestoringItBringsBackItsFlags) {
    Bank bank(fixture.bankPath());
    store::setQuestionFlag(bank, 7, store::QuestionFlag::Favourite, true);
    bank.close();
    backupBank(fixture.bankPath(), backupPath);
    writeFile(backupPath + ".other", "x"); // a neighbour of the target stays as it is

    Bank backup(backupPath);
    EXPECT_NO_THROW(store::checkIntegrity(backup));
    EXPECT_TRUE(favourite(backup, 7));
    backup.close();

    store::setQuestionFlag(bank, 7, store::QuestionFlag::Favourite, false);
    store::setQuestionFlag(bank, 8, store::QuestionFlag::Favourite, true);
    // A connection left open is closed for the swap and reads the restored bank.
    ASSERT_TRUE(bank.isOpen());
    restoreBank(fixture.programFolder(), backupPath);
    EXPECT_TRUE(bank.isOpen());
    EXPECT_TRUE(favourite(bank, 7));
    EXPECT_FALSE(favourite(bank, 8));
    EXPECT_EQ(dataFiles(), QStringList{"med.db"});
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(BackupAndRestore, ABackupReplacesAnOlderOneOfTheSameName) {
    writeFile(backupPath, "an older backup");
    backupBank(fixture.bankPath(), backupPath);
    Bank backup(backupPath);
    EXPECT_EQ(store::subject(backup)->ID, "职业病学");
}

TEST_F(BackupAndRestore, ABackupThatCannotBeWrittenLeavesNoFileBehind) {
    EXPECT_THROW(backupBank(fixture.bankPath(), elsewhere.filePath("missing/folder/backup")),
                 StoreError);
    EXPECT_THROW(backupBank(fixture.programFolder() + "Data/none.db", backupPath), StoreError);
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{});
}

TEST(BackupNames, TheProposedNameCarriesTheDateAndIsRecognised) {
    EXPECT_EQ(proposedBackupName(QDate(2024, 3, 5)),
              QStringLiteral("Morrowquill医药软件数据备份2024-03-05"));
    EXPECT_TRUE(isBackupPath("/home/u/Morrowquill医药软件数据备份/any.bin"));
    EXPECT_FALSE(isBackupPath("/home/u/数据备份2024-03-05"));
}

struct UnusableBackup {
    const char* name;
    std::function<void(const QString& bankPath, const QString& path)> write;
};

void PrintTo(const UnusableBackup& backup, std::ostream* out) {
    *out << backup.name;
}

class RefusedBackup : public BackupAndRestore,
                      public testing::WithParamInterface<UnusableBackup> {};

TEST_P(RefusedBackup, IsRefusedBeforeAnythingIsReplaced) {
    GetParam().write(fixture.bankPath(), backupPath);
    const QByteArray before = contentOf(fixture.bankPath());
    try {
        restoreBank(fixture.programFolder(), backupPath);
        ADD_FAILURE() << "restored";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.message().contains(backupPath)) << error.message().toStdString();
        EXPECT_FALSE(error.message().contains(".restoring")) << error.message().toStdString();
    }
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
    EXPECT_EQ(dataFiles(), QStringList{"med.db"});
    EXPECT_FALSE(QDir(automaticBackupFolder(fixture.programFolder())).exists());
}

INSTANTIATE_TEST_SUITE_P(
    Backups, RefusedBackup,
    testing::Values(UnusableBackup{"TextFile",
                                   [](const QString&, const QString& path) {
                                       writeFile(path, "hello");
                                   }},
                    UnusableBackup{"EmptyFile",
                                   [](const QString&, const QString& path) {
                                       writeFile(path, "");
                                   }},
                    UnusableBackup{"BankCutInHalf",
                                   [](const QString& bankPath, const QString& path) {
                                       const QByteArray whole = contentOf(bankPath);
                                       writeFile(path, whole.left(whole.size() / 2));
                                   }},
                    UnusableBackup{"SqliteFileWithoutTheBanksTables",
                                   [](const QString&, const QString& path) {
                                       testing_support::FixtureBank other(
                                           QStringLiteral("CREATE TABLE other (x TEXT);"));
                                       other.finish();
                                       QFile::copy(other.bankPath(), path);
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupAndRestore, ACopyThatFailsHalfWayLeavesTheBankWhole) {
    backupBank(fixture.bankPath(), backupPath);
    Bank bank(fixture.bankPath());
    store::setQuestionFlag(bank, 8, store::QuestionFlag::Favourite, true);
    const QByteArray before = contentOf(fixture.bankPath());
    const auto halfCopy = [](const QString& from, const QString& to) {
        const QByteArray whole = contentOf(from);
        writeFile(to, whole.left(whole.size() / 2));
        return false;
    };
    EXPECT_THROW(restoreBank(fixture.programFolder(), backupPath, halfCopy), StoreError);
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
    EXPECT_TRUE(favourite(bank, 8));
    EXPECT_EQ(dataFiles(), QStringList{"med.db"});
}

TEST_F(BackupAndRestore, ARestoreFirstSavesTheCurrentBankAsAnAutomaticBackup) {
    backupBank(fixture.bankPath(), backupPath);
    Bank bank(fixture.bankPath());
    store::setQuestionFlag(bank, 8, store::QuestionFlag::Favourite, true);
    restoreBank(fixture.programFolder(), backupPath);
    const QStringList saved = automaticBackups(fixture.programFolder());
    ASSERT_EQ(saved.size(), 1);
    Bank before(automaticBackupFolder(fixture.programFolder()) + saved[0]);
    EXPECT_TRUE(favourite(before, 8));
    EXPECT_FALSE(favourite(bank, 8));
}

TEST_F(BackupAndRestore, AutomaticBackupsAreDailyAndTheNewestTenAreKept) {
    const QString folder = fixture.programFolder();
    const QDateTime start(QDate(2024, 1, 1), QTime(9, 30, 0));
    EXPECT_TRUE(dailyBackupDue(folder, start.date()));
    backUpOncePerDay(folder, start);
    backUpOncePerDay(folder, start.addSecs(3600));
    EXPECT_FALSE(dailyBackupDue(folder, start.date()));
    EXPECT_EQ(automaticBackups(folder).size(), 1);
    EXPECT_TRUE(dailyBackupDue(folder, start.date().addDays(1)));

    writeFile(automaticBackupFolder(folder) + "notes.txt", "the user's own file");
    for (int day = 1; day <= 10; ++day)
        backUpOncePerDay(folder, start.addDays(day));
    const QStringList kept = automaticBackups(folder);
    ASSERT_EQ(kept.size(), automaticBackupsKept);
    EXPECT_EQ(kept.first(), "Morrowquill医药软件数据备份2024-01-02_09-30-00");
    EXPECT_EQ(kept.last(), "Morrowquill医药软件数据备份2024-01-11_09-30-00");
    EXPECT_TRUE(QFile::exists(automaticBackupFolder(folder) + "notes.txt"));
}

} // namespace
