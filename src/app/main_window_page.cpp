// The practice page: chapter clicks, in-page commands, the page bar, grading.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "collections/view_mode.h"
#include "exam/paper_drawer.h"
#include "practice/grader.h"
#include "practice/note_editor.h"
#include "practice/page_builder.h"
#include "practice/page_fragments.h"
#include "practice/question_notes.h"
#include "practice/random_practice.h"
#include "practice/result_window.h"
#include "practice/score_report.h"
#include "services/feedback_dialog.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"
#include "web/html_view.h"
#include "web/script_literal.h"
#include "widgets/prompter.h"

#include <QElapsedTimer>
#include <QLabel>
#include <memory>
#include <utility>

namespace app {

namespace {

// The rest of a large chapter is built and handed to the page in parts, each
// ended once about this much time has passed (a slow machine builds smaller
// parts), so that the window keeps painting and answering; a part grows by
// steps of some ten questions.
constexpr qint64 restPartNanoseconds = 8'000'000;
constexpr int restStepFragments = 150;

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
    keepAnswersOfPageLeft();
    drillQuestions_.reset();
    drawnPage_.reset();
    shownSearch_.reset();
    const collections::ViewMode mode = collections::viewModeOfKey(viewKey_);
    shownChapterId_ = chapterId;
    shownMode_ = mode;
    pageComplete_ = false;
    showBuiltPage(
        [this, chapterId, mode] {
            return std::make_shared<practice::ChapterPageBuilder>(bank_, chapterId, mode);
        },
        [this, chapterId, mode] { restoreKeptAnswers(chapterId, mode); });
}

void MainWindow::showBuiltPage(const BuilderMaker& makeBuilder,
                               const std::function<void()>& afterShown, const QStringList& head,
                               const QString& tail) {
    pageOpenedAt_ = QDateTime::currentDateTime();
    pageView_->setTextZoom(1);
    // The page is read while the browser takes the old page down, the rest
    // of a large one after its first screen is painted.
    pageView_->showBuiltPage(
        programFolder_ + QStringLiteral("ty.html"),
        [this, makeBuilder, head, tail](int atLeast) {
            return startPage(makeBuilder, head, tail, atLeast);
        },
        [this, afterShown](bool shown) {
            if (shown) {
                reloadingAfterRendererEnded_ = false;
                afterShown();
            }
            bank_.close();
            emit pageShown();
        });
}

void MainWindow::keepAnswersOfPageLeft() {
    if (shownChapterId_ == 0)
        return;
    pageView_->readControlsOfPageLeft(
        [this, chapterId = shownChapterId_, mode = shownMode_,
         complete = pageComplete_](const web::ControlSnapshot& controls) {
            keptAnswers_.keep(practice::KeptAnswers::pageOf(mode, chapterId), controls, complete);
            emit ungradedPageLeft(chapterId, mode, controls);
        });
}

void MainWindow::restoreKeptAnswers(qint64 chapterId, collections::ViewMode mode) {
    if (chapterId == shownChapterId_ && mode == shownMode_)
        pageComplete_ = true;
    const web::ControlSnapshot kept =
        keptAnswers_.answersOf(practice::KeptAnswers::pageOf(mode, chapterId));
    if (!kept.isEmpty())
        pageView_->restoreControls(kept);
    // With the answers back, so that they are judged too.
    judgeAtOnceWhenOn();
}

void MainWindow::judgeAtOnceWhenOn() {
    if (choices_.instantJudging)
        pageView_->runScript(QStringLiteral("mqSetInstant(true)"));
}

void MainWindow::forgetShownPageAnswers() {
    keptAnswers_.forget(practice::KeptAnswers::pageOf(shownMode_, shownChapterId_));
    shownChapterId_ = 0;
}

web::PageStart MainWindow::startPage(const BuilderMaker& makeBuilder, const QStringList& head,
                                     const QString& tail, int atLeast) {
    web::PageStart start;
    start.fragments = head;
    try {
        std::shared_ptr<practice::ChapterPageBuilder> builder = makeBuilder();
        builder->writeFirst(atLeast, start.fragments);
        if (!builder->finished())
            start.buildRest = [this, builder, tail](QStringList& rest) {
                try {
                    // Until the rest has been read elsewhere, a step appends nothing.
                    QElapsedTimer part;
                    part.start();
                    qsizetype before = 0;
                    do {
                        before = rest.size();
                        builder->writeMore(restStepFragments, rest);
                    } while (!builder->finished() && rest.size() > before &&
                             part.nsecsElapsed() < restPartNanoseconds);
                    if (!builder->finished())
                        return true;
                } catch (const store::StoreError&) {
                }
                if (!tail.isEmpty())
                    rest << tail;
                bank_.close();
                return false;
            };
    } catch (const store::StoreError&) {
    }
    if (!start.buildRest) {
        if (!tail.isEmpty())
            start.fragments << tail;
        bank_.close();
    }
    return start;
}

void MainWindow::runPageCommand(const QString& address) {
    skipAutoOpen_ = true;
    // The page navigates to "http://scbt" or "http://ctfk", the question's id and "/".
    bool numeric = false;
    const qint64 questionId = address.mid(11).chopped(1).toLongLong(&numeric);
    const bool report = address.contains(QStringLiteral("ctfk"));
    const bool favourite = address.contains(QStringLiteral("scbt"));
    const bool note = address.startsWith(QStringLiteral("http://note"));
    const bool resultPage = address.startsWith(QStringLiteral("http://srch"));
    if (!report && !favourite && !note && !resultPage)
        return;
    if (!numeric) {
        prompter_.error(this, QStringLiteral("无法识别页面中的试题编号：%1").arg(address));
        return;
    }
    if (report)
        reportingErrors([&] { errorReportPreview(questionId); });
    if (favourite)
        reportingErrors([&] { favouriteToggle(questionId); });
    if (note)
        reportingErrors([&] { editNote(questionId); });
    if (resultPage && shownSearch_ && questionId >= 0 &&
        questionId < shownSearch_->result->pageCount())
        showSearchPage(int(questionId));
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
    // The page is gone: what was kept before it stays kept.
    shownChapterId_ = 0;
    // The page on show, whatever the tree has selected since.
    bool numeric = false;
    const qint64 chapterId = currentChapterId_.toLongLong(&numeric);
    if (shownSearch_)
        showSearchPage(shownSearch_->page);
    else if (drawnPage_)
        showDrawnPage(drawnPage_);
    else if (drillQuestions_)
        showDrill(*drillQuestions_);
    else
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

void MainWindow::editNote(qint64 questionId) {
    bank_.reopen();
    if (!store::questionById(bank_, questionId))
        throw store::StoreError(QStringLiteral("题库中没有编号为 %1 的试题。").arg(questionId));
    practice::NoteEditor editor(practice::questionNote(bank_, questionId), this);
    bank_.close();
    prompter_.showModal(editor);
    if (editor.result() != QDialog::Accepted)
        return;
    bank_.reopen();
    practice::saveQuestionNote(bank_, questionId, editor.text());
    const QString saved = practice::questionNote(bank_, questionId);
    bank_.close();
    // The note changes in place: the answers ticked on the page stay.
    pageView_->runScript(
        QStringLiteral("(function (e) { if (e) { e.innerHTML = ") +
        web::scriptString(practice::noteBlockHtml(saved)) +
        QStringLiteral("; e.style.display = '%1'; } })(document.getElementById('note%2'))")
            .arg(saved.isEmpty() ? QStringLiteral("none") : QString())
            .arg(questionId));
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
    if (shownSearch_) {
        gradeSearchPage();
        return;
    }
    bool numeric = false;
    const qint64 chapterId = currentChapterId_.toLongLong(&numeric);
    if (!numeric && !drillQuestions_ && !drawnPage_)
        return;
    const collections::ViewMode mode = collections::viewModeOfKey(viewKey_);
    const bool chapterPage = !drillQuestions_ && !drawnPage_;
    gradePage(
        [this, chapterId, mode, drill = drillQuestions_,
         drawn = drawnPage_](const web::ControlSnapshot& controls) {
            if (drill)
                return practice::gradeDrill(bank_, *drill, controls, pageOpenedAt_);
            if (drawn)
                return practice::gradeSelection(bank_, *drawn, controls, pageOpenedAt_);
            return practice::gradeChapter(bank_, chapterId, mode, controls, pageOpenedAt_);
        },
        [this, chapterId, mode, chapterPage] {
            if (chapterPage && chapterId == shownChapterId_ && mode == shownMode_)
                forgetShownPageAnswers();
        });
}

void MainWindow::gradePage(
    const std::function<practice::GradingResult(const web::ControlSnapshot&)>& grade,
    const std::function<void()>& afterGrading) {
    pageView_->readControls([this, grade, afterGrading](const web::ControlSnapshot& controls) {
        // A page that does not match what it was built from stops grading
        // silently; a store failure (a full disk, a locked bank) is named.
        // Nothing has been written in either case.
        practice::GradingResult result;
        try {
            bank_.reopen();
            result = grade(controls);
            bank_.close();
        } catch (const practice::MissingControl&) {
            bank_.close();
            return;
        } catch (const store::StoreError& error) {
            bank_.close();
            prompter_.error(this, QStringLiteral("成绩未能保存：%1").arg(error.message()));
            return;
        }
        afterGrading();
        QStringList spans;
        for (qint64 id : result.wrongQuestionIds)
            spans << QStringLiteral("fan%1").arg(id);
        pageView_->setColor(spans, QStringLiteral("red"));
        if (!result.recordNotice.isEmpty())
            prompter_.message(this, result.recordNotice);
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
    forgetShownPageAnswers();
    if (shownSearch_) {
        showSearchPage(shownSearch_->page);
        return;
    }
    if (drawnPage_) {
        showDrawnPage(drawnPage_);
        return;
    }
    // The page on show, whatever the tree has selected since (a section, say).
    bool numeric = false;
    const qint64 chapterId = currentChapterId_.toLongLong(&numeric);
    if (drillQuestions_)
        showDrill(*drillQuestions_);
    else if (numeric)
        showChapter(chapterId);
}

void MainWindow::setRandomSource(std::unique_ptr<exam::RandomSource> random) {
    random_ = std::move(random);
}

std::vector<qint64> MainWindow::selectedChapters() const {
    std::vector<qint64> chapters;
    const auto add = [&](const QTreeWidgetItem* item) {
        const int position = chapterTree_->positionOf(item);
        if (position >= 0 && size_t(position) < nodeIds_.size() && nodeIds_[size_t(position)] != 0)
            chapters.push_back(nodeIds_[size_t(position)]);
    };
    const QTreeWidgetItem* item = chapterTree_->currentItem();
    const int level = item ? ChapterTreeView::levelOf(item) : 0;
    if (level == 2) {
        add(item);
    } else if (level == 1) {
        for (int i = 0; i < item->childCount(); ++i)
            add(item->child(i));
    } else {
        for (qint64 chapterId : nodeIds_)
            if (chapterId != 0)
                chapters.push_back(chapterId);
    }
    return chapters;
}

void MainWindow::startRandomPractice(int count) {
    skipAutoOpen_ = true;
    if (!random_)
        random_ = std::make_unique<exam::SystemRandom>();
    const std::vector<qint64> chapters = selectedChapters();
    auto selection = std::make_shared<practice::PracticeSelection>();
    if (!reportingErrors([&] {
            bank_.reopen();
            *selection = practice::drawRandomPractice(
                bank_, chapters, collections::viewModeOfKey(viewKey_), count, *random_);
            bank_.close();
        })) {
        bank_.close();
        return;
    }
    if (selection->questionCount() == 0) {
        showMessage(QStringLiteral("所选范围内没有试题！"));
        return;
    }
    resetAnswerButtons();
    showDrawnPage(selection);
}

void MainWindow::showDrawnPage(std::shared_ptr<const practice::PracticeSelection> selection) {
    keepAnswersOfPageLeft();
    shownChapterId_ = 0;
    drillQuestions_.reset();
    shownSearch_.reset();
    drawnPage_ = selection;
    chapterNameLabel_->setText(QStringLiteral("随机练习（%1 题）").arg(selection->questionCount()));
    showBuiltPage(
        [this, selection] {
            return std::make_shared<practice::ChapterPageBuilder>(bank_, *selection);
        },
        [this] { judgeAtOnceWhenOn(); });
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
        choices_.textSize = fontLevel_ + 14;
        pageView_->setBodyFontSize(choices_.textSize);
        rememberChoices();
        return;
    }
    rememberChoices();
    skipAutoOpen_ = true;
    showMessage(QStringLiteral("不能将字体设置过大！"));
}

void MainWindow::zoomOut() {
    --fontLevel_;
    if (fontLevel_ > 0) {
        choices_.textSize = fontLevel_ + 12;
        pageView_->setBodyFontSize(choices_.textSize);
        rememberChoices();
        return;
    }
    fontLevel_ = 0;
    rememberChoices();
    skipAutoOpen_ = true;
    showMessage(QStringLiteral("不能将字体设置过小！"));
}

void MainWindow::toggleInstantJudging() {
    choices_.instantJudging = !choices_.instantJudging;
    showInstantJudgingState();
    rememberChoices();
    pageView_->runScript(
        QStringLiteral("mqSetInstant(%1)")
            .arg(choices_.instantJudging ? QStringLiteral("true") : QStringLiteral("false")));
}

void MainWindow::showInstantJudgingState() {
    instantOnButton_->setVisible(choices_.instantJudging);
    instantOffButton_->setVisible(!choices_.instantJudging);
}

// Every later page starts with them; a file that cannot be written loses
// them at the end of the run only.
void MainWindow::rememberChoices() {
    choices_.fontLevel = fontLevel_;
    updatePageScript();
    services::writePracticeChoices(dataFolder_, choices_);
}

void MainWindow::updatePageScript() {
    QString script = choices_.instantJudging ? QStringLiteral("window.mqInstant = true;")
                                             : QStringLiteral("window.mqInstant = false;");
    if (choices_.textSize > 0)
        script += QStringLiteral(" document.body.style.fontSize = '%1px';").arg(choices_.textSize);
    pageView_->setPageScript(script);
}

} // namespace app
