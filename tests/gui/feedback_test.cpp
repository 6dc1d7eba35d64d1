#include "feedback_server.h"
#include "main_window_fixture.h"
#include "page_support.h"
#include "services/feedback_dialog.h"
#include "services/feedback_dialog_captions.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <vector>

using testing_support::evaluate;
using testing_support::MainWindowTest;
using testing_support::waitUntil;

namespace {

const QString delivered = QStringLiteral("您的问题已经反馈成功，谢谢您的反馈！");
const QString failed = QStringLiteral("反馈失败！");

class FeedbackDialogTest : public MainWindowTest {
protected:
    bool openPage() {
        createWindow(2, 1, testing_support::chapterContent);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        return shown.wait(20000);
    }

    // Presses the report button of the page's question `index` (0: 10007, 1: 10008, 2: 10009).
    services::FeedbackDialog* report(int index, int questionId) {
        services::FeedbackDialog* dialog = window->feedbackDialog();
        evaluate(
            window->page(),
            QStringLiteral("document.getElementsByName('sanyangctfk')[%1].click()").arg(index));
        EXPECT_TRUE(waitUntil(
            [&] { return dialog->isVisible() && dialog->reportedQuestionId() == questionId; },
            10000));
        return dialog;
    }

    template <class T = QWidget> T* dialogChild(const char* name) const {
        T* found = window->feedbackDialog()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The dialog's connection, through the settings file the window reads.
    void useConnection(const services::FeedbackConnection& connection) {
        QSettings settings(fixture.programFolder() + services::settingsFileName,
                           QSettings::IniFormat);
        settings.setValue("Feedback/Driver", connection.driver);
        settings.setValue("Feedback/Server", connection.server);
        settings.setValue("Feedback/Port", connection.port);
        settings.setValue("Feedback/Password", connection.password);
        settings.setValue("Feedback/DriverOptions", connection.driverOptions);
        settings.setValue("Feedback/TimeoutSeconds", connection.timeoutSeconds);
    }

    void pressOk() { QTest::mouseClick(dialogChild("Button1"), Qt::LeftButton); }
    bool waitForMessage(const QString& text) {
        return waitUntil([&] { return prompter.messages.contains(text); }, 30000);
    }
};

// The dialog in the real window, sending through the settings file to a real server.
class FeedbackDialogSending : public FeedbackDialogTest {
protected:
    void SetUp() override {
        if (!server.unavailable().isEmpty())
            GTEST_SKIP() << "no test database server: " << server.unavailable().toStdString();
        ASSERT_TRUE(server.isRunning());
        useConnection(server.connection());
    }

    testing_support::FeedbackServer server;
};

TEST_F(FeedbackDialogSending, ARowArrivesFromAClickInTheDialogWhichThenCloses) {
    ASSERT_TRUE(openPage());
    services::FeedbackDialog* dialog = report(1, 10008);
    QTest::mouseClick(dialogChild<QCheckBox>("CheckBox3"), Qt::LeftButton);
    dialogChild<QPlainTextEdit>("Memo1")->setPlainText("图片'); drop table yiyao; --\"");

    pressOk();
    EXPECT_FALSE(dialogChild("Button1")->isEnabled());
    ASSERT_TRUE(waitForMessage(delivered)) << prompter.messages.join("|").toStdString();

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialogChild("Button1")->isEnabled());
    const std::vector<QStringList> expected{{"职业病", "10008", "题10008", "0", "0", "1", "0", "0",
                                             "0", "0", "0", "0", "0",
                                             "图片'); drop table yiyao; --\""}};
    EXPECT_EQ(server.rows(), expected);
}

TEST_F(FeedbackDialogSending, WithTheServerDownTheDialogKeepsItsContentsAndTheNextOkSendsOnce) {
    ASSERT_TRUE(openPage());
    services::FeedbackDialog* dialog = report(0, 10007);
    QTest::mouseClick(dialogChild<QCheckBox>("CheckBox10"), Qt::LeftButton);
    dialogChild<QPlainTextEdit>("Memo1")->setPlainText("重复");
    server.stop();

    pressOk();
    ASSERT_TRUE(waitForMessage(failed));
    EXPECT_FALSE(prompter.messages.contains(delivered));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialogChild<QCheckBox>("CheckBox10")->isChecked());
    EXPECT_EQ(dialogChild<QPlainTextEdit>("Memo1")->toPlainText(), QString("重复"));
    EXPECT_TRUE(dialogChild("Button1")->isEnabled());

    server.start();
    ASSERT_TRUE(server.isRunning());
    pressOk();
    ASSERT_TRUE(waitForMessage(delivered));
    EXPECT_FALSE(dialog->isVisible());
    const std::vector<QStringList> expected{
        {"职业病", "10007", "题10007", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1", "重复"}};
    EXPECT_EQ(server.rows(), expected);
}

TEST_F(FeedbackDialogSending, AnInsertHeldByALockWaitsFailsForRealAndTheNextOkSendsOnce) {
    ASSERT_TRUE(openPage());
    services::FeedbackDialog* dialog = report(1, 10008);
    QTest::mouseClick(dialogChild<QCheckBox>("CheckBox1"), Qt::LeftButton);
    auto* ok = dialogChild<QPushButton>("Button1");
    {
        testing_support::TableLock lock(server.connection());
        ASSERT_TRUE(lock.isHeld());
        pressOk();
        EXPECT_EQ(ok->text(), QString("正在发送……"));
        EXPECT_FALSE(ok->isEnabled());
        pressOk();
        ASSERT_TRUE(waitForMessage(failed));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialogChild<QCheckBox>("CheckBox1")->isChecked());
        EXPECT_EQ(ok->text(), QString("确 定"));
    }
    pressOk();
    ASSERT_TRUE(waitForMessage(delivered));
    EXPECT_EQ(prompter.messages, (QStringList{failed, delivered}));
    // Once the window is gone no insert of its own can still be on its way.
    window.reset();
    const std::vector<QStringList> expected{
        {"职业病", "10008", "题10008", "1", "0", "0", "0", "0", "0", "0", "0", "0", "0", ""}};
    EXPECT_EQ(server.rows(), expected);
}

// Needs no database server: a port that takes the connection and never answers.
TEST_F(FeedbackDialogTest, ClosingTheWindowDuringAStalledSendEndsWithinSeconds) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    services::FeedbackConnection connection =
        testing_support::FeedbackServer::connectionTo(silent.serverPort());
    connection.timeoutSeconds = 60;
    useConnection(connection);
    ASSERT_TRUE(openPage());
    report(0, 10007);
    pressOk();
    ASSERT_TRUE(silent.waitForNewConnection(10000));

    QElapsedTimer clock;
    clock.start();
    window->close();
    window.reset();
    // A bound for a loaded machine, far below the send's own timeout.
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(prompter.messages, QStringList{});
}

TEST_F(FeedbackDialogTest, ASecondReportClearsTheDialogAndShowsTheNewQuestion) {
    ASSERT_TRUE(openPage());
    services::FeedbackDialog* dialog = report(0, 10007);
    QTest::mouseClick(dialogChild<QCheckBox>("CheckBox2"), Qt::LeftButton);
    dialogChild<QPlainTextEdit>("Memo1")->setPlainText("note");

    report(2, 10009);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->reportedQuestionText(), QString("题10009"));
    EXPECT_FALSE(dialogChild<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_TRUE(dialogChild<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
    EXPECT_TRUE(waitUntil(
        [&] {
            return evaluate(dialog->view(), "document.body.innerText")
                .toString()
                .contains("题10009");
        },
        10000));
}

// The captions are part of the dialog's picture; each box, drawn without a text,
// lies over its caption, so a click on the caption ticks it.
TEST(FeedbackDialogCaptions, AClickOnACaptionOfThePictureTicksItsBox) {
    testing_support::ScriptedPrompter prompter;
    services::FeedbackDialog dialog(QStringLiteral(PROGRAM_FOLDER "/"), QStringLiteral("职业病"),
                                    {}, prompter, nullptr);
    dialog.show();
    const QImage shown = dialog.grab().toImage();
    for (int i = 0; i < 10; ++i) {
        auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(i + 1));
        ASSERT_NE(box, nullptr) << i;
        EXPECT_TRUE(box->text().isEmpty()) << i;
        EXPECT_EQ(box->accessibleName(), QString::fromUtf8(services::faultCategories[i]));

        const QRect caption = box->geometry().adjusted(services::faultCaptionIndent, 0, 0, 0);
        int ink = 0;
        for (int x = caption.left(); x <= caption.right(); ++x)
            for (int y = caption.top(); y <= caption.bottom(); ++y)
                ink += qGray(shown.pixel(x, y)) < 128;
        EXPECT_GT(ink, 40) << "no caption drawn under box " << i + 1;

        const QPoint onCaption = caption.topLeft() + QPoint(30, caption.height() / 2);
        QWidget* hit = dialog.childAt(onCaption);
        ASSERT_EQ(hit, box) << i;
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&dialog, onCaption));
        EXPECT_TRUE(box->isChecked()) << i;
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&dialog, onCaption));
        EXPECT_FALSE(box->isChecked()) << i;
    }
}

} // namespace
