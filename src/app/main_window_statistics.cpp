// The main window's side of the learning record: the statistics window and
// the chapter tree's tooltips.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "record/statistics.h"
#include "record/statistics_window.h"

#include <QScreen>
#include <algorithm>

namespace app {

void MainWindow::openStatistics() {
    if (!statisticsWindow_) {
        statisticsWindow_ = new record::StatisticsWindow(programFolder_, bank_.filePath(), this);
        connect(statisticsWindow_, &record::StatisticsWindow::chapterRequested, this,
                &MainWindow::openChapterById);
        connect(statisticsWindow_, &record::StatisticsWindow::weakPointDrillRequested, this,
                &MainWindow::openWeakPointDrill);
        // Over the main window, and whole on its screen.
        QRect place(QPoint(), statisticsWindow_->size());
        place.moveCenter(geometry().center());
        const QRect screenArea = screen()->availableGeometry();
        place.moveTop(std::max(place.top(), screenArea.top()));
        place.moveLeft(std::max(place.left(), screenArea.left()));
        statisticsWindow_->move(place.topLeft());
    }
    statisticsWindow_->refresh();
    statisticsWindow_->show();
    statisticsWindow_->raise();
    statisticsWindow_->activateWindow();
}

void MainWindow::openChapterById(qint64 chapterId) {
    // A collection may not list the chapter: the whole bank lists every one.
    if (viewKey_ != collections::exerciseViewKey)
        openWholeBank();
    const auto found = std::find(nodeIds_.cbegin(), nodeIds_.cend(), chapterId);
    if (found == nodeIds_.cend())
        return;
    chapterTree_->expandEveryNode();
    if (QTreeWidgetItem* item = chapterTree_->nodeAt(int(found - nodeIds_.cbegin()))) {
        chapterTree_->setCurrentItem(item);
        chapterTree_->scrollToItem(item);
        openSelectedChapter();
    }
    bringToFront();
}

QString MainWindow::chapterTooltipAt(int position) {
    if (position < 0 || size_t(position) >= nodeIds_.size() || nodeIds_[size_t(position)] == 0)
        return {};
    // A tooltip is a convenience: a record that cannot be read shows none.
    QString text;
    try {
        text = record::chapterTooltip(bank_, nodeIds_[size_t(position)]);
    } catch (const store::StoreError&) {
    }
    bank_.close();
    return text;
}

} // namespace app
