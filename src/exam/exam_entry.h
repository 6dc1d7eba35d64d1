#pragma once

#include "exam/exam_context.h"

#include <QObject>

namespace exam {

class CandidateScreen;
class ExamLoginScreen;

// The way into the exam room from the main window's tool bar: the settings
// dialog, then (only after its enter button) the login screen, inside it the
// candidate screen, inside that a new exam window for every exam.
class ExamEntry : public QObject {
    Q_OBJECT

public:
    ExamEntry(const QString& programFolder, const QString& dataFolder, widgets::Prompter& prompter,
              widgets::Desktop& desktop, QWidget* mainWindow);

    void run();
    bool examPathOpen() const { return examPathOpen_; }
    ExamContext context();

private:
    void enterRoom();
    void openExam(int levelIndex);

    QString programFolder_;
    QString dataFolder_;
    widgets::Prompter& prompter_;
    widgets::Desktop& desktop_;
    QWidget* mainWindow_;
    bool examPathOpen_ = false;
    ExamLoginScreen* loginScreen_ = nullptr;
    CandidateScreen* candidateScreen_ = nullptr;
};

} // namespace exam
