#include "app/application_setup.h"
#include "app/main_window.h"
#include "fixture_bank.h"
#include "other_program.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
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

} // namespace
