#include "collections/view_mode.h"
#include "collections/wrong_question_manager.h"
#include "main_window_fixture.h"
#include "other_program.h"
#include "page_support.h"
#include "practice/page_builder.h"
#include "practice/result_window.h"
#include "store/question_statements.h"
#include "store/tally_statements.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using testing_support::chapterContent;
using testing_support::evaluate;
using testing_support::MainWindowTest;

namespace {

class Grading : public MainWindowTest {
protected:
    bool openPage(const std::function<void(store::BankBuilder&)>& extra = {}) {
        createWindow(2, 1, [&](store::BankBuilder& rows) {
            chapterContent(rows);
            if (extra)
                extra(rows);
        });
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        return shown.wait(20000);
    }
    bool waitForPage() { return QSignalSpy(window.get(), &app::MainWindow::pageShown).wait(20000); }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }

    // Answers the result window: waits for its table, keeps its text, closes it.
    void answerResultWindow() {
        prompter.onModal = [this](QDialog& dialog) {
            auto& result = static_cast<practice::ResultWindow&>(dialog);
            QSignalSpy table(&result, &practice::ResultWindow::tableShown);
            dialog.show();
            EXPECT_TRUE(table.wait(20000));
            resultText = evaluate(result.view(), "document.body.innerText").toString();
            dialog.accept();
        };
    }
    void grade() {
        answerResultWindow();
        const qsizetype shown = prompter.dialogs.count("TForm15");
        click("NewImage12");
        ASSERT_TRUE(testing_support::waitUntil(
            [&] { return prompter.dialogs.count("TForm15") > shown; }, 20000));
    }
    store::Question question(int id) {
        store::Bank bank(fixture.bankPath());
        return *store::questionById(bank, id);
    }

    QString resultText;
};

TEST_F(Grading, GradedPageShowsRedNumbersTheTableAndTheAnswers) {
    ASSERT_TRUE(openPage());
    // q7 right, q8 half right, q9 right.
    window->page()->setChecked("100071", true);
    window->page()->setChecked("100081", true);
    window->page()->setValue("a10009", "B");
    prompter.yesAnswer = true;
    grade();
    EXPECT_EQ(prompter.dialogs, QStringList({"TForm15"}));
    EXPECT_TRUE(resultText.contains("本 次 测 试 结 果")) << resultText.toStdString();
    EXPECT_TRUE(resultText.contains("阅读案例多个问题8\t1\t0\t1\t0\t0%"))
        << resultText.toStdString();
    EXPECT_TRUE(resultText.contains("合 计\t3\t2\t3\t2\t67%")) << resultText.toStdString();
    EXPECT_EQ(prompter.questions, QStringList({"提示|您是否把这次的错题放到错题题库中？"}));
    EXPECT_EQ(evaluate(window->page(), "['fan10007', 'fan10008', 'fan10009'].map(id => "
                                       "document.getElementById(id).style.color).join(',')")
                  .toString(),
              QString(",red,"));
    EXPECT_TRUE(testing_support::waitUntil(
        [&] {
            return evaluate(window->page(), "document.getElementById('ansnote10007').style.display")
                       .toString() == "block";
        },
        10000));
    EXPECT_EQ(question(10008).ct, QString("1"));
    EXPECT_EQ(question(10008).ct1, QString("1"));
    EXPECT_EQ(question(10007).ct, QString(""));
    // The graded page stays: no reload after the result window.
    EXPECT_EQ(evaluate(window->page(), "document.getElementById('100071').checked").toBool(), true);
}

// Every file below a folder with its size, time and content.
QStringList folderState(const QString& folder) {
    QStringList state;
    QDirIterator files(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        QFile content(file.filePath());
        const QByteArray bytes = content.open(QIODevice::ReadOnly) ? content.readAll() : "";
        state << QStringLiteral("%1 %2 %3 %4")
                     .arg(file.filePath())
                     .arg(file.size())
                     .arg(file.lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(
                         QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
    }
    state.sort();
    return state;
}

TEST_F(Grading, AnInstalledProgramGradesInTheUsersBankAndLeavesItsFolderUntouched) {
    QTemporaryDir user;
    dataFolder = user.path() + "/morrowquill/";
    createWindow(2, 1, chapterContent);
    const QStringList before = folderState(fixture.programFolder());
    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    window->show();
    ASSERT_TRUE(shown.wait(20000));
    window->page()->setChecked("100071", true);
    prompter.yesAnswer = true;
    grade();
    store::Bank bank(store::Bank::pathIn(dataFolder));
    EXPECT_EQ(store::questionById(bank, 10008)->ct, QString("1"));
    window.reset();
    EXPECT_EQ(folderState(fixture.programFolder()), before);
    EXPECT_EQ(question(10008).ct, QString(""));
}

TEST_F(Grading, AnsweringNoTakesThisGradingsWrongQuestionsOutOfTheBank) {
    ASSERT_TRUE(openPage([](store::BankBuilder&) {}));
    {
        store::Bank bank(fixture.bankPath());
        store::setQuestionFlag(bank, 10007, store::QuestionFlag::Wrong, true); // wrong before
    }
    prompter.yesAnswer = false;
    grade();
    EXPECT_EQ(question(10007).ct, QString(""));
    EXPECT_EQ(question(10007).ct1, QString("1"));
    EXPECT_EQ(question(10008).ct, QString(""));
}

TEST_F(Grading, TheWrongQuestionViewNeverAsks) {
    ASSERT_TRUE(openPage());
    {
        store::Bank bank(fixture.bankPath());
        store::setQuestionFlag(bank, 10008, store::QuestionFlag::Wrong, true);
    }
    prompter.onModal = [](QDialog& dialog) {
        dialog.accept();
    }; // the manager
    click("NewImage20");
    EXPECT_EQ(window->viewKey(), QString("错 题 题 库"));
    ASSERT_TRUE(waitForPage());
    grade();
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_EQ(question(10008).ct, QString("1"));
    EXPECT_TRUE(resultText.contains("合 计\t1\t0")) << resultText.toStdString();
}

TEST_F(Grading, RedoRebuildsThePageOnlyWhenConfirmed) {
    ASSERT_TRUE(openPage());
    evaluate(window->page(), "document.getElementById('100071').checked = true");
    prompter.confirmAnswer = false;
    click("NewImage11");
    EXPECT_EQ(prompter.questions, QStringList({"提示|重新答题会清除当前所选的答案，是否继续？"}));
    EXPECT_TRUE(evaluate(window->page(), "document.getElementById('100071').checked").toBool());
    prompter.confirmAnswer = true;
    click("NewImage11");
    ASSERT_TRUE(waitForPage());
    EXPECT_FALSE(evaluate(window->page(), "document.getElementById('100071').checked").toBool());
}

// Clicking a section selects it; redo still rebuilds the chapter on show.
TEST_F(Grading, RedoAfterASectionClickRebuildsTheChapterOnShow) {
    ASSERT_TRUE(openPage());
    evaluate(window->page(), "document.getElementById('100071').checked = true");
    QTreeWidgetItem* section = tree()->topLevelItem(0)->child(0);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                      tree()->visualItemRect(section).center());
    ASSERT_EQ(tree()->currentItem(), section);
    prompter.confirmAnswer = true;
    click("NewImage11");
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(window->currentChapterId(), QString("101"));
    EXPECT_FALSE(evaluate(window->page(), "document.getElementById('100071').checked").toBool());
    EXPECT_TRUE(evaluate(window->page(), "!!document.getElementById('fan10007')").toBool());
}

// A grading the bank cannot take (another program holds it, the disk is full)
// writes nothing and says why.
TEST_F(Grading, AGradingThatCannotBeSavedSaysWhyAndChangesNothing) {
    ASSERT_TRUE(openPage());
    window->page()->setChecked("100071", true);
    testing_support::OtherProgram holder(fixture.bankPath());
    holder.run("BEGIN EXCLUSIVE");
    click("NewImage12");
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.errors.isEmpty(); }, 20000));
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].startsWith("成绩未能保存")) << prompter.errors[0].toStdString();
    EXPECT_TRUE(prompter.errors[0].contains("正被其他程序使用"))
        << prompter.errors[0].toStdString();
    EXPECT_TRUE(prompter.dialogs.isEmpty());
    holder.run("ROLLBACK");
    holder.close();
    EXPECT_EQ(question(10008).ct, QString(""));
    EXPECT_EQ(question(10008).ct1, QString(""));
    EXPECT_EQ(
        evaluate(window->page(), "document.getElementById('fan10008').style.color").toString(),
        QString(""));
}

class Collections : public Grading {
protected:
    void setFlag(int id, store::QuestionFlag flag, bool set) {
        store::Bank bank(fixture.bankPath());
        store::setQuestionFlag(bank, id, flag, set);
    }
};

TEST_F(Collections, EmptyFavouritesAreReportedAndThePageReopened) {
    ASSERT_TRUE(openPage());
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                      tree()->visualItemRect(tree()->topLevelItem(0)->child(0)->child(1)).center());
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(window->currentChapterId(), QString("102"));
    click("NewImage1");
    EXPECT_EQ(prompter.messages, QStringList({"您没有收藏试题！"}));
    EXPECT_EQ(window->viewKey(), QString("高 级 试 题"));
    EXPECT_EQ(window->currentChapterId(), QString("101"));
}

TEST_F(Collections, FavouritesViewShowsTheMarkedChaptersAndFollowsRemovals) {
    ASSERT_TRUE(openPage());
    setFlag(10007, store::QuestionFlag::Favourite, true);
    click("NewImage1");
    EXPECT_EQ(window->viewKey(), QString("收 藏 试 题"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QString("收 藏 试 题"));
    EXPECT_EQ(window->nodeIds(), (std::vector<qint64>{0, 0, 101, 0}));
    ASSERT_TRUE(waitForPage());
    EXPECT_EQ(evaluate(window->page(), "document.querySelectorAll('[id^=fan]').length").toInt(), 1);

    // Removing the last favourite from inside the view re-enters it, which is now empty.
    // The click reloads the page, so its script has no result to wait for.
    window->page()->runScript("document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return prompter.messages.size() == 2; }, 10000));
    EXPECT_EQ(prompter.messages, QStringList({"取消收藏！", "您没有收藏试题！"}));
    EXPECT_EQ(window->viewKey(), QString("收 藏 试 题"));
}

TEST_F(Collections, ManagerDeletesTheTickedRowsOnly) {
    ASSERT_TRUE(openPage());
    for (int id : {10007, 10008, 10009})
        setFlag(id, store::QuestionFlag::Wrong, true);
    QStringList rowsAfterDelete;
    prompter.onModal = [&](QDialog& dialog) {
        dialog.show();
        auto* list = dialog.findChild<QTableWidget*>("lstDetail");
        EXPECT_EQ(list->rowCount(), 3);
        list->item(1, 0)->setCheckState(Qt::Checked);
        QTest::mouseClick(dialog.findChild<QPushButton*>("bsSkinButton1"), Qt::LeftButton);
        for (int row = 0; row < list->rowCount(); ++row)
            rowsAfterDelete << list->item(row, 1)->text() +
                                   (list->item(row, 0)->checkState() == Qt::Checked ? "+" : "");
        QTest::mouseClick(dialog.findChild<QPushButton*>("bsSkinButton2"), Qt::LeftButton);
    };
    click("NewImage20");
    EXPECT_EQ(rowsAfterDelete, QStringList({"题10007", "题10009"}));
    EXPECT_EQ(question(10008).ct, QString(""));
    EXPECT_EQ(window->viewKey(), QString("错 题 题 库"));
}

TEST_F(Collections, SelectAllAndDeleteLeavesNoWrongQuestions) {
    ASSERT_TRUE(openPage());
    for (int id : {10007, 10008, 10009})
        setFlag(id, store::QuestionFlag::Wrong, true);
    prompter.onModal = [&](QDialog& dialog) {
        dialog.show();
        auto* list = dialog.findChild<QTableWidget*>("lstDetail");
        list->item(0, 0)->setCheckState(Qt::Checked);
        list->item(2, 0)->setCheckState(Qt::Checked);
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnInvert"), Qt::LeftButton);
        EXPECT_EQ(list->item(0, 0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(list->item(1, 0)->checkState(), Qt::Checked);
        EXPECT_EQ(list->item(2, 0)->checkState(), Qt::Unchecked);
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnSelAll"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>("bsSkinButton1"), Qt::LeftButton);
        EXPECT_EQ(list->rowCount(), 0);
        dialog.accept();
    };
    click("NewImage20");
    EXPECT_EQ(prompter.messages, QStringList({"您没有错题！"}));
    EXPECT_EQ(window->viewKey(), QString("高 级 试 题"));
}

TEST_F(Collections, ClosingTheManagerWithoutDeletingChangesNothing) {
    ASSERT_TRUE(openPage());
    setFlag(10008, store::QuestionFlag::Wrong, true);
    prompter.onModal = [&](QDialog& dialog) {
        dialog.show();
        dialog.findChild<QTableWidget*>("lstDetail")->item(0, 0)->setCheckState(Qt::Checked);
        dialog.close();
    };
    click("NewImage20");
    EXPECT_EQ(question(10008).ct, QString("1"));
    EXPECT_EQ(window->nodeIds(), (std::vector<qint64>{0, 0, 101, 0}));
}

// A large page is parsed a container at a time; its elements are the ones the
// fragments make when each is parsed on its own.
TEST_F(Grading, ALargePageHasTheElementsOfItsFragmentsParsedOneByOne) {
    createWindow(2, 1, testing_support::largeMixedChapter);
    window->show();
    ASSERT_TRUE(waitForPage());
    QStringList fragments;
    {
        store::Bank bank(fixture.bankPath());
        practice::buildChapterPage(bank, 101, collections::ViewMode::WholeBank, fragments);
    }
    ASSERT_GT(fragments.size(), 1000);
    const QString signature = QStringLiteral(
        "function mqSignature(root) { var s = []; root.querySelectorAll('*').forEach("
        "function (e) { if (e.className != 'mq-part') s.push(e.parentElement.tagName + '>' + "
        "e.tagName + '#' + e.id + '.' + "
        "e.className + ':' + (e.firstChild && e.firstChild.nodeType == 3 ? "
        "e.firstChild.data.trim() : '')); }); return s; }");
    const QStringList onPage =
        evaluate(window->page(), signature + "mqSignature(document.body).join('\\n')")
            .toString()
            .split('\n');
    const QString oneByOneScript =
        signature +
        QStringLiteral("(function (f) { var s = []; f.forEach(function (h) { var d = "
                       "document.createElement('div'); d.insertAdjacentHTML('beforeend', h); "
                       "s = s.concat(mqSignature(d)); }); return s.join('\\n'); })(%1)")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(fragments))
                                       .toJson(QJsonDocument::Compact)));
    const QStringList oneByOne = evaluate(window->page(), oneByOneScript).toString().split('\n');
    EXPECT_GT(evaluate(window->page(), "document.querySelectorAll('.mq-part').length").toInt(), 5);
    ASSERT_EQ(onPage.size(), oneByOne.size());
    EXPECT_EQ(onPage, oneByOne);
}

// A large page is laid out container by container; everything that reads or
// changes it reaches the questions far below the first screen as well.
TEST_F(Grading, ALargePageWorksBeyondItsFirstScreen) {
    createWindow(2, 1, testing_support::largeChapter);
    window->show();
    ASSERT_TRUE(waitForPage());
    EXPECT_GT(evaluate(window->page(), "document.querySelectorAll('.mq-part').length").toInt(), 10);
    EXPECT_EQ(
        evaluate(window->page(), "document.querySelectorAll('body > [id^=fan]').length").toInt(),
        0);

    click("NewImage10");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] {
            return evaluate(window->page(), "document.getElementById('ansnote20600').style.display")
                       .toString() == "block";
        },
        10000));
    click("NewImage16");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] {
            return evaluate(window->page(), "document.getElementById('ansnote20600').style.display")
                       .toString() == "none";
        },
        10000));
    click("NewImage14");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] {
            return evaluate(window->page(),
                            "getComputedStyle(document.getElementById('fan20600')).fontSize")
                       .toString() == "17px";
        },
        10000));

    window->page()->setChecked("200011", true); // the first question, right
    window->page()->setChecked("205992", true); // far below, wrong
    window->page()->setChecked("206001", true); // the last, right
    grade();
    EXPECT_EQ(question(20599).ct1, QString("1"));
    EXPECT_EQ(question(20001).ct1, QString(""));
    EXPECT_EQ(question(20600).ct1, QString(""));
    EXPECT_EQ(question(20300).ct1, QString("1")); // left unanswered
    EXPECT_EQ(evaluate(window->page(), "['fan20599', 'fan20600', 'fan20001'].map(id => "
                                       "document.getElementById(id).style.color).join(',')")
                  .toString(),
              QString("red,,"));
}

// Chapter 101 beside a group whose texts try to reach the page's commands:
// question 13001 is the target, question 14 carries the attacks.
class HostileBank : public Grading {
protected:
    static constexpr char favourite13001[] = "window.location.href='http://scbt13001'";

    bool openHostilePage() {
        return openPage([](store::BankBuilder& rows) {
            const QString act = QString::fromLatin1(favourite13001);
            rows.addType({4, "1", "单选题<img src=\"missing.png\" onerror=\"" + act + "\">"});
            rows.addGroup({4, 101, 4, {}, {}});
            store::Question target;
            target.id = 13001;
            target.readtextid = 4;
            target.content = "普通的题";
            target.answer = "A";
            target.picurl = "tp/CloseBtn-1.bmp";
            rows.addQuestion(target);
            rows.addOption({1300101, 13001, "A", "甲"});
            store::Question hostile;
            hostile.id = 14;
            hostile.readtextid = 4;
            hostile.content = "H<sub>2</sub>O<img src=\"missing.png\" onerror=\"" + act + "\">";
            hostile.picurl = "missing.png\" onerror=\"" + act;
            hostile.answer = "A\" onmouseover=\"" + act;
            hostile.explain = "<base href=\"http://example.invalid/\"><table class=\"facts\" "
                              "border=1><tr><td>表格</td></tr></table>";
            rows.addQuestion(hostile);
            rows.addOption({141, 14, "A",
                            "<input type=\"button\" name=\"sanyangxsda\" value=\"显示答案\" "
                            "onclick=\"" +
                                act + "\">甲"});
        });
    }
    QVariant page(const QString& script) { return evaluate(window->page(), script); }
    bool picturesSettled() {
        return page("Array.from(document.images).every(i => i.complete)").toBool();
    }
};

TEST_F(HostileBank, OpeningShowAllAndGradingChangeNoFlagAndShowNoBox) {
    ASSERT_TRUE(openHostilePage());
    // Once every picture has loaded or failed, its handlers would have run.
    ASSERT_TRUE(testing_support::waitUntil([&] { return picturesSettled(); }, 10000));
    click("NewImage10");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return page("document.getElementById('ansnote13001').style.display") == "block"; },
        10000));
    prompter.yesAnswer = true;
    grade(); // shows all answers again once the result window closes
    page("0");
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter.messages, QStringList());
    EXPECT_EQ(prompter.errors, QStringList());
    EXPECT_EQ(question(13001).scbt, QString(""));
    EXPECT_EQ(question(14).scbt, QString(""));
    EXPECT_EQ(page("document.querySelectorAll('base, [onerror], [onmouseover], "
                   "input[name=sanyangxsda]:not([id^=xs])').length")
                  .toInt(),
              0);
}

TEST_F(HostileBank, OrdinaryMarkupAndPicturesStillRender) {
    ASSERT_TRUE(openHostilePage());
    ASSERT_TRUE(testing_support::waitUntil([&] { return picturesSettled(); }, 10000));
    EXPECT_EQ(page("document.querySelector('#fan14 sub').textContent").toString(), QString("2"));
    EXPECT_EQ(page("document.querySelector('table.facts td').textContent").toString(),
              QString("表格"));
    EXPECT_TRUE(page("document.baseURI").toString().startsWith("file:"));
    EXPECT_GT(
        page("document.querySelector('img[src=\"./tp/CloseBtn-1.bmp\"]').naturalWidth").toInt(), 0);
    EXPECT_EQ(page("document.getElementById('ansnote14').getAttribute('value')").toString(),
              QString("A\" onmouseover=\"") + HostileBank::favourite13001);
}

} // namespace
