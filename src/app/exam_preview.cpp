#include "app/exam_preview.h"

#include "app/main_window.h"
#include "exam/candidate_screen.h"
#include "exam/exam_login_screen.h"
#include "exam/exam_settings.h"
#include "exam/exam_settings_dialog.h"
#include "exam/exam_window.h"
#include "store/bank.h"
#include "store/exam_statements.h"
#include "widgets/prompter.h"

#include <QDialog>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace app {

namespace {

// Nobody answers during a screenshot: every box is passed over.
class SilentPrompter : public widgets::Prompter {
public:
    void message(QWidget*, const QString&) override {}
    void notice(QWidget*, const QString&, const QString&) override {}
    bool confirm(QWidget*, const QString&, const QString&) override { return true; }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return true; }
    void error(QWidget*, const QString& text) override {
        std::fprintf(stderr, "morrowquill: %s\n", qPrintable(text));
    }
    void failure(QWidget* parent, const QString& text, const QString& detail) override {
        error(parent, text + QLatin1Char(' ') + detail);
    }
    void showModal(QDialog&) override {}
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

SilentPrompter silentPrompter;

// Once the paper is on screen: the first item answered right, the second
// wrong, the rest left open; then the paper is handed in.
void handInWithAFewAnswers(exam::ExamWindow& window, const QString& dataFolder) {
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(
        &window, &exam::ExamWindow::questionShown, &window, [&window, dataFolder, connection] {
            QObject::disconnect(*connection);
            try {
                store::Bank bank(store::Bank::pathIn(dataFolder));
                const auto items = store::paperItems(bank);
                if (items.size() > 1) {
                    store::setPaperAnswer(bank, items[0].tid, items[0].da.trimmed());
                    store::setPaperAnswer(bank, items[1].tid, QStringLiteral("E"));
                }
            } catch (const store::StoreError& error) {
                silentPrompter.error(nullptr, error.message());
            }
            window.handIn();
        });
}

} // namespace

QWidget* openExamPreview(const QString& name, MainWindow& mainWindow, const Folders& folders,
                         widgets::Desktop& desktop) {
    QDialog* preview = nullptr;
    if (name == QStringLiteral("settings")) {
        preview = new exam::ExamSettingsDialog(folders.data, silentPrompter, &mainWindow);
    } else if (name == QStringLiteral("login")) {
        preview = new exam::ExamLoginScreen(folders.program, {}, &mainWindow);
    } else if (name == QStringLiteral("candidate")) {
        preview = new exam::CandidateScreen(folders.program, folders.data, silentPrompter, {},
                                            &mainWindow);
    } else if (name == QStringLiteral("exam") || name == QStringLiteral("result")) {
        // As the start button opens it, at the default level.
        try {
            store::Bank bank(store::Bank::pathIn(folders.data));
            exam::applyLevelToSingleChoiceCount(bank, exam::associateSeniorLevel);
        } catch (const store::StoreError& error) {
            silentPrompter.error(nullptr, error.message());
        }
        auto* window = new exam::ExamWindow({folders.program, folders.data, silentPrompter, desktop,
                                             &mainWindow,
                                             [] {
                                                 return true;
                                             }},
                                            exam::associateSeniorLevel, &mainWindow);
        if (name == QStringLiteral("result"))
            handInWithAFewAnswers(*window, folders.data);
        preview = window;
    }
    if (preview) {
        preview->setAttribute(Qt::WA_DeleteOnClose);
        preview->show();
        // Over the main window, which raises itself when it opens its first chapter.
        QTimer::singleShot(1500, preview, [preview] {
            preview->raise();
            preview->activateWindow();
        });
    }
    return preview;
}

} // namespace app
