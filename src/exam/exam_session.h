#pragma once

#include "exam/exam_page.h"
#include "store/bank.h"
#include "web/control_snapshot.h"

#include <QDateTime>
#include <QStringList>
#include <optional>
#include <vector>

// The rules of sitting a drawn paper, over the store and a snapshot of the
// page's controls: saving the answer on screen, moving under the type rule,
// the section prompts, hand-in and grading. The window shows what it returns.
namespace exam {

enum class CellColour { ButtonFace, Current, Answered, LeftBlank, Right, Wrong };

struct CellPaint {
    QString tid;
    CellColour colour;
};

// What the window does after an action, in this order: show the errors (an
// answer that could not be written) and the messages (a refusal or a section
// prompt), paint the cells, set the progress, show the page.
struct SessionStep {
    QStringList errors;
    QStringList messages;
    std::vector<CellPaint> paints;
    std::optional<int> progress;
    std::optional<int> answeredCount;
    std::optional<QString> pageTid;
    ExamPageVariant variant = ExamPageVariant::Navigation;
    // Set by hand-in: the result table's fragment.
    QString resultTable;
};

enum class Move { Previous, Next, Jump };

class ExamSession {
public:
    // `items` is the drawn paper in order; its first item is on screen. The
    // exam starts now unless `startedAt` says when.
    ExamSession(store::Bank& bank, std::vector<store::PaperItem> items,
                QDateTime startedAt = QDateTime::currentDateTime());

    const QString& currentTid() const { return currentTid_; }
    bool handedIn() const { return handedIn_; }
    int paperSize() const { return int(items_.size()); }
    // The first item's start notice, once.
    QString startNotice();

    // Saves the answer on screen and moves.
    SessionStep move(Move move, const web::ControlSnapshot& controls, const QString& jumpTid = {});
    // The same move, with the answer on screen possibly held back until
    // saveHeldAnswer(): its commit waits on the disk, and the window first
    // starts the next page. It is held only when the step shows another
    // item's page, which the answer cannot change; otherwise it is written
    // before this returns, so that the page built next shows it. Every rule
    // already counts the held answer.
    SessionStep prepareMove(Move move, const web::ControlSnapshot& controls,
                            const QString& jumpTid = {});
    // Writes the held answer, if any, in one transaction; every other action
    // writes it first. When the write fails the answer is dropped, and the
    // step says so and shows what the bank holds.
    SessionStep saveHeldAnswer();
    // The item whose answer is held, or empty.
    QString heldTid() const { return held_ ? held_->tid : QString(); }
    // Hand-in is refused, with the paper left open, when an answer cannot be
    // written. The graded paper is recorded as a sitting (its rows in order,
    // with the answers given and the right ones); when the record cannot be
    // kept the step's messages say so, once per run.
    SessionStep handIn(const web::ControlSnapshot& controls);

private:
    // What saving the answer on screen writes.
    struct HeldAnswer {
        QString tid;
        // The item's new `tjda`.
        QString answer;
        // A matching group's id and choices, each sub-question's `lx`.
        qint64 group = 0;
        std::vector<std::pair<qint64, QString>> subQuestionChoices;
    };

    CellPaint holdCurrentAnswer(const web::ControlSnapshot& controls);
    // Whether the page of `tid` shows what the held answer writes.
    bool heldAnswerShowsOn(const QString& tid);
    // Writes the held answer; a failure goes into `step` with what is stored.
    void writeHeldAnswer(SessionStep& step);
    // The cell of `tid` and the counter as the bank holds them, as far as it
    // can still be read; the item on screen keeps its colour.
    void showStored(SessionStep& step, const QString& tid);
    // An item's `tjda` with the held answer counted.
    QString answerOf(const store::PaperItem& item) const;
    // The answered items once the held answer is written.
    int answeredCount();
    bool typeOpen(const QString& lx);
    bool typeStarted(const QString& lx);
    QString typeOf(const QString& tid);

    store::Bank& bank_;
    std::vector<store::PaperItem> items_;
    QDateTime startedAt_;
    QString currentTid_;
    bool handedIn_ = false;
    QStringList promptedTypes_;
    std::optional<HeldAnswer> held_;
};

// The title of an exam's sitting in the learning record.
inline const QString examSittingTitle = QStringLiteral("模拟考试");

// Whether a stored answer is right: multiple-answer items by their set of
// letters, single letters exactly; blanks around the stored answer do not count.
bool answerIsRight(const QString& lx, const QString& correct, const QString& given);

// The result table of a graded paper: rows for the types with questions, the
// total row always; rates as whole percentages with halves rounded up.
struct TypeTally {
    int right = 0;
    int wrong = 0;
};
QString resultTable(const TypeTally tallies[4]);
int ratePercent(int right, int total);

} // namespace exam
