#include "app/application_setup.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "event_wait.h"
#include "fixture_bank.h"
#include "other_program.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

using app::MainWindow;
using testing_support::EmptyProgramFolder;
using testing_support::FixtureBank;
using testing_support::OtherProgram;
using testing_support::ScriptedPrompter;

namespace {

QString titleOf(const MainWindow& window) {
    return window.findChild<QLabel*>("Label4")->text();
}

TEST(Startup, TitleAndStatusShowTheBanksSubjectAndSize) {
    FixtureBank fixture;
    fixture.rows().setSubject({"职业病学（中级）", "zyb"});
    fixture.rows().setQuestionCount("12345");
    fixture.finish();
    ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    MainWindow window({fixture.programFolder(), fixture.programFolder()}, prompter, desktop);
    window.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(window.objectName(), QString("TForm10"));
    EXPECT_EQ(window.windowTitle(), QString("Morrowquill"));
    EXPECT_EQ(titleOf(window), QString("Morrowquill 中级职称  职业病学（中级）"));
    EXPECT_EQ(window.statusPanelText(0), QString("试题量：12345"));
    EXPECT_TRUE(
        QRegularExpression("^现在的日期和时间是： \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
            .match(window.statusPanelText(2))
            .hasMatch())
        << window.statusPanelText(2).toStdString();
    EXPECT_EQ(window.subjectFolder(), QString("zyb"));
    EXPECT_TRUE(window.updateInfoUrl().endsWith("/yiyaozj/zyb/Predate.ini"));
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST(Startup, ServiceLineHasNoPhoneNumberAndTheUpdateAddressNoHostSomeoneMayOwn) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    fixture.finish();
    ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    MainWindow window({fixture.programFolder(), fixture.programFolder()}, prompter, desktop);

    EXPECT_FALSE(window.statusPanelText(1).contains(QRegularExpression("\\d{3}")))
        << window.statusPanelText(1).toStdString();
    EXPECT_FALSE(window.statusPanelText(1).isEmpty());
    const QString host = QUrl(window.updateInfoUrl()).host();
    EXPECT_TRUE(host.endsWith(".invalid") || host.endsWith(".example.com")) << host.toStdString();
}

TEST(Startup, ServiceLineAndUpdateHostComeFromTheSettingsFile) {
    FixtureBank fixture;
    fixture.rows().setSubject({"职业病学（中级）", "zyb"});
    fixture.finish();
    QFile settings(fixture.programFolder() + "morrowquill.ini");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Update]\nHost=updates.test.invalid:8080\n"
                   "[StatusBar]\nServiceLine=<b>培训中心</b> 在线答疑\n");
    settings.close();
    ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    MainWindow window({fixture.programFolder(), fixture.programFolder()}, prompter, desktop);
    window.show();
    QCoreApplication::processEvents();

    const auto* serviceLine = window.findChild<QLabel*>("StatusPanel1");
    EXPECT_EQ(serviceLine->text(), QString("<b>培训中心</b> 在线答疑"));
    EXPECT_EQ(serviceLine->textFormat(), Qt::PlainText);
    EXPECT_EQ(window.updateInfoUrl(),
              QString("http://updates.test.invalid:8080/yiyaozj/zyb/Predate.ini"));
}

// A subject or count from the bank is shown as it stands, never as markup.
TEST(Startup, BankTextsInTheWindowAreShownAsText) {
    FixtureBank fixture;
    const QString subject = "<font color=red>职业病</font><img src=\"x.png\">";
    fixture.rows().setSubject({subject, "zyb"});
    fixture.rows().setQuestionCount("<b>12</b>");
    fixture.finish();
    ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    MainWindow window({fixture.programFolder(), fixture.programFolder()}, prompter, desktop);

    for (const char* name : {"Label4", "StatusPanel0"}) {
        const auto* label = window.findChild<QLabel*>(name);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
    }
    EXPECT_EQ(titleOf(window), "Morrowquill 中级职称  " + subject);
    EXPECT_EQ(window.statusPanelText(0), QString("试题量：<b>12</b>"));
}

// However long the settings' line, the window keeps its size: a longer one
// than its limit is not used at all.
TEST(Startup, AnOverlongServiceLineLeavesTheWindowAtItsSize) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    fixture.finish();
    const services::Settings shipped;
    for (const qsizetype length : {150, 20000}) {
        SCOPED_TRACE(length);
        QFile settings(fixture.programFolder() + "morrowquill.ini");
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[StatusBar]\nServiceLine=" + QByteArray(length, 'x') + "\n");
        settings.close();
        ScriptedPrompter prompter;
        testing_support::RecordingDesktop desktop;
        MainWindow window({fixture.programFolder(), fixture.programFolder()}, prompter, desktop);
        window.show();
        QCoreApplication::processEvents();

        EXPECT_EQ(window.width(), 1007);
        EXPECT_EQ(window.statusPanelText(1),
                  length > 200 ? shipped.serviceLine : QString(length, 'x'));
    }
}

TEST(Startup, MissingBankOpensTheWindowWithOneErrorAndCreatesNothing) {
    EmptyProgramFolder folder;
    ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    MainWindow window({folder.programFolder(), folder.programFolder()}, prompter, desktop);
    window.show();
    QCoreApplication::processEvents();

    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(titleOf(window), QString("Morrowquill 中级职称"));
    EXPECT_EQ(window.statusPanelText(0), QString("试题量：XXX"));
    EXPECT_EQ(window.findChild<QTreeWidget*>("TreeView1")->topLevelItemCount(), 0);
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains(folder.programFolder() + "Data/med.db"));
    EXPECT_TRUE(QDir(folder.programFolder()).isEmpty());
}

// The window system appends a display name to every caption; without one
// the message boxes' captions ("提示" …) stand alone.
TEST(Startup, TheApplicationSetsNoDisplayNameOfItsOwn) {
    const QString name = QCoreApplication::applicationName();
    app::configureApplication();
    QCoreApplication::setApplicationName("另一个名字");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QString("另一个名字"));
    QCoreApplication::setApplicationName(name);
}

TEST(Startup, BankHeldByAnotherProgramIsReportedAsInUseAndReadOnceFree) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    fixture.rows().addNode({1, "总论", 0, 1, {}, {}});
    fixture.finish();
    OtherProgram holder(fixture.bankPath());
    holder.run("BEGIN EXCLUSIVE");
    ScriptedPrompter prompter;
    testing_support::RecordingDesktop desktop;
    MainWindow window({fixture.programFolder(), fixture.programFolder()}, prompter, desktop);
    window.show();
    QCoreApplication::processEvents();

    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains(fixture.bankPath()))
        << prompter.errors[0].toStdString();
    EXPECT_TRUE(prompter.errors[0].contains("正被其他程序使用"))
        << prompter.errors[0].toStdString();
    auto* tree = window.findChild<QTreeWidget*>("TreeView1");
    EXPECT_EQ(tree->topLevelItemCount(), 0);

    holder.run("ROLLBACK");
    window.rebuildTree();
    EXPECT_EQ(prompter.errors.size(), 1);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
}

// Every file below a folder but the automatic backups, with its content.
QStringList filesOutsideBackups(const QString& folder) {
    QStringList state;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (path.startsWith(folder + "backups/"))
            continue;
        QFile file(path);
        const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
        state << path + " " + QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
    }
    state.sort();
    return state;
}

// Two real copies of the program on one data folder: a later start asks the
// running one to show its window and ends at once, writing nothing.
TEST(Startup, ALaterCopyOnTheSameDataFolderShowsTheRunningOneAndWritesNothing) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    fixture.rows().addNode({1, "总论", 0, 1, {}, {}});
    fixture.finish();
    const QString folder = fixture.programFolder();
    ASSERT_TRUE(QFile::copy(PROGRAM_FOLDER "/morrowquill", folder + "morrowquill"));
    ASSERT_TRUE(QFile::copy(PROGRAM_FOLDER "/ty.html", folder + "ty.html"));
    // The copies' local sockets live in a folder of the test's own.
    QTemporaryDir sockets;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", sockets.path());
    const auto startCopy = [&](QProcess& copy) {
        copy.setProgram(folder + "morrowquill");
        copy.setProcessEnvironment(environment);
        copy.setProcessChannelMode(QProcess::ForwardedChannels);
        copy.start();
        return copy.waitForStarted(10000);
    };
    QProcess running;
    ASSERT_TRUE(startCopy(running));
    const auto later = [&] {
        QProcess copy;
        if (!startCopy(copy) || !copy.waitForFinished(30000)) {
            copy.kill();
            copy.waitForFinished();
            return -1;
        }
        return copy.exitStatus() == QProcess::NormalExit ? copy.exitCode() : -1;
    };
    // The first answer comes once the running copy is up and has written
    // what it writes at start.
    ASSERT_TRUE(testing_support::waitUntil(
        [&] { return QFile::exists(folder + app::instanceLockName); }, 30000));
    EXPECT_EQ(later(), 0);
    const QStringList before = filesOutsideBackups(folder);
    EXPECT_EQ(later(), 0);
    EXPECT_EQ(filesOutsideBackups(folder), before);
    EXPECT_EQ(running.state(), QProcess::Running);
    running.kill();
    running.waitForFinished();
}

} // namespace
