// Search: the field in the title bar and the pages of results.

#include "app/main_window.h"
#include "practice/chapter_content.h"
#include "practice/grader.h"
#include "search/result_page.h"
#include "search/search_field.h"
#include "web/html_view.h"
#include "widgets/prompter.h"

#include <QLabel>
#include <QProgressDialog>
#include <QShortcut>

namespace app {

// In the title bar, beside its buttons: the tool bar's row is full at the
// window's smallest size.
void MainWindow::createSearchField() {
    searchField_ = new search::SearchField(titleBar_);
    searchField_->setFixedSize(150, 21);
    connect(searchField_, &search::SearchField::searchRequested, this,
            &MainWindow::searchQuestions);
    connect(searchField_, &search::SearchField::left, this,
            [this] { pageView_->setFocus(Qt::OtherFocusReason); });
    auto* shortcut = new QShortcut(QKeySequence::Find, this);
    connect(shortcut, &QShortcut::activated, searchField_, &search::SearchField::enter);
}

void MainWindow::searchQuestions(const QString& text) {
    // A search asked for while the index is being built waits for none.
    if (searching_)
        return;
    searching_ = true;
    skipAutoOpen_ = true;
    const collections::ViewMode mode = collections::viewModeOfKey(viewKey_);
    search::SearchResult result;
    const bool found = reportingErrors([&] {
        bank_.reopen();
        if (searchIndex_.needsBuilding())
            buildSearchIndex();
        result = searchIndex_.find(text, mode);
    });
    bank_.close();
    searching_ = false;
    if (!found)
        return;
    shownSearch_ =
        ShownSearch{std::make_shared<const search::SearchResult>(std::move(result)), mode, 0};
    showSearchPage(0);
}

void MainWindow::buildSearchIndex() {
    // Shown only when the build runs longer than half a second.
    QProgressDialog progress(QStringLiteral("正在建立搜索索引，请稍候……"), QString(), 0, 0, this);
    progress.setObjectName(QStringLiteral("searchIndexProgress"));
    progress.setWindowTitle(QStringLiteral("搜索试题"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    searchIndex_.build([&](qint64 done, qint64 total) {
        progress.setMaximum(int(std::max<qint64>(total, 1)));
        progress.setValue(int(std::min(done, total)));
    });
}

void MainWindow::showSearchPage(int page) {
    if (!shownSearch_)
        return;
    keepAnswersOfPageLeft();
    shownChapterId_ = 0;
    drillQuestions_.reset();
    drawnPage_.reset();
    shownSearch_->page = page;
    resetAnswerButtons();
    const std::shared_ptr<const search::SearchResult> result = shownSearch_->result;
    showBuiltPage(
        [this, result, page,
         mode = shownSearch_->mode]() -> std::shared_ptr<practice::ChapterPageBuilder> {
            return search::resultPageBuilder(bank_, *result, page, mode);
        },
        [this] { judgeAtOnceWhenOn(); }, {search::resultHeaderFragment(*result, page)},
        search::resultFooterFragment(*result, page));
}

void MainWindow::gradeSearchPage() {
    gradePage(
        [this, shown = *shownSearch_](const web::ControlSnapshot& controls) {
            auto content = search::resultPageContent(bank_, *shown.result, shown.page, shown.mode);
            return practice::gradeContent(bank_, *content, controls, pageOpenedAt_);
        },
        [] {});
}

} // namespace app
