#include "import/import_dialog.h"
#include "import/import_file.h"
#include "main_window_fixture.h"
#include "office_files.h"
#include "page_support.h"
#include "store/bank.h"
#include "store/content_statements.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"
#include "test_files.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

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

// Presses a button of the dialog and waits until the reading or import it
// started has ended.
void pressAndWait(importer::ImportDialog& dialog, const char* button) {
    QSignalSpy idle(&dialog, &importer::ImportDialog::idle);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    ASSERT_TRUE(!idle.isEmpty() || idle.wait(60000)) << button;
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
        pressAndWait(*importDialog, "chooseButton");
        firstPreview = importDialog->previewText();
        importEnabledWithProblems =
            dialog.findChild<QPushButton*>(QStringLiteral("importButton"))->isEnabled();
        // Mended in the source, read again with one button.
        writeFile(path, wordBankWithAnswer(QStringLiteral("B")));
        pressAndWait(*importDialog, "rereadButton");
        secondPreview = importDialog->previewText();
        pressAndWait(*importDialog, "importButton");
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
        pressAndWait(static_cast<importer::ImportDialog&>(dialog), "chooseButton");
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

// An installed program keeps the bank in the user's data folder, apart from
// the program folder the pages are loaded from: a picture imported from Word
// still shows on the imported chapter's page, from the data folder, by a path
// that climbs out of no folder.
TEST_F(ImportWindow, AWordPictureShowsOnThePageWhenTheBankLivesApartFromTheProgram) {
    QTemporaryDir userData;
    dataFolder = userData.path() + QStringLiteral("/");
    openWindow();
    const QByteArray png =
        QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+"
                               "M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("胸片.docx"));
    writeFile(
        path,
        docxOf(wordParagraph(QStringLiteral("1．胸片所示为")) + wordPictureParagraph("rIdPic1") +
                   wordParagraph(QStringLiteral("A．矽肺")) + wordPictureParagraph("rIdPic2") +
                   wordParagraph(QStringLiteral("B．石棉肺")) +
                   wordParagraph(QStringLiteral("答案：A")),
               {},
               {{QStringLiteral("image1.png"), png}, {QStringLiteral("x' onerror='y.png"), png}}));
    prompter.fileAnswers = {path};
    prompter.onModal = [&](QDialog& dialog) {
        auto& importDialog = static_cast<importer::ImportDialog&>(dialog);
        pressAndWait(importDialog, "chooseButton");
        pressAndWait(importDialog, "importButton");
    };
    QTest::mouseClick(child<QWidget>("drtk"), Qt::LeftButton);
    ASSERT_EQ(prompter.notices, QStringList({QStringLiteral("提示|已导入 1 道试题。")}))
        << prompter.errors.join('\n').toStdString();

    // Kept in the data folder, named from the bank's picture folder.
    store::Bank bank(store::Bank::pathIn(dataFolder));
    const std::optional<store::Question> question =
        store::questionById(bank, store::largestIds(bank).question);
    ASSERT_TRUE(question);
    EXPECT_TRUE(question->picurl.startsWith(QStringLiteral("pic/imported/")))
        << question->picurl.toStdString();
    EXPECT_FALSE(question->picurl.contains(QStringLiteral("..")));
    EXPECT_TRUE(QFileInfo::exists(dataFolder + question->picurl));
    EXPECT_FALSE(QFileInfo::exists(fixture.programFolder() + question->picurl));

    web::HtmlView* page = window->page();
    ASSERT_TRUE(waitUntil([&] { return !page->pageUnderWay(); }, 30000));
    const QString pictures = QStringLiteral("Array.from(document.images)");
    ASSERT_TRUE(waitUntil(
        [&] {
            return evaluate(page, pictures + QStringLiteral(".every(function (i) { return "
                                                            "i.complete; })"))
                .toBool();
        },
        20000));
    // The question's picture and the one in its first option, both loaded.
    EXPECT_EQ(
        evaluate(page, pictures + QStringLiteral(".map(function (i) { return "
                                                 "i.naturalWidth + ' ' + "
                                                 "i.getAttribute('src').replace(/[0-9-]+\\//, "
                                                 "'N/'); }).join('|')"))
            .toString(),
        QStringLiteral("1 ./pic/imported/N/1.png|1 pic/imported/N/2.png"));
}

// Reading a large document and importing it run beside the window, which
// keeps answering; both can be cancelled, an import leaving the bank as it was.
TEST_F(ImportWindow, ReadingAndImportingKeepTheWindowAnsweringAndCanBeCancelled) {
    openWindow();
    QString body = wordParagraph(QStringLiteral("一、单项选择题"));
    constexpr int questions = 3000;
    for (int n = 1; n <= questions; ++n)
        body += wordParagraph(QStringLiteral("%1．第%1题的题干").arg(n)) +
                wordParagraph(QStringLiteral("A．甲　B．乙　C．丙")) +
                wordParagraph(QStringLiteral("答案：B"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("大题库.docx"));
    writeFile(path, docxOf(body));
    qint64 questionsBefore = 0;
    {
        store::Bank bank(fixture.bankPath());
        questionsBefore = store::countQuestions(bank);
    }

    importer::ImportDialog dialog(fixture.programFolder(), prompter, window.get());
    int turns = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] { ++turns; });
    turn.start(0);
    const auto cancel = [&] {
        auto* progress = dialog.findChild<QProgressDialog*>(QStringLiteral("importProgress"));
        ASSERT_NE(progress, nullptr);
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    };

    // Cancelled while it is read: nothing is shown from it, and its late
    // result changes nothing.
    dialog.readFile(path);
    EXPECT_TRUE(dialog.busy());
    cancel();
    EXPECT_FALSE(dialog.busy());
    EXPECT_EQ(dialog.previewText(), QStringLiteral("已取消读取。"));
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.previewText(), QStringLiteral("已取消读取。"));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("importButton"))->isEnabled());

    // Read again: the event loop turns while the document is read, and the
    // preview is the one a reading on the spot gives.
    turns = 0;
    pressAndWait(dialog, "rereadButton");
    EXPECT_GT(turns, 0);
    const importer::ImportedDocument direct = importer::readImportFile(path);
    EXPECT_EQ(direct.questionCount(), questions);
    EXPECT_TRUE(
        dialog.previewText().startsWith(QStringLiteral("找到 3000 道试题（单选题 3000 道）")))
        << dialog.previewText().left(200).toStdString();

    // An import cancelled before it commits leaves the bank and the picture
    // folder as they were.
    QSignalSpy idle(&dialog, &importer::ImportDialog::idle);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("importButton")),
                      Qt::LeftButton);
    EXPECT_TRUE(dialog.busy());
    cancel();
    dialog.reject(); // refused while the import is under way
    ASSERT_TRUE(idle.wait(60000));
    EXPECT_EQ(prompter.notices, QStringList({QStringLiteral("提示|导入已取消，题库没有改变。")}));
    {
        store::Bank bank(fixture.bankPath());
        EXPECT_EQ(store::countQuestions(bank), questionsBefore);
        EXPECT_EQ(store::topLevelNodes(bank).size(), 1u);
        EXPECT_FALSE(QFileInfo::exists(fixture.programFolder() + "pic/imported") &&
                     !QDir(fixture.programFolder() + "pic/imported").isEmpty());
    }

    // Imported for real, with the turns of the event loop going on meanwhile.
    turns = 0;
    pressAndWait(dialog, "importButton");
    EXPECT_GT(turns, 0);
    EXPECT_EQ(prompter.notices.last(), QStringLiteral("提示|已导入 3000 道试题。"));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::countQuestions(bank), questionsBefore + questions);
}

} // namespace
