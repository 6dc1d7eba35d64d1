#pragma once

#include "collections/view_mode.h"
#include "practice/answer_match.h"
#include "store/bank.h"
#include "store/rows.h"
#include "web/control_snapshot.h"

#include <QDateTime>
#include <QString>
#include <stdexcept>
#include <vector>

namespace practice {

// A control the page should hold is not there: the page is not the chapter's.
class MissingControl : public std::runtime_error {
public:
    explicit MissingControl(const QString& id)
        : std::runtime_error("missing page control " + id.toStdString()) {}
};

struct GradingResult {
    std::vector<qint64> wrongQuestionIds;
    std::vector<store::Tally> tallies; // as stored, merged headings last
    // What to tell the user when the learning record could not keep the
    // grading (said once per run); empty otherwise.
    QString recordNotice;
};

// The headings whose tallies are merged into one row each, in merge order; the
// last two get a row even when no group carries them.
inline const QString matchingHeading = QStringLiteral("五个公用备选多个题每题一个选项9");
inline const QString caseHeading = QStringLiteral("阅读案例多个问题8");
inline const QString typeBHeading = QStringLiteral("B型题配伍选择题");
inline const QString a3a4Heading = QStringLiteral(
    "A3/A4型题：每个案例至少有3个提问，每个提问有4-12个备选答案，其中正确答案有一个或多个。");

// Grades the chapter's page as shown in `mode` from a snapshot of its controls:
// each question's answer is its ticked option letters (the drop-down's value for
// a matching question), compared with the stored answer by isRightAnswer(): as
// a set of letters for multiple-answer and case questions, exactly otherwise. Then, in one
// transaction: `ct1` cleared everywhere, `ct` and `ct1` set on the wrong questions, and the tally
// rewritten, and the grading recorded as a sitting that lasted from `pageOpenedAt` until now
// (the grading stands when the record cannot be written). Throws MissingControl or StoreError
// before writing anything.
GradingResult gradeChapter(store::Bank& bank, qint64 chapterId, collections::ViewMode mode,
                           const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt);

// The title of a drill's page and sitting.
inline const QString drillTitle = QStringLiteral("薄弱环节练习");

// Grades a page of picked questions (a drill) as gradeChapter() grades a chapter,
// recording a sitting of kind drill.
GradingResult gradeDrill(store::Bank& bank, const std::vector<qint64>& questionIds,
                         const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt);

struct PracticeSelection;
// The title of a random page's sitting.
inline const QString randomPracticeTitle = QStringLiteral("随机练习");

// Grades a page of drawn questions the same way, recording a sitting of kind random.
GradingResult gradeSelection(store::Bank& bank, const PracticeSelection& selection,
                             const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt);

// The title of a page of search results' sitting.
inline const QString searchResultsTitle = QStringLiteral("搜索结果");

class ChapterContent;
// The same for any content read like a chapter (search results), recording a
// sitting of kind search.
GradingResult gradeContent(store::Bank& bank, ChapterContent& content,
                           const web::ControlSnapshot& controls, const QDateTime& pageOpenedAt);

} // namespace practice
