// Switching between the whole bank and the two collections.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "app/prompter.h"
#include "collections/collections.h"
#include "collections/wrong_question_manager.h"
#include "store/question_statements.h"
#include "web/html_view.h"

#include <QLabel>

namespace app {

void MainWindow::NewImage1Click() {
    switchToCollection(collections::favourites());
}

void MainWindow::NewImage20Click() {
    prompter_.showModal(*TForm16_);
    switchToCollection(collections::wrongQuestions());
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
    NewImage11_->show();
    NewImage12_->show();
    Panel2_->show();
    WebBrowser1_->setInterceptNavigation(false);
    setViewKey(collection.viewKey);
    if (!reportingErrors([&] {
            collections::recomputeNodeFlags(bank_, collection.flag);
            bank_.close();
        }))
        return;
    FormShow();
    FormActivate();
    TreeView1_->expandEveryNode();
    WebBrowser1_->setInterceptNavigation(true);
}

void MainWindow::gjstClick() {
    skipAutoOpen_ = false;
    resetAnswerButtons();
    NewImage10_->show();
    NewImage11_->show();
    NewImage12_->show();
    Panel2_->show();
    setViewKey(collections::exerciseViewKey);
    FormShow();
    FormActivate();
    TreeView1_->expandEveryNode();
}

void MainWindow::setViewKey(const QString& key) {
    viewKey_ = key;
    Label3_->setText(key);
    Label3_->adjustSize();
}

} // namespace app
