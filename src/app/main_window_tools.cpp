// The tool bar's maintenance buttons: backup, restore, update, help and links.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "import/import_dialog.h"
#include "services/backup_dialog.h"
#include "services/help_links.h"
#include "services/restore_dialog.h"
#include "services/update_notifier.h"
#include "widgets/prompter.h"

namespace app {

void MainWindow::openBackupDialog() {
    skipAutoOpen_ = true;
    prompter_.showModal(*backupDialog_);
}

void MainWindow::openRestoreDialog() {
    skipAutoOpen_ = true;
    prompter_.showModal(*restoreDialog_);
}

void MainWindow::showRestoredBank() {
    // Another bank: the answers kept for the old one's pages do not apply.
    keptAnswers_.forgetAll();
    shownChapterId_ = 0;
    searchIndex_.forget();
    readBankTexts();
    rebuildTree();
    openFirstChapter();
}

void MainWindow::openImportDialog() {
    skipAutoOpen_ = true;
    prompter_.showModal(*importDialog_);
}

void MainWindow::showImportedChapter(qint64 chapterId) {
    readBankTexts();
    openWholeBank();
    const auto at = std::find(nodeIds_.cbegin(), nodeIds_.cend(), chapterId);
    if (at == nodeIds_.cend())
        return;
    if (QTreeWidgetItem* item = chapterTree_->nodeAt(int(at - nodeIds_.cbegin()))) {
        chapterTree_->setCurrentItem(item);
        openSelectedChapter();
    }
}

void MainWindow::checkForUpdate() {
    updateNotifier_->checkOnRequest();
}

void MainWindow::openHomePage() {
    services::openHomePage(settings_, desktop_);
}

void MainWindow::openShop() {
    services::openShop(settings_, desktop_);
}

void MainWindow::openHelp() {
    services::openHelp(programFolder_, desktop_, prompter_, this);
}

} // namespace app
