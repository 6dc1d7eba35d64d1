#include "event_wait.h"
#include "fake_http_server.h"
#include "main_window_fixture.h"
#include "other_program.h"
#include "services/automatic_backups.h"
#include "services/backup_dialog.h"
#include "services/bank_backup.h"
#include "services/bank_file_dialog.h"
#include "services/daily_backup.h"
#include "services/restore_dialog.h"
#include "services/update_check.h"
#include "services/update_notifier.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "test_files.h"

#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using testing_support::FakeHttpServer;

using testing_support::contentOf;
using testing_support::writeFile;

namespace {

class Maintenance : public testing_support::MainWindowTest {
protected:
    void click(const char* button) { QTest::mouseClick(child(button), Qt::LeftButton); }

    // Clicks a tool-bar button whose dialog the script then drives.
    void inDialog(const char* button,
                  const std::function<void(services::BankFileDialog&)>& script) {
        prompter.onModal = [&](QDialog& dialog) {
            script(static_cast<services::BankFileDialog&>(dialog));
        };
        click(button);
        prompter.onModal = nullptr;
    }

    QTemporaryDir elsewhere;
    QString backupPath = elsewhere.filePath(services::proposedBackupName(QDate::currentDate()));
};

bool favourite(const QString& bankPath, qint64 id) {
    store::Bank bank(bankPath);
    return store::questionById(bank, id)->scbt == "1";
}

void withOneQuestion(store::BankBuilder& rows) {
    rows.addGroup({1, 101, 3, {}, {}});
    store::Question question;
    question.id = 7;
    question.readtextid = 1;
    rows.addQuestion(question);
}

TEST_F(Maintenance, BackupThenRestoreBringsBackTheFlagsAndShowsTheRestoredBank) {
    createWindow(2, 1, withOneQuestion);
    window->show();
    QCoreApplication::processEvents();
    prompter.fileAnswers << backupPath;
    inDialog("NewImage4", [](services::BankFileDialog& dialog) {
        dialog.browseButton()->click();
        dialog.okButton()->click();
    });
    EXPECT_EQ(prompter.fileDialogs, QStringList{"数据备份|" + QDir::homePath() + "/" +
                                                services::proposedBackupName(QDate::currentDate()) +
                                                "|所有文件 (*);;备份文件 (*.mdb.bak)"});
    EXPECT_EQ(prompter.messages, QStringList{"备份成功！"});
    EXPECT_FALSE(window->backupDialog()->isVisible());
    ASSERT_TRUE(QFile::exists(backupPath));

    {
        store::Bank bank(fixture.bankPath());
        store::setQuestionFlag(bank, 7, store::QuestionFlag::Favourite, true);
    }
    // A backup with other chapters shows them once restored.
    testing_support::FixtureBank other;
    other.rows().setSubject({"另一科目", "other"});
    other.rows().setQuestionCount("0");
    other.rows().addNode({1, "还原后的总论", 0, 1, {}, {}});
    other.rows().addNode({10, "还原后的节", 1, 0, {}, {}});
    other.rows().addNode({101, "还原后的章", 10, 0, {}, {}});
    other.finish();
    const QString otherBackup = elsewhere.filePath("Morrowquill医药软件数据备份-other");
    ASSERT_TRUE(QFile::copy(other.bankPath(), otherBackup));

    QSignalSpy pageShown(window.get(), &app::MainWindow::pageShown);
    prompter.fileAnswers << otherBackup;
    inDialog("NewImage2", [](services::BankFileDialog& dialog) {
        dialog.browseButton()->click();
        dialog.okButton()->click();
    });
    EXPECT_EQ(prompter.messages.last(), "成功恢复数据！");
    EXPECT_EQ(contentOf(fixture.bankPath()), contentOf(otherBackup));
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "还原后的总论");
    EXPECT_TRUE(pageShown.wait(20000));
    EXPECT_EQ(window->currentChapterId(), "101");

    // The bank before the restore was kept, and the first backup still restores it.
    prompter.fileAnswers << backupPath;
    inDialog("NewImage2", [](services::BankFileDialog& dialog) {
        dialog.browseButton()->click();
        dialog.okButton()->click();
    });
    EXPECT_EQ(prompter.messages.last(), "成功恢复数据！");
    EXPECT_FALSE(favourite(fixture.bankPath(), 7));
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "总论");
    EXPECT_EQ(prompter.failures, QStringList{});
}

TEST_F(Maintenance, EmptyPathsRenamedBackupsAndTypedPathsRestoreNothing) {
    openWindow();
    const QByteArray before = contentOf(fixture.bankPath());
    inDialog("NewImage4", [](services::BankFileDialog& dialog) { dialog.okButton()->click(); });
    inDialog("NewImage2", [](services::BankFileDialog& dialog) { dialog.okButton()->click(); });
    EXPECT_EQ(prompter.messages, (QStringList{"请选择备份路径！", "请选择恢复路径！"}));

    services::backupBank(fixture.bankPath(), backupPath);
    const QString renamed = elsewhere.filePath("my-bank.db");
    QFile::copy(backupPath, renamed);
    prompter.messages.clear();
    prompter.fileAnswers << renamed;
    inDialog("NewImage2", [&](services::BankFileDialog& dialog) {
        dialog.browseButton()->click();
        EXPECT_EQ(dialog.pathEdit()->text(), "");
        // Typed text names a sound backup, but is never used as a path.
        dialog.pathEdit()->setText(backupPath);
        dialog.okButton()->click();
    });
    EXPECT_EQ(prompter.messages, QStringList{"请恢复您备份的文件！"});
    ASSERT_EQ(prompter.failures.size(), 1);
    EXPECT_TRUE(prompter.failures[0].startsWith("恢复失败，请重试!|"));
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
}

TEST_F(Maintenance, ANonBankFileWithABackupNameIsRefusedAndTheBankIsUnchanged) {
    openWindow();
    const QByteArray before = contentOf(fixture.bankPath());
    writeFile(backupPath, "not a bank at all");
    prompter.fileAnswers << backupPath;
    inDialog("NewImage2", [](services::BankFileDialog& dialog) {
        dialog.browseButton()->click();
        dialog.okButton()->click();
        // The dialog stays open for another try.
        EXPECT_EQ(dialog.result(), 0);
    });
    ASSERT_EQ(prompter.failures.size(), 1);
    EXPECT_TRUE(prompter.failures[0].startsWith("恢复失败，请重试!|所选文件不是可用的题库备份。"))
        << prompter.failures[0].toStdString();
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
    EXPECT_EQ(prompter.messages, QStringList{});
}

TEST_F(Maintenance, ANewerReleaseAfterStartUpIsAnnouncedAndTheUpdaterStarted) {
    const QByteArray body = "[File1]\r\nDate=2009-05-12\r\n";
    FakeHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                          "\r\n\r\n" + body);
    const QString folder = fixture.programFolder();
    writeFile(folder + "morrowquill.ini",
              "[Update]\nHost=127.0.0.1:" + QByteArray::number(server.url().port()) + "\n");
    writeFile(folder + "predate.ini", "[File1]\r\nDate=2009-05-11\r\n");
    writeFile(folder + "app_upd", "");
    createWindow();
    QSignalSpy finished(window->updateNotifier(), &services::UpdateNotifier::startCheckFinished);
    window->show();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_TRUE(server.request().startsWith("GET /yiyaozj/test/Predate.ini "));
    EXPECT_EQ(prompter.notices, QStringList{"信息|软件需要更新"});
    EXPECT_EQ(desktop.started, QStringList{folder + "app_upd"});
    EXPECT_EQ(contentOf(folder + "tmp.ini"), body);
}

TEST_F(Maintenance, AHangingUpdateServerLeavesTheWindowServingEvents) {
    openWindow();
    FakeHttpServer silent{QByteArray()};
    writeFile(fixture.programFolder() + "tmp.ini", "old");
    QSignalSpy finished(window->updateNotifier(), &services::UpdateNotifier::startCheckFinished);
    window->updateNotifier()->checkAfterStart(silent.url(), 500);
    // The window answers a click while the server keeps silent.
    prompter.dialogs.clear();
    click("NewImage4");
    EXPECT_EQ(prompter.dialogs, QStringList{"TForm13"});
    EXPECT_TRUE(finished.wait(20000));
    EXPECT_EQ(contentOf(fixture.programFolder() + "tmp.ini"), "old");
    EXPECT_EQ(prompter.notices, QStringList{});
}

TEST_F(Maintenance, TheUpgradeButtonComparesWithoutDownloading) {
    openWindow();
    const QString folder = fixture.programFolder();
    writeFile(folder + "predate.ini", "[File1]\r\nDate=2009-05-11\r\n");
    // Never downloaded, then a login page in place of the file: no date, no verdict.
    click("rjsj");
    writeFile(folder + "tmp.ini", "<html><body>请登录</body></html>");
    click("rjsj");
    EXPECT_EQ(prompter.messages, QStringList(2, "无法获取最新版本信息，请检查网络连接。"));
    EXPECT_EQ(prompter.notices, QStringList{});
    prompter.messages.clear();
    writeFile(folder + "tmp.ini", "[File1]\r\nDate=2009-05-11\r\n");
    desktop.connected = false;
    click("rjsj");
    desktop.connected = true;
    click("rjsj");
    EXPECT_EQ(prompter.messages, (QStringList{"请检查网络连接", "已经是最新版本"}));
    writeFile(folder + "tmp.ini", "[File1]\r\nDate=2009-05-12\r\n");
    click("rjsj");
    EXPECT_EQ(prompter.notices, QStringList{"信息|软件需要更新"});
    // No updater in the folder: nothing is started.
    EXPECT_EQ(desktop.started, QStringList{});
}

TEST_F(Maintenance, HelpAndLinksOpenTheirTargets) {
    openWindow();
    const QString folder = fixture.programFolder();
    QDir().mkpath(folder + "help");
    writeFile(folder + "help/index.html", "<html></html>");
    click("zxkf");
    click("zxsc");
    click("sybz");
    writeFile(folder + "hlp.chm", "");
    click("sybz");
    EXPECT_EQ(desktop.opened,
              (QStringList{"http://www.example.com/", "http://www.example.com/gmzx.asp",
                           QUrl::fromLocalFile(folder + "help/index.html").toString(),
                           QUrl::fromLocalFile(folder + "hlp.chm").toString()}));
    EXPECT_EQ(prompter.errors, QStringList{});
}

TEST_F(Maintenance, ARestoreWhileAnotherProgramHoldsTheBankIsRefusedWithTheReason) {
    openWindow();
    services::backupBank(fixture.bankPath(), backupPath);
    const QByteArray before = contentOf(fixture.bankPath());
    testing_support::OtherProgram holder(fixture.bankPath());
    holder.run("BEGIN EXCLUSIVE");
    prompter.fileAnswers << backupPath;
    inDialog("NewImage2", [](services::BankFileDialog& dialog) {
        dialog.browseButton()->click();
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), 0);
    });
    holder.run("ROLLBACK");
    ASSERT_EQ(prompter.failures.size(), 1);
    EXPECT_TRUE(prompter.failures[0].startsWith("恢复失败，请重试!|题库文件正被其他程序使用"))
        << prompter.failures[0].toStdString();
    EXPECT_EQ(prompter.messages, QStringList{});
    EXPECT_EQ(contentOf(fixture.bankPath()), before);
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "总论");
}

TEST_F(Maintenance, StartUpClearsUnfinishedCopiesAndBacksUpOnceTheWindowIsShown) {
    const QString backups = services::automaticBackupFolder(fixture.programFolder());
    const QString unfinishedRestore = fixture.programFolder() + "Data/med.db.a1B2c3.restoring";
    const QString unfinishedBackup =
        backups + services::backupNameText + "2024-01-01_09-30-00.Xy9Zw8.part";
    writeFile(unfinishedRestore, "x");
    writeFile(unfinishedBackup, "x");
    createWindow();
    auto* daily = window->findChild<services::DailyBackup*>();
    ASSERT_NE(daily, nullptr);
    QSignalSpy finished(daily, &services::DailyBackup::finished);
    // Nothing is copied before the window shows.
    EXPECT_EQ(services::automaticBackups(fixture.programFolder()), QStringList{});
    window->show();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(services::automaticBackups(fixture.programFolder()).size(), 1);
    EXPECT_FALSE(QFile::exists(unfinishedRestore));
    EXPECT_FALSE(QFile::exists(unfinishedBackup));
}

} // namespace
