// The practice page: chapter clicks, in-page commands, the page bar, grading.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "collections/view_mode.h"
#include "practice/grader.h"
#include "practice/page_builder.h"
#include "practice/result_window.h"
#include "practice/score_report.h"
#include "services/feedback_dialog.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"
#include "web/html_view.h"
#include "widgets/prompter.h"

#include <QLabel>
#include <memory>
#include <utility>

namespace app {

namespace {

// Turns every answer button of the page whose value is `value`, whatever its
// question's key. Only the page's own buttons count (bank texts carry no
// inputs, ids or names), and the template's xsda is called directly, so no
// handler of any element runs.
QString answerButtonsScript(const QString& value) {
    return QStringLiteral("(function () { var b = document.querySelectorAll("
                          "'input[type=button][name=sanyangxsda][id^=xs]'); "
                          "for (var i = 0; i < b.length; i++) if (b[i].value == '%1') "
                          "xsda(b[i], 'ansnote' + b[i].id.slice(2)); })()")
        .arg(value);
}

} // namespace

void MainWindow::resetAnswerButtons() {
    hideAllAnswersButton_->hide();
    showAllAnswersButton_->show();
}

void MainWindow::openSelectedChapter() {
    QTreeWidgetItem* item = chapterTree_->currentItem();
    if (!item)
        return;
    const int level = ChapterTreeView::levelOf(item);
    if (item->childCount() == 0 && level == 1) {
        // Closing this message must not replace the page the user works on.
        skipAutoOpen_ = true;
        showMessage(QStringLiteral("本章节无试题!"));
        return;
    }
    resetAnswerButtons();
    if (item->childCount() > 0 || level != 2)
        return;
    qint64 chapterId = 0;
    try {
        chapterId = nodeIds_[size_t(chapterTree_->positionOf(item))];
        const auto chapter = store::nodeById(bank_, chapterId);
        if (!chapter) {
            chapterId = 0;
        } else {
            chapterNameLabel_->setText(chapter->nodename);
            currentChapterId_ = QString::number(chapter->id);
        }
    } catch (const store::StoreError&) {
        chapterId = 0;
    }
    showChapter(chapterId);
}

void MainWindow::openChapterFromTree() {
    openSelectedChapter();
    QTreeWidgetItem* item = chapterTree_->currentItem();
    if (item && item->childCount() == 0 && ChapterTreeView::levelOf(item) == 2)
        pageView_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showChapter(qint64 chapterId) {
    pageView_->setTextZoom(1);
    // The chapter is read while the browser takes the old page down, the
    // rest of a large one after its first screen is painted.
    pageView_->showBuiltPage(
        programFolder_ + QStringLiteral("ty.html"),
        [this, chapterId, mode = collections::viewModeOfKey(viewKey_)](int atLeast) {
            return startChapterPage(chapterId, mode, atLeast);
        },
        [this](bool shown) {
            if (shown)
                reloadingAfterRendererEnded_ = false;
            bank_.close();
            emit pageShown();
        });
}

web::PageStart MainWindow::startChapterPage(qint64 chapterId, collections::ViewMode mode,
                                            int atLeast) {
    web::PageStart start;
    try {
        auto builder = std::make_shared<practice::ChapterPageBuilder>(bank_, chapterId, mode);
        builder->writeFirst(atLeast, start.fragments);
        if (!builder->finished())
            start.buildRest = [this, builder] {
                QStringList rest;
                try {
                    builder->writeRest(rest);
                } catch (const store::StoreError&) {
                }
                bank_.close();
                return rest;
            };
    } catch (const store::StoreError&) {
    }
    if (!start.buildRest)
        bank_.close();
    return start;
}

void MainWindow::runPageCommand(const QString& address) {
    skipAutoOpen_ = true;
    // The page navigates to "http://scbt" or "http://ctfk", the question's id and "/".
    bool numeric = false;
    const qint64 questionId = address.mid(11).chopped(1).toLongLong(&numeric);
    const bool report = address.contains(QStringLiteral("ctfk"));
    const bool favourite = address.contains(QStringLiteral("scbt"));
    if (!report && !favourite)
        return;
    if (!numeric) {
        prompter_.error(this, QStringLiteral("无法识别页面中的试题编号：%1").arg(address));
        return;
    }
    if (report)
        reportingErrors([&] { errorReportPreview(questionId); });
    if (favourite)
        reportingErrors([&] { favouriteToggle(questionId); });
}

// Answers ticked on the lost page are gone; what is stored (favourites,
// wrong questions) comes back with the chapter. A renderer that ends again
// before the chapter is back is not restarted over and over: the user picks
// the chapter again when ready.
void MainWindow::reloadAfterRendererEnded() {
    skipAutoOpen_ = true;
    if (std::exchange(reloadingAfterRendererEnded_, false)) {
        showMessage(QStringLiteral("页面显示进程再次意外结束，请重新选择章节。"));
        return;
    }
    reloadingAfterRendererEnded_ = true;
    // The chapter on show, whatever the tree has selected since.
    bool numeric = false;
    const qint64 chapterId = currentChapterId_.toLongLong(&numeric);
    showChapter(numeric ? chapterId : 0);
    showMessage(QStringLiteral("页面显示进程意外结束，已重新载入本章。"));
}

void MainWindow::favouriteToggle(qint64 questionId) {
    bank_.reopen();
    const auto question = store::questionById(bank_, questionId);
    if (!question)
        throw store::StoreError(QStringLiteral("题库中没有编号为 %1 的试题。").arg(questionId));
    const bool wasFavourite = question->scbt == store::flagSet;
    store::setQuestionFlag(bank_, questionId, store::QuestionFlag::Favourite, !wasFavourite);
    bank_.close();
    showMessage(wasFavourite ? QStringLiteral("取消收藏！") : QStringLiteral("收藏成功！"));
    if (viewKey_ == collections::favouritesViewKey)
        openFavourites();
}

void MainWindow::errorReportPreview(qint64 questionId) {
    feedbackDialog_->prepare();
    bank_.reopen();
    const practice::QuestionPreview preview = practice::buildQuestionPreview(bank_, questionId);
    bank_.close();
    feedbackDialog_->showQuestion(preview);
    pageView_->setTextZoom(1);
}

void MainWindow::gradeChapter() {
    skipAutoOpen_ = true;
    bool numeric = false;
    const qint64 chapterId = currentChapterId_.toLongLong(&numeric);
    if (!numeric)
        return;
    const collections::ViewMode mode = collections::viewModeOfKey(viewKey_);
    pageView_->readControls([this, chapterId, mode](const web::ControlSnapshot& controls) {
        // A page that does not match the chapter stops grading silently; a
        // store failure (a full disk, a locked bank) is named. Nothing has been
        // written in either case.
        practice::GradingResult result;
        try {
            bank_.reopen();
            result = practice::gradeChapter(bank_, chapterId, mode, controls);
            bank_.close();
        } catch (const practice::MissingControl&) {
            bank_.close();
            return;
        } catch (const store::StoreError& error) {
            bank_.close();
            prompter_.error(this, QStringLiteral("成绩未能保存：%1").arg(error.message()));
            return;
        }
        QStringList spans;
        for (qint64 id : result.wrongQuestionIds)
            spans << QStringLiteral("fan%1").arg(id);
        pageView_->setColor(spans, QStringLiteral("red"));
        showGradingResult();
    });
}

void MainWindow::showGradingResult() {
    practice::ResultWindow resultWindow(
        programFolder_,
        [this] {
            QStringList fragments;
            reportingErrors([&] { fragments = practice::scoreReportFragments(bank_); });
            return fragments;
        },
        [this] { showAllAnswers(); }, this);
    prompter_.showModal(resultWindow);
    openFirstChapter();
    if (viewTitleLabel_->text() == collections::wrongQuestionsViewKey)
        return;
    if (!prompter_.askYesNo(this, QStringLiteral("提示"),
                            QStringLiteral("您是否把这次的错题放到错题题库中？")))
        reportingErrors([this] {
            store::dropLastGradingFromWrongBank(bank_);
            bank_.close();
        });
}

void MainWindow::redoChapter() {
    if (!prompter_.confirm(this, QStringLiteral("提示"),
                           QStringLiteral("重新答题会清除当前所选的答案，是否继续？")))
        return;
    resetAnswerButtons();
    // The chapter on show, whatever the tree has selected since (a section, say).
    bool numeric = false;
    const qint64 chapterId = currentChapterId_.toLongLong(&numeric);
    if (numeric)
        showChapter(chapterId);
}

void MainWindow::showAllAnswers() {
    showAllAnswersButton_->hide();
    hideAllAnswersButton_->show();
    pageView_->runScript(answerButtonsScript(QStringLiteral("显示答案")));
}

void MainWindow::hideAllAnswers() {
    hideAllAnswersButton_->hide();
    showAllAnswersButton_->show();
    pageView_->runScript(answerButtonsScript(QStringLiteral("隐藏答案")));
}

void MainWindow::zoomIn() {
    ++fontLevel_;
    if (fontLevel_ < 12) {
        pageView_->setBodyFontSize(fontLevel_ + 14);
        return;
    }
    skipAutoOpen_ = true;
    showMessage(QStringLiteral("不能将字体设置过大！"));
}

void MainWindow::zoomOut() {
    --fontLevel_;
    if (fontLevel_ > 0) {
        pageView_->setBodyFontSize(fontLevel_ + 12);
        return;
    }
    fontLevel_ = 0;
    skipAutoOpen_ = true;
    showMessage(QStringLiteral("不能将字体设置过小！"));
}

} // namespace app
