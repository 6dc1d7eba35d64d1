#include "import/import_dialog.h"
#include "main_window_fixture.h"
#include "office_files.h"
#include "store/bank.h"
#include "store/tree_statements.h"
#include "test_files.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace testing_support;

namespace {

QByteArray wordBankWithAnswer(const QString& answer) {
    return docxOf(wordParagraph(QStringLiteral("一、单项选择题")) +
                  wordParagraph(QStringLiteral("1．粉尘的分散度高意味着")) +
                  wordParagraph(QStringLiteral("A．颗粒大　B．颗粒小")) +
                  wordParagraph(QStringLiteral("答案：") + answer) +
                  wordParagraph(QStringLiteral("2．矽肺的病因是")) +
                  wordParagraph(QStringLiteral("A．游离二氧化硅　B．石棉")) +
                  wordParagraph(QStringLiteral("答案：A")));
}

class ImportWindow : public MainWindowTest {};

TEST_F(ImportWindow, PreviewNamesProblemsRereadsAndImportsIntoTheTree) {
    openWindow();
    QWidget* button = child<QWidget>("drtk");
    ASSERT_NE(button, nullptr);
    // The new button stands last among the tool bar's buttons.
    const auto* row = static_cast<QHBoxLayout*>(child<QWidget>("ToolBar1")->layout());
    QWidget* lastButton = nullptr;
    for (int i = 0; i < row->count(); ++i)
        if (auto* picture = qobject_cast<widgets::PictureButton*>(row->itemAt(i)->widget()))
            lastButton = picture;
    EXPECT_EQ(lastButton, button);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("尘肺练习.docx"));
    writeFile(path, wordBankWithAnswer(QStringLiteral("C")));
    prompter.fileAnswers = {path};
    QString firstPreview, secondPreview;
    bool importEnabledWithProblems = true;
    prompter.onModal = [&](QDialog& dialog) {
        auto* importDialog = static_cast<importer::ImportDialog*>(&dialog);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("chooseButton")),
                          Qt::LeftButton);
        firstPreview = importDialog->previewText();
        importEnabledWithProblems =
            dialog.findChild<QPushButton*>(QStringLiteral("importButton"))->isEnabled();
        // Mended in the source, read again with one button.
        writeFile(path, wordBankWithAnswer(QStringLiteral("B")));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("rereadButton")),
                          Qt::LeftButton);
        secondPreview = importDialog->previewText();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("importButton")),
                          Qt::LeftButton);
    };
    QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_TRUE(firstPreview.contains(
        QStringLiteral("第 4 段：第 1 题的答案“C”没有对应的选项（选项只到 B）。")))
        << firstPreview.toStdString();
    EXPECT_FALSE(importEnabledWithProblems);
    EXPECT_TRUE(secondPreview.contains(QStringLiteral("没有发现问题")))
        << secondPreview.toStdString();
    EXPECT_EQ(prompter.notices, QStringList({QStringLiteral("提示|已导入 2 道试题。")}));

    // The tree holds the new node and the imported chapter is open.
    QStringList tops;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i)
        tops << tree()->topLevelItem(i)->text(0);
    EXPECT_EQ(tops, QStringList({QStringLiteral("总论"), QStringLiteral("尘肺练习")}));
    store::Bank bank(fixture.bankPath());
    const qint64 top = store::topLevelNodes(bank).back().id;
    const qint64 chapter = store::childNodes(bank, store::childNodes(bank, top)[0].id)[0].id;
    EXPECT_EQ(window->currentChapterId(), QString::number(chapter));
    EXPECT_EQ(tree()->currentItem()->text(0), QStringLiteral("第 1～2 题"));

    // The same file again: the user is asked, and "no" adds nothing.
    prompter.fileAnswers = {path};
    prompter.yesAnswer = false;
    prompter.onModal = [&](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("chooseButton")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("importButton")),
                          Qt::LeftButton);
        dialog.reject();
    };
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(prompter.questions.size(), 1);
    EXPECT_TRUE(prompter.questions[0].contains(QStringLiteral("“尘肺练习.docx”已于")))
        << prompter.questions[0].toStdString();
    EXPECT_EQ(store::topLevelNodes(bank).size(), 2u);
}

} // namespace
