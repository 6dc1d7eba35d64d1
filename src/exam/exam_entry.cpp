#include "exam/exam_entry.h"

#include "exam/candidate_screen.h"
#include "exam/exam_login_screen.h"
#include "exam/exam_settings_dialog.h"
#include "exam/exam_window.h"
#include "widgets/prompter.h"

namespace exam {

ExamEntry::ExamEntry(const QString& programFolder, const QString& dataFolder,
                     widgets::Prompter& prompter, widgets::Desktop& desktop, QWidget* mainWindow)
    : QObject(mainWindow)
    , programFolder_(programFolder)
    , dataFolder_(dataFolder)
    , prompter_(prompter)
    , desktop_(desktop)
    , mainWindow_(mainWindow) {}

ExamContext ExamEntry::context() {
    return {programFolder_, dataFolder_, prompter_, desktop_, mainWindow_, [this] {
                return examPathOpen_;
            }};
}

void ExamEntry::run() {
    examPathOpen_ = true;
    ExamSettingsDialog settings(dataFolder_, prompter_, mainWindow_);
    prompter_.showModal(settings);
    if (!settings.enterRequested())
        return;
    ExamLoginScreen login(
        programFolder_, [this] { enterRoom(); }, mainWindow_);
    loginScreen_ = &login;
    prompter_.showModal(login);
    loginScreen_ = nullptr;
    examPathOpen_ = false;
}

void ExamEntry::enterRoom() {
    CandidateScreen candidate(
        programFolder_, dataFolder_, prompter_, [this](int levelIndex) { openExam(levelIndex); },
        loginScreen_);
    candidateScreen_ = &candidate;
    prompter_.showModal(candidate);
    candidateScreen_ = nullptr;
}

void ExamEntry::openExam(int levelIndex) {
    ExamWindow window(context(), levelIndex, candidateScreen_);
    // Leaving the exam leaves the exam room: straight back to the main window.
    connect(&window, &QDialog::finished, this, [this] {
        if (candidateScreen_)
            candidateScreen_->close();
        if (loginScreen_)
            loginScreen_->close();
    });
    prompter_.showModal(window);
}

} // namespace exam
