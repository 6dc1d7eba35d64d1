#pragma once

#include "exam/exam_context.h"
#include "exam/exam_page.h"
#include "exam/exam_session.h"
#include "store/bank.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTimer;

namespace web {
class HtmlView;
}

namespace exam {

class AnswerKeyWatcher;
class RandomSource;

// The exam room's question screen: exam-room information on top, the question
// page, the bottom bar with its buttons, clock and progress, and the answer
// sheet on the right. One window per exam; it stays maximised.
class ExamWindow : public QDialog {
    Q_OBJECT

public:
    // `levelIndex` is the candidate screen's level choice.
    ExamWindow(ExamContext context, int levelIndex, QWidget* parent = nullptr);
    ~ExamWindow() override;

    // Builds the page of the paper item `tid` and puts its stored choices back;
    // nothing happens when the paper has no such item. `done` runs once the
    // page is complete.
    void showQuestion(const QString& tid, ExamPageVariant variant, std::function<void()> done = {});
    // The item on screen, by its `tid` text.
    const QString& currentTid() const { return currentTid_; }

    web::HtmlView* page() const { return pageView_; }
    QTimer* clock() const { return clock_; }
    AnswerKeyWatcher* keyWatcher() const { return keyWatcher_; }
    int levelIndex() const { return levelIndex_; }

    void tickClock();
    void startCalculator();
    void previousQuestion();
    void nextQuestion();
    void jumpTo(const QString& tid);
    void handIn();

    // The drawing's offsets; the system's unless a test fixes them first.
    void setRandomSource(std::unique_ptr<RandomSource> random);
    ExamSession* session() const { return session_.get(); }

signals:
    // A question page is complete, its stored choices restored.
    void questionShown();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* createInformationBar();
    QWidget* createBottomBar();
    QWidget* createAnswerSheetColumn();
    void drawPaper();
    void buildAnswerSheet(const std::vector<store::PaperItem>& items);
    void paintCell(const QString& tid, CellColour colour);
    void act(Move move, const QString& jumpTid = {});
    void apply(const SessionStep& step);
    // Paints the cells and sets the progress of the last step, once.
    void markSheet();
    // Writes the answer the last move held back; a failure is told and the
    // item's cell and the counter show what is stored.
    void saveHeldAnswer();
    // Shows messages, or errors, with the key watcher out of the way.
    void showMessages(const QStringList& messages, bool asErrors = false);
    void tickLetter(QChar letter);
    // Runs work; a store failure is shown to the user. True when it succeeded.
    bool reportingErrors(const std::function<void()>& work);

    ExamContext context_;
    int levelIndex_;
    store::Bank bank_;

    web::HtmlView* pageView_ = nullptr;
    QPushButton *previousButton_ = nullptr, *nextButton_ = nullptr, *calculatorButton_ = nullptr,
                *handInButton_ = nullptr, *helpButton_ = nullptr;
    QLabel* remainingMinutesLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* answeredCountLabel_ = nullptr;
    QLabel* totalCountLabel_ = nullptr;
    QLabel *answeredLegendLabel_ = nullptr, *currentLegendLabel_ = nullptr,
           *unansweredLegendLabel_ = nullptr;
    QScrollArea* answerSheet_ = nullptr;
    QWidget* answerSheetCells_ = nullptr;
    QTimer* clock_ = nullptr;
    AnswerKeyWatcher* keyWatcher_ = nullptr;

    int drawState_ = 0;
    QString currentTid_;
    std::unique_ptr<RandomSource> random_;
    std::unique_ptr<ExamSession> session_;
    std::function<void()> pendingSheetMarks_;
};

} // namespace exam
