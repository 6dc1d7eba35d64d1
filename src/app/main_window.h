#pragma once

#include "app/chapter_tree.h"
#include "app/folders.h"
#include "services/settings.h"
#include "store/bank.h"
#include "widgets/picture_button.h"

#include <QWidget>
#include <vector>

class QLabel;
class QStatusBar;

namespace collections {
struct Collection;
enum class ViewMode;
class WrongQuestionManager;
} // namespace collections

namespace exam {
class ExamEntry;
}

namespace services {
class BackupDialog;
class FeedbackDialog;
class RestoreDialog;
class UpdateNotifier;
} // namespace services

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

    // The program's own one-button message; the window is activated again after it.
    void showMessage(const QString& text);
    // Brings the window in front of the others, out of the task bar if minimised.
    void bringToFront();
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
    services::UpdateNotifier* updateNotifier() const { return updateNotifier_; }

signals:
    // A chapter's page has been rendered completely.
    void pageShown();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createTitleBar();
    QWidget* createToolBar();
    QWidget* createTreePanel();
    QWidget* createPagePanel();
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
    // The first `atLeast` fragments of a chapter's page, and the build of its
    // rest; a store failure ends the page with what was built.
    web::PageStart startChapterPage(qint64 chapterId, collections::ViewMode mode, int atLeast);
    void runPageCommand(const QString& address);
    void reloadAfterRendererEnded();
    void favouriteToggle(qint64 questionId);
    void errorReportPreview(qint64 questionId);
    void gradeChapter();
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
    void openWholeBank();
    void openBackupDialog();
    void openRestoreDialog();
    void showRestoredBank();
    void checkForUpdate();
    void openHomePage();
    void openShop();
    void openHelp();
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
    web::HtmlView* pageView_ = nullptr;
    QLabel* chapterNameLabel_ = nullptr;
    services::FeedbackDialog* feedbackDialog_ = nullptr;
    collections::WrongQuestionManager* wrongQuestionManager_ = nullptr;
    exam::ExamEntry* examEntry_ = nullptr;
    services::BackupDialog* backupDialog_ = nullptr;
    services::RestoreDialog* restoreDialog_ = nullptr;
    services::UpdateNotifier* updateNotifier_ = nullptr;
    QLabel* statusPanels_[3] = {};

    QString viewKey_ = collections::startViewKey;
    std::vector<qint64> nodeIds_;
    QString currentChapterId_;
    // The chapter is being shown again after its renderer ended.
    bool reloadingAfterRendererEnded_ = false;
    bool skipAutoOpen_ = false;
    bool layoutChanged_ = false;
    bool wasMaximised_ = false;
    bool shownBefore_ = false;
    bool quitConfirmed_ = false;
    bool startMaximised_ = false;
    bool nightMode_ = false;
    QPoint dragOffset_;
    enum class WindowDrag { NotStarted, BySystem, ByHand };
    WindowDrag windowDrag_ = WindowDrag::NotStarted;
    int fontLevel_ = 0;
    QString subjectFolder_;
    QString updateInfoUrl_;
};

} // namespace app
