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

// The fill of an answer-sheet cell in `colour` and of its legend's swatch.
QString cellFill(CellColour colour, bool night);

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
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* createInformationBar();
    QWidget* createBottomBar();
    QWidget* createAnswerSheetColumn();
    void drawPaper();
    // The drawing gave no paper: says why on the page and in a question that
    // offers to close the window; the clock stops.
    void endWithoutPaper(const QString& reason);
    void buildAnswerSheet(const std::vector<store::PaperItem>& items);
    void paintCell(const QString& tid, CellColour colour);
    void act(Move move, const QString& jumpTid = {});
    // Runs `work` with the page's controls, or with none while the page is
    // lost, so that an action works from what is stored. A reply from a page
    // the renderer has lost since is dropped.
    void withControls(std::function<void(const web::ControlSnapshot&)> work);
    void finishHandIn(const web::ControlSnapshot& controls);
    void apply(const SessionStep& step);
    // Paints the cells and sets the progress of the last step, once.
    void markSheet();
    // Writes the answer the last move held back; a failure is told and the
    // item's cell and the counter show what is stored.
    void saveHeldAnswer();
    // Shows messages, or errors, with the key watcher out of the way.
    void showMessages(const QStringList& messages, bool asErrors = false);
    // Asks with OK and Cancel, the key watcher out of the way; true for OK.
    bool confirmed(const QString& question);
    void withoutKeyWatcher(const std::function<void()>& work);
    // The renderer that drew the page ended: the step it held back is
    // finished, a waiting hand-in goes on from what is stored, and the page is
    // shown again, once per item.
    void recoverLostPage();
    void showResult();
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
    // Once the exam is over (handed in, or no paper) the clock stays stopped.
    bool clockOver_ = false;
    QString currentTid_;
    ExamPageVariant currentVariant_ = ExamPageVariant::FirstPage;
    // The result table of the hand-in, and whether it is the page on screen.
    QString resultTable_;
    bool resultOnScreen_ = false;
    // Counts the pages the renderer lost.
    int lostPages_ = 0;
    // The page on screen cannot be read: its renderer ended.
    bool pageLost_ = false;
    // The page on screen was shown again after a loss; another loss of it is
    // not answered with another reload.
    bool pageReloaded_ = false;
    // A hand-in waits on the page's controls.
    bool handInWaiting_ = false;
    std::unique_ptr<RandomSource> random_;
    std::unique_ptr<ExamSession> session_;
    std::function<void()> pendingSheetMarks_;
};

} // namespace exam
