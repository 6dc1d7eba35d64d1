#include "app/exam_preview.h"

#include "app/main_window.h"
#include "exam/candidate_screen.h"
#include "exam/exam_login_screen.h"
#include "exam/exam_settings.h"
#include "exam/exam_settings_dialog.h"
#include "exam/exam_window.h"
#include "store/bank.h"
#include "widgets/prompter.h"

#include <QDialog>
#include <QTimer>
#include <cstdio>

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
    void showModal(QDialog&) override {}
};

SilentPrompter silentPrompter;

} // namespace

QWidget* openExamPreview(const QString& name, MainWindow& mainWindow,
                         const QString& programFolder) {
    QDialog* preview = nullptr;
    if (name == QStringLiteral("settings")) {
        preview = new exam::ExamSettingsDialog(programFolder, silentPrompter, &mainWindow);
    } else if (name == QStringLiteral("login")) {
        preview = new exam::ExamLoginScreen(programFolder, {}, &mainWindow);
    } else if (name == QStringLiteral("candidate")) {
        preview = new exam::CandidateScreen(programFolder, silentPrompter, {}, &mainWindow);
    } else if (name == QStringLiteral("exam")) {
        // As the start button opens it, at the default level.
        try {
            store::Bank bank(store::Bank::pathIn(programFolder));
            exam::applyLevelToSingleChoiceCount(bank, exam::associateSeniorLevel);
        } catch (const store::StoreError& error) {
            silentPrompter.error(nullptr, error.message());
        }
        preview = new exam::ExamWindow({programFolder, silentPrompter, &mainWindow,
                                        [] {
                                            return true;
                                        }},
                                       exam::associateSeniorLevel, &mainWindow);
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
