#pragma once

#include "app/chapter_tree.h"
#include "app/folders.h"
#include "practice/kept_answers.h"
#include "search/search_index.h"
#include "services/practice_choices.h"
#include "services/settings.h"
#include "store/bank.h"
#include "web/control_snapshot.h"
#include "widgets/picture_button.h"

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QMenu;
class QStatusBar;

namespace collections {
struct Collection;
enum class ViewMode;
class WrongQuestionManager;
} // namespace collections

namespace exam {
class ExamEntry;
class RandomSource;
} // namespace exam

namespace record {
class StatisticsWindow;
}
namespace practice {
class ChapterPageBuilder;
struct GradingResult;
struct PracticeSelection;
} // namespace practice

namespace search {
class SearchField;
}

namespace services {
class BackupDialog;
class FeedbackDialog;
class RestoreDialog;
class UpdateNotifier;
} // namespace services

namespace importer {
class ImportDialog;
}

namespace web {
class HtmlView;
struct PageStart;
} // namespace web

namespace widgets {
class Desktop;
class Prompter;
} // namespace widgets

namespace app {

class ChapterTreeView;
using widgets::PictureButton;
using widgets::Prompter;

// The main window: its own frame and title bar, the tool bar, the chapter tree
// beside the page, and the status bar, over the bank of the data folder.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow(const Folders& folders, Prompter& prompter, widgets::Desktop& desktop,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The program's own one-button message; the window is activated again after it.
    void showMessage(const QString& text);
    // Brings the window in front of the others, out of the task bar if minimised.
    void bringToFront();
    // Shows a practice page of the candidate's weak points (the questions
    // answered wrong most often and not right since), graded like a chapter;
    // says so when there are none.
    void openWeakPointDrill();
    // The questions of the drill on show, if one is.
    const std::optional<std::vector<qint64>>& drillQuestions() const { return drillQuestions_; }

    // Keeps the next activation from reopening the first chapter.
    void setSkipAutoOpen() { skipAutoOpen_ = true; }

    // Rebuilds the tree for the current view; reports a store failure.
    void rebuildTree();
    // Reopens the chapter at tree position 2, unless told not to or the layout
    // changed since the tree was built.
    void openFirstChapter();

    const QString& viewKey() const { return viewKey_; }
    const std::vector<qint64>& nodeIds() const { return nodeIds_; }
    const QString& currentChapterId() const { return currentChapterId_; }
    web::HtmlView* page() const { return pageView_; }
    int fontLevel() const { return fontLevel_; }
    bool instantJudging() const { return choices_.instantJudging; }
    // The source random practice draws with; the system's unless a test sets one.
    void setRandomSource(std::unique_ptr<exam::RandomSource> random);
    bool nightMode() const { return nightMode_; }
    // Night mode on or off, for the whole program; remembered.
    void setNightMode(bool on);
    bool layoutChanged() const { return layoutChanged_; }
    QString statusPanelText(int panel) const;
    services::FeedbackDialog* feedbackDialog() const { return feedbackDialog_; }
    const QString& subjectFolder() const { return subjectFolder_; }
    const QString& updateInfoUrl() const { return updateInfoUrl_; }
    exam::ExamEntry* examEntry() const { return examEntry_; }
    services::BackupDialog* backupDialog() const { return backupDialog_; }
    services::RestoreDialog* restoreDialog() const { return restoreDialog_; }
    importer::ImportDialog* importDialog() const { return importDialog_; }
    services::UpdateNotifier* updateNotifier() const { return updateNotifier_; }
    record::StatisticsWindow* statisticsWindow() const { return statisticsWindow_; }
    // The tree's tooltip of the node at `position`: a chapter's figures.
    QString chapterTooltipAt(int position);

signals:
    // A chapter's page has been rendered completely.
    void pageShown();
    // A chapter's page was left before it was graded, with what its controls
    // held (the answers given on it, instant judging or not).
    void ungradedPageLeft(qint64 chapterId, collections::ViewMode mode,
                          const web::ControlSnapshot& controls);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createTitleBar();
    QWidget* createToolBar();
    QWidget* createTreePanel();
    QWidget* createPagePanel();
    void createPracticeModeButtons(QWidget* bar);
    void showInstantJudgingState();
    QStatusBar* createStatusBar();
    PictureButton* pictureButton(const QString& name, PictureButton::Pictures pictures, QSize size,
                                 QWidget* parent);
    // Shortcuts, tooltips and accessible names from the shortcut table.
    void installShortcuts();
    // A chapter chosen in the tree opens, and the page takes the focus.
    void openChapterFromTree();

    void readBankTexts();
    int firstChapterPosition() const;
    void closeBank();
    void fillTree();
    void openSelectedChapter();
    // Builds the page of a chapter of the current view; 0 shows an empty page.
    void showChapter(qint64 chapterId);
    // Shows the page that a builder made by `makeBuilder` writes, between a
    // head and a tail, then runs `afterShown` once it is complete.
    using BuilderMaker = std::function<std::shared_ptr<practice::ChapterPageBuilder>()>;
    void showBuiltPage(const BuilderMaker& makeBuilder, const std::function<void()>& afterShown,
                       const QStringList& head = {}, const QString& tail = {});
    // The first `atLeast` fragments of a page, and the build of its rest; a
    // store failure ends the page with what was built.
    web::PageStart startPage(const BuilderMaker& makeBuilder, const QStringList& head,
                             const QString& tail, int atLeast);
    void showDrill(const std::vector<qint64>& questionIds);
    void runPageCommand(const QString& address);
    void reloadAfterRendererEnded();
    void favouriteToggle(qint64 questionId);
    void editNote(qint64 questionId);
    // Search (main_window_search.cpp): the field in the tool bar, the results pages.
    void createSearchField();
    void searchQuestions(const QString& text);
    void buildSearchIndex();
    void showSearchPage(int page);
    void gradeSearchPage();
    void errorReportPreview(qint64 questionId);
    void gradeChapter();
    // Grades the page on show from a snapshot of its controls, marks the
    // questions answered wrong and shows the result.
    // `afterGrading` runs once the grading is written.
    void gradePage(const std::function<practice::GradingResult(const web::ControlSnapshot&)>& grade,
                   const std::function<void()>& afterGrading);
    void showGradingResult();
    void redoChapter();
    void openFavourites();
    void openWrongQuestions();
    void enterExamRoom();
    void switchToCollection(const collections::Collection& collection);
    // The header's caption, which every view reads, and its visible title.
    void setViewKey(const QString& key);
    void showAllAnswers();
    void hideAllAnswers();
    void zoomIn();
    void zoomOut();
    // Keeps the answers of the chapter page on show, which is being left.
    void keepAnswersOfPageLeft();
    // Puts the kept answers of a chapter page back once it is complete.
    void restoreKeptAnswers(qint64 chapterId, collections::ViewMode mode);
    void forgetShownPageAnswers();
    // Judges what the page holds at once when instant judging is on.
    void judgeAtOnceWhenOn();
    // What every page starts with: the chosen text size, instant judging.
    void updatePageScript();
    void rememberChoices();
    void toggleInstantJudging();
    // Draws `count` questions from what the tree has selected and shows them.
    void startRandomPractice(int count);
    void showDrawnPage(std::shared_ptr<const practice::PracticeSelection> selection);
    // The chapters of the node selected in the tree: a chapter, a section's
    // chapters, or every chapter of the view.
    std::vector<qint64> selectedChapters() const;
    void openWholeBank();
    void openBackupDialog();
    void openRestoreDialog();
    void showRestoredBank();
    void checkForUpdate();
    void openHomePage();
    void openShop();
    void openHelp();
    void openStatistics();
    // Shows a chapter of the whole bank, as a click on it in the tree does.
    void openChapterById(qint64 chapterId);
    void openImportDialog();
    // After an import: the whole bank's tree, the imported chapter open.
    void showImportedChapter(qint64 chapterId);
    void toggleMaximised();
    void enterFullScreen();
    void leaveFullScreen();
    void resetAnswerButtons();
    // The window's edges at a point of it, where a press resizes it.
    Qt::Edges resizeEdgesAt(QPoint position) const;
    void showResizeCursor(QPoint position);
    // Starts the window system's resize at an edge; false elsewhere.
    bool startResize(QPoint position);
    void placeRightEdgeControls(int windowWidth);
    // Where a maximised window shows them; `notedWidth` is its width before.
    void placeMaximisedControls(int notedWidth);
    // Beside the minimise button, wherever that is.
    void placeSearchField();
    void restoreWindowState();
    void saveWindowState();
    void noteDragStart(const QMouseEvent* event);
    void dragWindow(const QMouseEvent* event);
    // Runs work; a store failure is shown to the user. True when it succeeded.
    bool reportingErrors(const std::function<void()>& work);

    // Title-bar button places in a normal window, and their distances from the
    // screen's right edge in a maximised one.
    static constexpr int minimiseLeft = 911, maximiseLeft = 940, closeLeft = 969;
    static constexpr int minimiseFromRight = 110, restoreFromRight = 75, closeFromRight = 47;
    static constexpr int logoLeft = -10;
    // The size it opens at the first time, and the smallest it can be.
    static constexpr QSize designSize{1001 + 6, 545 + 6};

    QString programFolder_;
    // Where the program writes: the bank, backups, settings, the update files.
    QString dataFolder_;
    Prompter& prompter_;
    widgets::Desktop& desktop_;
    services::Settings settings_;
    services::PracticeChoices choices_;
    store::Bank bank_;

    QWidget* titleBar_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    PictureButton *minimiseButton_ = nullptr, *maximiseButton_ = nullptr, *restoreButton_ = nullptr,
                  *closeButton_ = nullptr;
    QWidget* toolBar_ = nullptr;
    QLabel* logo_ = nullptr;
    QWidget* treePanel_ = nullptr;
    QLabel* viewTitleLabel_ = nullptr;
    ChapterTreeView* chapterTree_ = nullptr;
    PictureButton *showAllAnswersButton_ = nullptr, *hideAllAnswersButton_ = nullptr,
                  *redoButton_ = nullptr, *gradeButton_ = nullptr, *fullScreenButton_ = nullptr,
                  *leaveFullScreenButton_ = nullptr;
    PictureButton *randomPracticeButton_ = nullptr, *instantOffButton_ = nullptr,
                  *instantOnButton_ = nullptr;
    QMenu* randomPracticeMenu_ = nullptr;
    web::HtmlView* pageView_ = nullptr;
    QLabel* chapterNameLabel_ = nullptr;
    services::FeedbackDialog* feedbackDialog_ = nullptr;
    collections::WrongQuestionManager* wrongQuestionManager_ = nullptr;
    exam::ExamEntry* examEntry_ = nullptr;
    services::BackupDialog* backupDialog_ = nullptr;
    services::RestoreDialog* restoreDialog_ = nullptr;
    importer::ImportDialog* importDialog_ = nullptr;
    services::UpdateNotifier* updateNotifier_ = nullptr;
    record::StatisticsWindow* statisticsWindow_ = nullptr;
    QLabel* statusPanels_[3] = {};
    search::SearchField* searchField_ = nullptr;
    search::SearchIndex searchIndex_{bank_};
    // The search results on show, when the page is one of them.
    struct ShownSearch {
        std::shared_ptr<const search::SearchResult> result;
        collections::ViewMode mode;
        int page = 0;
    };
    std::optional<ShownSearch> shownSearch_;
    bool searching_ = false;

    QString viewKey_ = collections::startViewKey;
    std::vector<qint64> nodeIds_;
    QString currentChapterId_;
    // When the page on show was opened: a graded sitting lasted from then.
    QDateTime pageOpenedAt_;
    std::optional<std::vector<qint64>> drillQuestions_;
    // The chapter is being shown again after its renderer ended.
    bool reloadingAfterRendererEnded_ = false;
    bool skipAutoOpen_ = false;
    bool layoutChanged_ = false;
    bool wasMaximised_ = false;
    bool shownBefore_ = false;
    bool quitConfirmed_ = false;
    bool startMaximised_ = false;
    bool nightMode_ = false;
    QCheckBox* nightModeBox_ = nullptr;
    QPoint dragOffset_;
    enum class WindowDrag { NotStarted, BySystem, ByHand };
    WindowDrag windowDrag_ = WindowDrag::NotStarted;
    int fontLevel_ = 0;
    practice::KeptAnswers keptAnswers_;
    // The chapter page on show whose answers are kept when it is left: none
    // once it is graded or redone.
    qint64 shownChapterId_ = 0;
    collections::ViewMode shownMode_{};
    bool pageComplete_ = false;
    // The drawn questions on show, graded and redone instead of a chapter.
    std::shared_ptr<const practice::PracticeSelection> drawnPage_;
    std::unique_ptr<exam::RandomSource> random_;
    QString subjectFolder_;
    QString updateInfoUrl_;
};

} // namespace app
