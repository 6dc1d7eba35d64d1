#include "exam/exam_entry.h"
#include "exam/exam_window.h"
#include "exam_paper.h"
#include "exam_support.h"
#include "main_window_fixture.h"
#include "store/exam_statements.h"
#include "widgets/picture_button.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testing_support::waitUntil;
using widgets::PictureButton;

namespace {

class ExamEntryTest : public testing_support::MainWindowTest {
protected:
    void SetUp() override {
        createWindow(2, 1, [](store::BankBuilder& rows) {
            // The user's single-choice count is 20; an earlier exam drew none.
            rows.addExamParameter({"0", "20"});
            rows.addExamParameter({"0", "0"});
            rows.addExamParameter({"3", "0"});
            rows.addExamParameter({"3", "0"});
            testing_support::addExamBankContent(rows);
        });
        bank = std::make_unique<store::Bank>(fixture.bankPath());
        testing_support::writeSamplePaper(*bank);
        window->show();
        QCoreApplication::processEvents();
    }

    static void type(QDialog& dialog, const std::array<const char*, 4>& counts) {
        for (int i = 0; i < 4; ++i)
            dialog.findChild<QLineEdit*>(QStringLiteral("RzEdit%1").arg(i + 1))
                ->setText(QString::fromLatin1(counts[i]));
    }
    static void press(QDialog& dialog, const char* button) {
        dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }
    void clickToolButton(const char* name) {
        QTest::mouseClick(child<PictureButton>(name), Qt::LeftButton);
    }
    std::vector<store::ExamParameter> stored() { return store::examParameters(*bank); }

    std::unique_ptr<store::Bank> bank;
};

TEST_F(ExamEntryTest, SettingsChecksShowTheirMessagesAndStoreOnlyValidCounts) {
    QStringList edits;
    prompter.onModal = [&](QDialog& dialog) {
        ASSERT_EQ(dialog.objectName(), "TForm6");
        dialog.show();
        EXPECT_EQ(dialog.pos(), window->pos() + QPoint(190, 150));
        EXPECT_FALSE(dialog.findChild<QLineEdit*>("RzEdit2")->isEnabled());
        type(dialog, {"51", "0", "10", "5"});
        press(dialog, "RzBitBtn1");
        for (int i = 1; i <= 4; ++i)
            edits << dialog.findChild<QLineEdit*>(QStringLiteral("RzEdit%1").arg(i))->text();
        type(dialog, {"0", "0", "0", "5"});
        press(dialog, "RzBitBtn1");
        type(dialog, {"20", "0", "", "0"});
        press(dialog, "RzBitBtn1");
        type(dialog, {"20", "0", "3", "0"});
        press(dialog, "RzBitBtn1");
        dialog.close(); // the close box, after a confirm
    };
    clickToolButton("rjdh");
    EXPECT_EQ(edits, (QStringList{"20", "0", "3", "3"})) << "reloaded from the table";
    EXPECT_EQ(prompter.messages, (QStringList{"请仔细看下边的温馨提示，谢谢！", "设置错误！",
                                              "设置错误！", "设置成功！"}));
    EXPECT_EQ(prompter.dialogs, QStringList{"TForm6"}) << "no login without enter";
    const std::vector<store::ExamParameter> rows = stored();
    EXPECT_EQ(rows[0].txs, "20");
    EXPECT_EQ(rows[0].fg, "20");
    EXPECT_EQ(rows[2].txs, "3");
    EXPECT_EQ(rows[3].txs, "0");
}

TEST_F(ExamEntryTest, KeyFilterTakesDigitsOnly) {
    prompter.onModal = [&](QDialog& dialog) {
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>("RzEdit1");
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, "1a-2 ");
        EXPECT_EQ(edit->text(), "12");
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), "1");
        dialog.close();
    };
    clickToolButton("NewImage6");
    EXPECT_EQ(prompter.dialogs, QStringList{"TForm6"});
}

// The whole way in and out: tool bar, settings, login, candidate, exam, back.
TEST_F(ExamEntryTest, TheSequenceLeadsIntoTheExamAndBackToTheMainWindow) {
    QPointer<QDialog> login, candidate;
    bool pageShown = false;
    prompter.onModal = [&](QDialog& dialog) {
        dialog.show();
        if (dialog.objectName() == "TForm6") {
            press(dialog, "RzBitBtn2");
        } else if (dialog.objectName() == "TForm2") {
            login = &dialog;
            press(dialog, "RzBitBtn1");
        } else if (dialog.objectName() == "TForm3") {
            candidate = &dialog;
            for (QLabel* label : dialog.findChildren<QLabel*>()) {
                if (!label->text().isEmpty()) {
                    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
                }
            }
            dialog.findChild<QPushButton*>("SpeedButton3")->click();
            press(dialog, "SpeedButton2");
        } else if (dialog.objectName() == "TForm4") {
            EXPECT_EQ(stored()[0].txs, "20") << "the level's count, restored from fg";
            auto& exam = static_cast<exam::ExamWindow&>(dialog);
            dialog.activateWindow();
            pageShown = waitUntil([&] { return exam.currentTid() == "1"; });
            prompter.confirmAnswer = true;
            dialog.close();
            EXPECT_FALSE(login->isVisible());
            EXPECT_FALSE(candidate->isVisible());
        }
    };
    clickToolButton("rjdh");
    EXPECT_EQ(prompter.dialogs, (QStringList{"TForm6", "TForm2", "TForm3", "TForm4"}));
    EXPECT_TRUE(pageShown);
    EXPECT_EQ(prompter.messages, QStringList{"该视频完善中~！！"});
    EXPECT_EQ(prompter.questions, QStringList{"提示|考试尚未交卷，确定退出考场吗？"});
    EXPECT_FALSE(window->examEntry()->examPathOpen());
    EXPECT_TRUE(window->isVisible());
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_TRUE(top == window.get() || !top->isVisible() || top->objectName().isEmpty())
            << top->objectName().toStdString();
}

} // namespace
