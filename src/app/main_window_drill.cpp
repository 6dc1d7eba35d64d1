// The drill of weak points: a practice page of picked questions.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "practice/grader.h"
#include "practice/page_builder.h"
#include "record/weak_points.h"
#include "store/own_tables.h"
#include "widgets/prompter.h"

#include <QLabel>

namespace app {

void MainWindow::openWeakPointDrill() {
    skipAutoOpen_ = true;
    std::vector<qint64> questions;
    try {
        bank_.reopen();
        questions = record::weakPointQuestions(bank_);
        bank_.close();
    } catch (const store::StoreError& error) {
        bank_.close();
        prompter_.error(this, QStringLiteral("无法列出薄弱环节：%1").arg(error.message()));
        return;
    }
    if (questions.empty()) {
        showMessage(
            QStringLiteral("目前没有薄弱环节：练习或考试中答错、之后还没有答对的题会出现在这里。"));
        return;
    }
    resetAnswerButtons();
    // The page is no chapter of the tree.
    chapterTree_->clearSelection();
    showDrill(questions);
}

void MainWindow::showDrill(const std::vector<qint64>& questionIds) {
    keepAnswersOfPageLeft();
    shownChapterId_ = 0;
    drawnPage_.reset();
    shownSearch_.reset();
    chapterNameLabel_->setText(practice::drillTitle);
    const QString title = QStringLiteral("%1：%2 道题，练习或考试中答错最多、之后还没有答对的题")
                              .arg(practice::drillTitle)
                              .arg(questionIds.size());
    showBuiltPage(
        [this, questionIds, title] {
            return std::make_shared<practice::ChapterPageBuilder>(bank_, questionIds, title);
        },
        [this] { judgeAtOnceWhenOn(); });
    drillQuestions_ = questionIds;
}

} // namespace app
