// Switching between the whole bank and the two collections.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "collections/collections.h"
#include "collections/wrong_question_manager.h"
#include "exam/exam_entry.h"
#include "store/question_statements.h"
#include "web/html_view.h"
#include "widgets/prompter.h"

#include <QLabel>

namespace app {

void MainWindow::openFavourites() {
    switchToCollection(collections::favourites());
}

void MainWindow::openWrongQuestions() {
    prompter_.showModal(*wrongQuestionManager_);
    switchToCollection(collections::wrongQuestions());
}

void MainWindow::enterExamRoom() {
    examEntry_->run();
}

void MainWindow::switchToCollection(const collections::Collection& collection) {
    skipAutoOpen_ = false;
    bool empty = false;
    if (!reportingErrors([&] {
            bank_.reopen();
            empty = !store::hasFlaggedQuestions(bank_, collection.flag);
            bank_.close();
        }))
        return;
    if (empty) {
        showMessage(collection.emptyMessage);
        return;
    }
    resetAnswerButtons();
    redoButton_->show();
    gradeButton_->show();
    treePanel_->show();
    setViewKey(collection.viewKey);
    if (!reportingErrors([&] {
            collections::recomputeNodeFlags(bank_, collection.flag);
            bank_.close();
        }))
        return;
    rebuildTree();
    openFirstChapter();
    chapterTree_->expandEveryNode();
}

void MainWindow::openWholeBank() {
    skipAutoOpen_ = false;
    resetAnswerButtons();
    showAllAnswersButton_->show();
    redoButton_->show();
    gradeButton_->show();
    treePanel_->show();
    setViewKey(collections::exerciseViewKey);
    rebuildTree();
    openFirstChapter();
    chapterTree_->expandEveryNode();
}

void MainWindow::setViewKey(const QString& key) {
    viewKey_ = key;
    viewTitleLabel_->setText(key);
    viewTitleLabel_->adjustSize();
}

} // namespace app
