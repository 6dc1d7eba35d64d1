// The main window's life: creation, showing, the tree and activation.

#include "app/main_window.h"

#include "app/chapter_tree_view.h"
#include "app/startup_texts.h"
#include "collections/view_mode.h"
#include "collections/wrong_question_manager.h"
#include "exam/exam_entry.h"
#include "exam/paper_drawer.h"
#include "import/import_dialog.h"
#include "services/backup_dialog.h"
#include "services/daily_backup.h"
#include "services/feedback_dialog.h"
#include "services/restore_dialog.h"
#include "services/update_notifier.h"
#include "web/html_view.h"
#include "widgets/prompter.h"
#include "widgets/quiet_splitter.h"

#include <QDateTime>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace app {

MainWindow::MainWindow(const Folders& folders, Prompter& prompter, widgets::Desktop& desktop,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , programFolder_(folders.program)
    , dataFolder_(folders.data)
    , prompter_(prompter)
    , desktop_(desktop)
    , settings_(services::readSettings(dataFolder_))
    , choices_(services::readPracticeChoices(dataFolder_))
    , bank_(store::Bank::pathIn(dataFolder_)) {
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Morrowquill"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#TForm10 { background: rgb(0, 134, 143); }"));
    setMouseTracking(true);
    // Pictures a user imports are kept with the bank, in the data folder.
    web::HtmlView::setUserPictureFolder(dataFolder_ + QStringLiteral("pic/"));

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(3, 3, 3, 3);
    frame->setSpacing(0);
    frame->addWidget(createTitleBar());
    frame->addWidget(createToolBar());
    auto* main = new widgets::QuietSplitter(Qt::Horizontal, this);
    main->setObjectName(QStringLiteral("Panel1"));
    main->setHandleWidth(1);
    main->setChildrenCollapsible(false);
    main->setStyleSheet(QStringLiteral("QSplitter::handle { background: rgb(0, 134, 143); }"));
    main->addWidget(createTreePanel());
    main->addWidget(createPagePanel());
    // The browser starts on the template while the rest of the window is built.
    pageView_->preloadTemplate(programFolder_ + QStringLiteral("ty.html"));
    main->setStretchFactor(1, 1);
    main->setSizes({257, 743});
    frame->addWidget(main, 1);
    frame->addWidget(createStatusBar());
    resize(designSize);
    setMinimumSize(designSize);
    if (choices_.textSize > 0)
        fontLevel_ = choices_.fontLevel;
    updatePageScript();

    chapterNameLabel_ = new QLabel(this);
    chapterNameLabel_->setObjectName(QStringLiteral("Label1"));
    chapterNameLabel_->setTextFormat(Qt::PlainText);
    chapterNameLabel_->hide();
    feedbackDialog_ = new services::FeedbackDialog(programFolder_, subjectNameText,
                                                   settings_.feedback, prompter_, this);
    wrongQuestionManager_ = new collections::WrongQuestionManager(dataFolder_, prompter_, this);
    examEntry_ = new exam::ExamEntry(programFolder_, dataFolder_, prompter_, desktop_, this);
    backupDialog_ = new services::BackupDialog(programFolder_, dataFolder_, prompter_, this);
    restoreDialog_ = new services::RestoreDialog(programFolder_, dataFolder_, prompter_, this);
    importDialog_ = new importer::ImportDialog(dataFolder_, prompter_, this);
    connect(importDialog_, &importer::ImportDialog::imported, this,
            &MainWindow::showImportedChapter);
    connect(restoreDialog_, &services::RestoreDialog::restored, this,
            &MainWindow::showRestoredBank);
    updateNotifier_ =
        new services::UpdateNotifier(programFolder_, dataFolder_, prompter_, desktop_, this);

    new services::DailyBackup(dataFolder_, QDateTime::currentDateTime(), this);
    if (!isMaximized()) {
        const QRect screen = this->screen()->geometry();
        move(screen.width() / 2 - 512, screen.height() / 2 - 384);
    }
    restoreWindowState();
    installShortcuts();
    readBankTexts();
}

MainWindow::~MainWindow() = default;

QString MainWindow::statusPanelText(int panel) const {
    return statusPanels_[panel]->text();
}

bool MainWindow::reportingErrors(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
        return false;
    }
}

void MainWindow::showMessage(const QString& text) {
    prompter_.message(this, text);
    openFirstChapter();
}

void MainWindow::readBankTexts() {
    skipAutoOpen_ = false;
    // The bank's texts are a courtesy at creation: a bank that cannot be read
    // keeps the resource texts, and the first show reports why.
    try {
        bank_.open();
        const StartupTexts texts = readStartupTexts(bank_, settings_);
        titleLabel_->setText(texts.title);
        titleLabel_->adjustSize();
        statusPanels_[0]->setText(texts.questionCount);
        subjectFolder_ = texts.subjectFolder;
        updateInfoUrl_ = texts.updateInfoUrl;
        bank_.close();
    } catch (const store::StoreError&) {
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // Once the window is on screen, so that a message it shows comes above it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Maximised as it was left, before the tree is built, so that the
            // first chapter still opens.
            if (std::exchange(startMaximised_, false) && !isMaximized())
                toggleMaximised();
            rebuildTree();
            if (!shownBefore_) {
                shownBefore_ = true;
                chapterTree_->setFocus(Qt::OtherFocusReason);
                openFirstChapter();
                updateNotifier_->checkAfterStart(QUrl(updateInfoUrl_));
            }
        },
        Qt::QueuedConnection);
}

void MainWindow::rebuildTree() {
    wasMaximised_ = false;
    reportingErrors([this] {
        bank_.reopen();
        layoutChanged_ = false;
        statusPanels_[2]->setText(
            QStringLiteral("现在的日期和时间是： ") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        fillTree();
    });
}

void MainWindow::fillTree() {
    chapterTree_->clearRows();
    nodeIds_.clear();
    bank_.reopen();
    buildChapterTree(bank_, collections::viewModeOfKey(viewKey_), [this](const TreeRow& row) {
        chapterTree_->addRow(row);
        nodeIds_.push_back(row.chapterId);
    });
    bank_.close();
}

int MainWindow::firstChapterPosition() const {
    // A collection lists only the chapters that hold its questions, so a
    // section without any may stand at position 2: open its first chapter.
    if (collections::viewModeOfKey(viewKey_) == collections::ViewMode::WholeBank)
        return 2;
    const auto chapter = std::find_if(nodeIds_.cbegin(), nodeIds_.cend(),
                                      [](auto chapterId) { return chapterId != 0; });
    return chapter == nodeIds_.cend() ? -1 : int(chapter - nodeIds_.cbegin());
}

void MainWindow::openFirstChapter() {
    if (!skipAutoOpen_ && !layoutChanged_) {
        chapterTree_->expandEveryNode();
        if (QTreeWidgetItem* item = chapterTree_->nodeAt(firstChapterPosition())) {
            chapterTree_->setCurrentItem(item);
            openSelectedChapter();
            // A text size the user chose stays, and its step with it.
            if (choices_.textSize == 0)
                fontLevel_ = 2;
        }
    }
    skipAutoOpen_ = false;
}

} // namespace app
