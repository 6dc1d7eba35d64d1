#include "fixture_bank.h"
#include "other_program.h"
#include "services/automatic_backups.h"
#include "services/bank_backup.h"
#include "services/daily_backup.h"
#include "store/bank.h"
#include "store/bank_copy.h"
#include "store/question_statements.h"
#include "store/subject_statements.h"
#include "test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace services;
using store::Bank;
using store::StoreError;
using testing_support::FixtureBank;
using testing_support::OtherProgram;

using testing_support::contentOf;
using testing_support::writeFile;

namespace {

// Runs `work` in a child process and returns what it wrote to its pipe once
// `until` is found there (or the child ended); the child is killed when the
// object goes.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<void(int pipe)>& work) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ends[0]);
            work(ends[1]);
            ::_exit(0);
        }
        ::close(ends[1]);
        pipe_ = ends[0];
    }
    ~ChildProcess() {
        kill();
        ::close(pipe_);
    }
    QByteArray readUntil(const QByteArray& until) {
        QByteArray seen;
        pollfd wait{pipe_, POLLIN, 0};
        while (!seen.contains(until) && ::poll(&wait, 1, 30000) > 0) {
            char block[512];
            const ssize_t read = ::read(pipe_, block, sizeof block);
            if (read <= 0)
                break;
            seen.append(block, read);
        }
        return seen;
    }
    // Ends the child at once, as a crash or a power cut would.
    void kill() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
    int pipe_ = -1;
};

void say(int pipe, const QByteArray& text) {
    [[maybe_unused]] const ssize_t written = ::write(pipe, text.constData(), text.size());
}

// Another program in the middle of a large write: it holds the bank
// exclusively, and with a small cache part of its write is already in the
// file, its journal beside it.
void holdInTheMiddleOfAWrite(const QString& bankPath, int pipe) {
    sqlite3* db = nullptr;
    const bool held =
        sqlite3_open(QFile::encodeName(bankPath).constData(), &db) == SQLITE_OK &&
        sqlite3_exec(
            db,
            "PRAGMA cache_size = 10; BEGIN EXCLUSIVE; CREATE TABLE filler (x BLOB);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30000)"
            " INSERT INTO filler SELECT randomblob(100) FROM n;",
            nullptr, nullptr, nullptr) == SQLITE_OK;
    say(pipe, held ? "held\n" : "failed\n");
    for (;;)
        ::pause();
}

// Mounts a disk of `bytes` at `folder` for the calling child process alone:
// in a mount namespace of its own, it goes when the child ends.
bool mountSmallDisk(const QString& folder, qint64 bytes) {
    QDir().mkpath(folder);
    const QByteArray size = "size=" + QByteArray::number(bytes);
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, size.constData()) ==
               0;
}

QString integrityOf(const QString& bankPath) {
    OtherProgram checker(bankPath);
    const QVariantList lines = checker.run("PRAGMA integrity_check");
    return lines.isEmpty() ? QString() : lines.first().toString();
}

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
        throw StoreError("copy failed");
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

TEST_F(BackupAndRestore, ARestoreIsRefusedWhileAnotherProcessIsWritingTheBank) {
    backupBank(fixture.bankPath(), backupPath);
    const QByteArray before = contentOf(fixture.bankPath());
    ChildProcess writer([&](int pipe) { holdInTheMiddleOfAWrite(fixture.bankPath(), pipe); });
    ASSERT_EQ(writer.readUntil("\n"), "held\n");
    ASSERT_TRUE(QFile::exists(fixture.bankPath() + "-journal"));

    try {
        restoreBank(fixture.programFolder(), backupPath);
        ADD_FAILURE() << "restored";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.message().startsWith("题库文件正被其他程序使用"))
            << error.message().toStdString();
    }
    EXPECT_FALSE(QDir(automaticBackupFolder(fixture.programFolder())).exists());

    // The writer dies; its journal puts the bank back as it was.
    writer.kill();
    EXPECT_EQ(integrityOf(fixture.bankPath()), "ok");
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
    EXPECT_EQ(dataFiles(), QStringList{"med.db"});
}

TEST_F(BackupAndRestore, ARestoreIsRefusedWhenTheBankCannotBeSavedFirst) {
    backupBank(fixture.bankPath(), backupPath);
    Bank bank(fixture.bankPath());
    store::setQuestionFlag(bank, 8, store::QuestionFlag::Favourite, true);
    const QByteArray before = contentOf(fixture.bankPath());
    // A file where the folder of automatic backups belongs: nothing can go there.
    writeFile(automaticBackupFolder(fixture.programFolder()).chopped(1), "not a folder");

    try {
        restoreBank(fixture.programFolder(), backupPath);
        ADD_FAILURE() << "restored";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.message().startsWith("无法保存还原前的备份"))
            << error.message().toStdString();
    }
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
    EXPECT_EQ(integrityOf(fixture.bankPath()), "ok");
    EXPECT_TRUE(favourite(bank, 8));
    EXPECT_EQ(dataFiles(), QStringList{"med.db"});
}

TEST_F(BackupAndRestore, ARestoreTheDiskCannotHoldNamesTheCauseAndLeavesTheBankWhole) {
    backupBank(fixture.bankPath(), backupPath);
    const QByteArray before = contentOf(fixture.bankPath());
    // The child may write files of half the backup's size only.
    ChildProcess restorer([&](int pipe) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(before.size() / 2),
                           static_cast<rlim_t>(before.size() / 2)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            restoreBank(fixture.programFolder(), backupPath);
            say(pipe, "restored\n");
        } catch (const StoreError& error) {
            say(pipe, error.message().toUtf8() + "\n");
        }
    });
    const QString message = QString::fromUtf8(restorer.readUntil("\n")).trimmed();
    EXPECT_EQ(message,
              QStringLiteral("无法写入“%1”：文件超过了允许的大小。").arg(fixture.bankPath()));
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
    EXPECT_EQ(dataFiles(), QStringList{"med.db"});

    // A data folder on a disk with room for the bank and half of a copy.
    const QString small = elsewhere.filePath("small/");
    ChildProcess onFullDisk([&](int pipe) {
        if (!mountSmallDisk(small, before.size() * 3 / 2)) {
            say(pipe, "no disk\n");
            return;
        }
        writeFile(Bank::pathIn(small), before);
        try {
            restoreBank(small, backupPath);
            say(pipe, "restored\n");
        } catch (const StoreError& error) {
            say(pipe, error.message().toUtf8() + "\n");
        }
        const bool whole = contentOf(Bank::pathIn(small)) == before &&
                           QDir(small + "Data").entryList(QDir::Files) == QStringList{"med.db"};
        say(pipe, whole ? "whole\n" : "changed\n");
    });
    const QByteArray said = onFullDisk.readUntil("whole\n");
    if (said == "no disk\n")
        GTEST_SKIP() << "no disk can be mounted here";
    EXPECT_EQ(QString::fromUtf8(said),
              QStringLiteral("无法写入“%1”：磁盘空间不足。\nwhole\n").arg(Bank::pathIn(small)));
}

TEST_F(BackupAndRestore, ABackupOntoAFullDiskSaysSoAndLeavesNoFile) {
    const QString small = elsewhere.filePath("small/");
    ChildProcess backup([&](int pipe) {
        if (!mountSmallDisk(small, QFileInfo(fixture.bankPath()).size() / 2)) {
            say(pipe, "no disk\n");
            return;
        }
        try {
            backupBank(fixture.bankPath(), small + "backup");
            say(pipe, "saved\n");
        } catch (const StoreError& error) {
            say(pipe, error.message().toUtf8() + "\n");
        }
        say(pipe, QDir(small).isEmpty() ? "empty\n" : "left files\n");
    });
    const QByteArray said = backup.readUntil("empty\n");
    if (said == "no disk\n")
        GTEST_SKIP() << "no disk can be mounted here";
    EXPECT_EQ(QString::fromUtf8(said),
              QStringLiteral("无法写入“%1”：磁盘空间不足。\nempty\n").arg(small + "backup"));
}

TEST_F(BackupAndRestore, UnfinishedCopiesAreRemovedWhenNoOneHoldsTheBankAndNeverRestored) {
    const QString data = fixture.programFolder() + "Data/";
    const QString backups = automaticBackupFolder(fixture.programFolder());
    const QString backup = backups + backupNameText + "2024-01-01_09-30-00";
    const QStringList unfinished{data + "med.db.a1B2c3.restoring", backup + ".Xy9Zw8.part",
                                 backup + ".Xy9Zw8.part-journal"};
    const QStringList kept{data + "med.db.a1B2c3.restoring.txt", data + "notes.restoring",
                           backups + "notes.txt", backup};
    for (const QString& path : unfinished + kept)
        writeFile(path, "x");

    for (const QString& path : unfinished)
        EXPECT_FALSE(isBackupPath(path)) << path.toStdString();
    EXPECT_TRUE(isBackupPath(backup));

    {
        // Another instance reading the bank may be making a copy.
        OtherProgram reader(fixture.bankPath());
        reader.run("BEGIN");
        reader.run("SELECT count(*) FROM sqlite_master");
        removeUnfinishedCopies(fixture.programFolder());
        for (const QString& path : unfinished)
            EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    }
    removeUnfinishedCopies(fixture.programFolder());
    for (const QString& path : unfinished)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    for (const QString& path : kept)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
}

class BackgroundBackup : public BackupAndRestore {
protected:
    void SetUp() override {
        BackupAndRestore::SetUp();
        // Enough pages that a snapshot takes many steps.
        OtherProgram(fixture.bankPath())
            .run("CREATE TABLE filler AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                 "SELECT i + 1 FROM n WHERE i < 20000) SELECT randomblob(200) AS x FROM n");
    }

    QStringList backupFiles() const {
        return QDir(automaticBackupFolder(fixture.programFolder())).entryList(QDir::Files);
    }
};

TEST_F(BackgroundBackup, AStoppedSnapshotLeavesNoFile) {
    const std::atomic<bool> stop{true};
    EXPECT_THROW(writeAutomaticBackup(fixture.programFolder(), QDateTime::currentDateTime(), &stop),
                 StoreError);
    EXPECT_EQ(backupFiles(), QStringList{});
}

TEST_F(BackgroundBackup, TheDailyBackupIsMadeOnceTheEventLoopRunsAndFinishesWhenStopped) {
    const QDateTime now = QDateTime::currentDateTime();
    {
        DailyBackup daily(fixture.programFolder(), now, nullptr);
        bool finished = false;
        QEventLoop loop;
        QObject::connect(&daily, &DailyBackup::finished, &loop, [&] {
            finished = true;
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        EXPECT_EQ(backupFiles(), QStringList{});
        loop.exec();
        ASSERT_TRUE(finished);
    }
    ASSERT_EQ(automaticBackups(fixture.programFolder()).size(), 1);
    EXPECT_EQ(integrityOf(automaticBackupFolder(fixture.programFolder()) +
                          automaticBackups(fixture.programFolder())[0]),
              "ok");

    // Quitting while the next day's backup runs stops it without a trace.
    QFile::remove(automaticBackupFolder(fixture.programFolder()) +
                  automaticBackups(fixture.programFolder())[0]);
    {
        DailyBackup daily(fixture.programFolder(), now, nullptr);
        QCoreApplication::processEvents(); // the work starts
    }
    // Stopped part way there is nothing; only a backup that was already done stays.
    EXPECT_EQ(backupFiles(), automaticBackups(fixture.programFolder()));
}

} // namespace
