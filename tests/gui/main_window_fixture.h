#pragma once

#include "app/main_window.h"
#include "fixture_bank.h"
#include "recording_desktop.h"
#include "scripted_prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace testing_support {

// A program folder with the build's pictures and page template and a bank of the given tree:
// one top node, a first section holding `firstSectionChapters` chapters
// (ids 101, 102 …) and a second section holding `secondSectionChapters`
// (201 …).
class MainWindowTest : public testing::Test {
protected:
    // Shows the window and lets it build its tree and open its first chapter.
    void openWindow(int firstSectionChapters = 2, int secondSectionChapters = 1) {
        createWindow(firstSectionChapters, secondSectionChapters);
        window->show();
        QCoreApplication::processEvents();
    }

    // The window before it is shown; `content` adds groups and questions (the
    // first chapter is 101).
    void createWindow(int firstSectionChapters = 2, int secondSectionChapters = 1,
                      const std::function<void(store::BankBuilder&)>& content = {}) {
        const QString tp = QStringLiteral(PROGRAM_FOLDER "/tp/");
        QDir().mkpath(fixture.programFolder() + "tp");
        for (const QString& name : QDir(tp).entryList(QDir::Files))
            QFile::copy(tp + name, fixture.programFolder() + "tp/" + name);
        QFile::copy(QStringLiteral(PROGRAM_FOLDER "/ty.html"), fixture.programFolder() + "ty.html");
        auto& rows = fixture.rows();
        rows.setSubject({"测试科目", "test"});
        rows.setQuestionCount("3");
        rows.addNode({1, "总论", 0, 1, {}, {}});
        rows.addNode({10, "第一节", 1, 0, {}, {}});
        for (int i = 1; i <= firstSectionChapters; ++i)
            rows.addNode({100 + i, QStringLiteral("第%1章").arg(i), 10, 0, {}, {}});
        rows.addNode({20, "第二节", 1, 0, {}, {}});
        for (int i = 1; i <= secondSectionChapters; ++i)
            rows.addNode({200 + i, QStringLiteral("第二节第%1章").arg(i), 20, 0, {}, {}});
        if (content)
            content(rows);
        fixture.finish();
        const app::Folders folders{fixture.programFolder(),
                                   dataFolder.isEmpty() ? fixture.programFolder() : dataFolder};
        EXPECT_EQ(app::prepareDataFolder(folders), QString());
        window = std::make_unique<app::MainWindow>(folders, prompter, desktop);
    }

    template <class T = QWidget> T* child(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTreeWidget* tree() const { return child<QTreeWidget>("TreeView1"); }

    FixtureBank fixture;
    // Set before createWindow for an installed program: the bank is copied
    // there and the window writes there. Empty: the program folder.
    QString dataFolder;
    ScriptedPrompter prompter;
    RecordingDesktop desktop;
    std::unique_ptr<app::MainWindow> window;
};

} // namespace testing_support
