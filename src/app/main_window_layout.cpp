// The main window's controls and where they sit.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "app/startup_texts.h"
#include "practice/random_practice.h"
#include "web/html_view.h"
#include "widgets/chrome_pictures.h"
#include "widgets/day_and_night.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QVBoxLayout>

namespace app {

using widgets::loadPicture;
using widgets::PicturePanel;

namespace {

QFont chineseFont(const QString& family, int pixelSize, bool bold) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* transparentLabel(const QString& name, const QString& text, const QFont& font,
                         const QString& colour, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    // A label may show a bank text (the subject in the title): text, never markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    label->adjustSize();
    return label;
}

// Room the page bar keeps beyond its last button.
constexpr int pageBarEndGap = 6;

PictureButton::Pictures pictures(const char* normal, const char* hover, const char* pressed) {
    return {QString::fromLatin1(normal), QString::fromLatin1(hover), QString::fromLatin1(pressed)};
}

} // namespace

PictureButton* MainWindow::pictureButton(const QString& name, PictureButton::Pictures pictures,
                                         QSize size, QWidget* parent) {
    return new PictureButton(name, programFolder_, std::move(pictures), size, parent);
}

QWidget* MainWindow::createTitleBar() {
    titleBar_ = new PicturePanel(QStringLiteral("Panel5"),
                                 loadPicture(programFolder_, QStringLiteral("/tp/titlebar.bmp")),
                                 this, widgets::barPictureEdges);
    titleBar_->setFixedHeight(25);
    titleBar_->installEventFilter(this);
    titleLabel_ = transparentLabel(QStringLiteral("Label4"), titleResourceText,
                                   chineseFont(QStringLiteral("楷体_GB2312"), 17, true),
                                   QStringLiteral("white"), titleBar_);
    titleLabel_->move(15, 5);
    // The CJK font's line is taller than the 20 pixels the bar leaves below
    // the label's top; the text is centred in them rather than cut at the foot.
    titleLabel_->setFixedHeight(20);
    titleLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* hidden = new QLabel(titleBar_);
    hidden->setObjectName(QStringLiteral("Label2"));
    hidden->setTextFormat(Qt::PlainText);
    hidden->setText(subjectNameText);
    hidden->hide();

    const QSize size(29, 25);
    minimiseButton_ = pictureButton(
        QStringLiteral("NewImage9"),
        pictures("/tp/MinBtn-1.bmp", "/tp/MinBtn-2.bmp", "/tp/MinBtn-3.bmp"), size, titleBar_);
    maximiseButton_ = pictureButton(
        QStringLiteral("NewImage8"),
        pictures("/tp/MaxBtn-1.bmp", "/tp/MaxBtn-2.bmp", "/tp/MaxBtn-3.bmp"), size, titleBar_);
    restoreButton_ = pictureButton(
        QStringLiteral("NewImage19"),
        pictures("/tp/resBtn-1.bmp", "/tp/resBtn-2.bmp", "/tp/resBtn-3.bmp"), size, titleBar_);
    closeButton_ =
        pictureButton(QStringLiteral("NewImage7"),
                      pictures("/tp/CloseBtn-1.bmp", "/tp/CloseBtn-2.bmp", "/tp/CloseBtn-3.bmp"),
                      size, titleBar_);
    minimiseButton_->move(minimiseLeft, 0);
    maximiseButton_->move(maximiseLeft, 0);
    restoreButton_->move(maximiseLeft, 0);
    closeButton_->move(closeLeft, 0);
    restoreButton_->hide();
    createSearchField();
    placeSearchField();
    connect(minimiseButton_, &PictureButton::clicked, this, &QWidget::showMinimized);
    connect(maximiseButton_, &PictureButton::clicked, this, &MainWindow::toggleMaximised);
    connect(restoreButton_, &PictureButton::clicked, this, &MainWindow::toggleMaximised);
    connect(closeButton_, &PictureButton::clicked, this, &QWidget::close);
    return titleBar_;
}

QWidget* MainWindow::createToolBar() {
    toolBar_ = new QWidget(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setFixedHeight(64);
    auto* row = new QHBoxLayout(toolBar_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    struct Tool {
        const char* name;
        PictureButton::Pictures pictures;
    };
    const Tool tools[] = {
        {"gjst", pictures("/tp/kstk-1.jpg", "/tp/KSTK-2.jpg", "/tp/KSTK-3.jpg")},
        {"NewImage1", pictures("/tp/wdsc-1.jpg", "/tp/wdsc-2.jpg", "/tp/wdsc-3.jpg")},
        {"rjdh", pictures("/tp/rjdh-1.jpg", "/tp/rjdh-2.jpg", "/tp/rjdh-3.jpg")},
        {"NewImage6", pictures("/tp/mnkc-1.jpg", "/tp/mnkc-2.jpg", "/tp/mnkc-3.jpg")},
        {"NewImage20", pictures("/tp/cttk-1.jpg", "/tp/cttk-2.jpg", "/tp/cttk-3.jpg")},
        {"NewImage4", pictures("/tp/sjbf-1.jpg", "/tp/sjbf-2.jpg", "/tp/sjbf-3.jpg")},
        // The restore button shows its normal picture when pressed.
        {"NewImage2", pictures("/tp/sjhy-1.jpg", "/tp/sjhy-2.jpg", "/tp/sjhy-1.jpg")},
        {"rjsj", pictures("/tp/rjsj-1.jpg", "/tp/rjsj-2.jpg", "/tp/rjsj-3.jpg")},
        {"zxkf", pictures("/tp/zxkf-1.jpg", "/tp/zxkf-2.jpg", "/tp/zxkf-3.jpg")},
        {"zxsc", pictures("/tp/zxsc-1.jpg", "/tp/zxsc-2.jpg", "/tp/zxsc-3.jpg")},
        {"sybz", pictures("/tp/sybz-1.jpg", "/tp/sybz-2.jpg", "/tp/sybz-3.jpg")},
        {"xxtj", pictures("/tp/xxtj-1.jpg", "/tp/xxtj-2.jpg", "/tp/xxtj-3.jpg")},
        {"drtk", pictures("/tp/drtk-1.jpg", "/tp/drtk-2.jpg", "/tp/drtk-3.jpg")},
    };
    for (const Tool& tool : tools) {
        const QSize size(row->count() == 0 ? 63 : 58, 64);
        row->addWidget(
            pictureButton(QString::fromLatin1(tool.name), tool.pictures, size, toolBar_));
    }
    const std::pair<const char*, void (MainWindow::*)()> actions[] = {
        {"gjst", &MainWindow::openWholeBank},
        {"NewImage1", &MainWindow::openFavourites},
        {"NewImage20", &MainWindow::openWrongQuestions},
        {"rjdh", &MainWindow::enterExamRoom},
        {"NewImage6", &MainWindow::enterExamRoom},
        {"NewImage4", &MainWindow::openBackupDialog},
        {"NewImage2", &MainWindow::openRestoreDialog},
        {"rjsj", &MainWindow::checkForUpdate},
        {"zxkf", &MainWindow::openHomePage},
        {"zxsc", &MainWindow::openShop},
        {"sybz", &MainWindow::openHelp},
        {"xxtj", &MainWindow::openStatistics},
        {"drtk", &MainWindow::openImportDialog},
    };
    for (const auto& [name, action] : actions)
        connect(toolBar_->findChild<PictureButton*>(QString::fromLatin1(name)),
                &PictureButton::clicked, this, action);

    auto* filler = new PicturePanel(QStringLiteral("Panel7"),
                                    loadPicture(programFolder_, QStringLiteral("/tp/toolbar.jpg")),
                                    toolBar_, widgets::barPictureEdges);
    logo_ = new QLabel(filler);
    logo_->setObjectName(QStringLiteral("AdvOfficeImage3"));
    logo_->setPixmap(loadPicture(programFolder_, QStringLiteral("/tp/logo.png")));
    logo_->setFixedSize(206, 56);
    logo_->setAccessibleName(QStringLiteral("Morrowquill 标志"));
    logo_->move(logoLeft, 4);
    row->addWidget(filler, 1);
    return toolBar_;
}

QWidget* MainWindow::createTreePanel() {
    treePanel_ = new QWidget(this);
    treePanel_->setObjectName(QStringLiteral("Panel2"));
    treePanel_->setMinimumWidth(120);
    auto* column = new QVBoxLayout(treePanel_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* header = new PicturePanel(QStringLiteral("Panel6"),
                                    loadPicture(programFolder_, QStringLiteral("/tp/header.bmp")),
                                    treePanel_, widgets::barPictureEdges);
    header->setFixedHeight(30);
    viewTitleLabel_ = transparentLabel(QStringLiteral("Label3"), collections::exerciseViewKey,
                                       chineseFont(QStringLiteral("仿宋_GB2312"), 19, true),
                                       QStringLiteral("rgb(0, 0, 255)"), header);
    viewTitleLabel_->move(69, 6);
    column->addWidget(header);
    chapterTree_ = new ChapterTreeView(programFolder_, treePanel_);
    chapterTree_->setAccessibleName(QStringLiteral("章节目录"));
    connect(chapterTree_, &ChapterTreeView::nodeClicked, this, &MainWindow::openChapterFromTree);
    chapterTree_->setTooltipSource([this](int position) { return chapterTooltipAt(position); });
    column->addWidget(chapterTree_, 1);
    return treePanel_;
}

QWidget* MainWindow::createPagePanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel3"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new PicturePanel(QStringLiteral("Panel4"),
                                 loadPicture(programFolder_, QStringLiteral("/tp/pagebar.bmp")),
                                 panel, widgets::barPictureEdges);
    bar->setFixedHeight(31);
    const QSize wide(95, 25), narrow(76, 25);
    showAllAnswersButton_ =
        pictureButton(QStringLiteral("NewImage10"),
                      pictures("/tp/xsda-1.bmp", "/tp/xsda-2.bmp", "/tp/xsda-3.bmp"), wide, bar);
    hideAllAnswersButton_ =
        pictureButton(QStringLiteral("NewImage16"),
                      pictures("/tp/ycda-1.bmp", "/tp/ycda-2.bmp", "/tp/ycda-3.bmp"), wide, bar);
    redoButton_ =
        pictureButton(QStringLiteral("NewImage11"),
                      pictures("/tp/cxdt-1.bmp", "/tp/cxdt-2.bmp", "/tp/cxdt-3.bmp"), wide, bar);
    gradeButton_ =
        pictureButton(QStringLiteral("NewImage12"),
                      pictures("/tp/tjsj-1.bmp", "/tp/tjsj-2.bmp", "/tp/tjsj-3.bmp"), wide, bar);
    auto* zoomInButton =
        pictureButton(QStringLiteral("NewImage14"),
                      pictures("/tp/da-1.bmp", "/tp/da-2.bmp", "/tp/da-3.bmp"), narrow, bar);
    auto* zoomOutButton =
        pictureButton(QStringLiteral("NewImage15"),
                      pictures("/tp/xiao-1.bmp", "/tp/xiao-2.bmp", "/tp/xiao-3.bmp"), narrow, bar);
    fullScreenButton_ =
        pictureButton(QStringLiteral("NewImage17"),
                      pictures("/tp/qpxs-1.bmp", "/tp/qpxs-2.bmp", "/tp/qpxs-3.bmp"), narrow, bar);
    leaveFullScreenButton_ =
        pictureButton(QStringLiteral("NewImage18"),
                      pictures("/tp/ckxs-1.bmp", "/tp/ckxs-2.bmp", "/tp/ckxs-3.bmp"), narrow, bar);
    showAllAnswersButton_->move(30, 3);
    hideAllAnswersButton_->move(30, 3);
    redoButton_->move(147, 2);
    gradeButton_->move(261, 1);
    zoomInButton->move(466, 2);
    zoomOutButton->move(561, 2);
    fullScreenButton_->move(648, 2);
    leaveFullScreenButton_->move(648, 2);
    hideAllAnswersButton_->hide();
    leaveFullScreenButton_->hide();
    createPracticeModeButtons(bar);
    // However far the tree is widened, the page bar keeps all its buttons.
    bar->setMinimumWidth(fullScreenButton_->geometry().right() + 1 + pageBarEndGap);
    connect(showAllAnswersButton_, &PictureButton::clicked, this, &MainWindow::showAllAnswers);
    connect(redoButton_, &PictureButton::clicked, this, &MainWindow::redoChapter);
    connect(gradeButton_, &PictureButton::clicked, this, &MainWindow::gradeChapter);
    connect(hideAllAnswersButton_, &PictureButton::clicked, this, &MainWindow::hideAllAnswers);
    connect(zoomInButton, &PictureButton::clicked, this, &MainWindow::zoomIn);
    connect(zoomOutButton, &PictureButton::clicked, this, &MainWindow::zoomOut);
    connect(fullScreenButton_, &PictureButton::clicked, this, &MainWindow::enterFullScreen);
    connect(leaveFullScreenButton_, &PictureButton::clicked, this, &MainWindow::leaveFullScreen);
    column->addWidget(bar);

    pageView_ = new web::HtmlView(panel);
    pageView_->setObjectName(QStringLiteral("WebBrowser1"));
    pageView_->setAccessibleName(QStringLiteral("试题"));
    pageView_->setCursor(Qt::PointingHandCursor);
    // The page never navigates away: its buttons' addresses are commands, and
    // that holds while a page is being rendered and across view switches too.
    pageView_->setInterceptNavigation(true);
    connect(pageView_, &web::HtmlView::navigationIntercepted, this, &MainWindow::runPageCommand);
    connect(pageView_, &web::HtmlView::renderProcessEnded, this,
            &MainWindow::reloadAfterRendererEnded);
    column->addWidget(pageView_, 1);
    return panel;
}

// 随机练习 (with its menu of counts) and the 即时判题 toggle (one button for
// each state, at the same place; "on" looks pressed) in the room between
// 提交试卷 and 放大字体, which the bar keeps whatever the tree's width.
void MainWindow::createPracticeModeButtons(QWidget* bar) {
    const QSize narrow(51, 25);
    randomPracticeButton_ =
        pictureButton(QStringLiteral("RandomPractice"),
                      pictures("/tp/sjlx-1.bmp", "/tp/sjlx-2.bmp", "/tp/sjlx-3.bmp"), narrow, bar);
    randomPracticeButton_->move(359, 2);
    randomPracticeMenu_ = new QMenu(this);
    randomPracticeMenu_->setObjectName(QStringLiteral("RandomPracticeMenu"));
    for (int count : practice::randomPracticeCounts)
        connect(randomPracticeMenu_->addAction(QStringLiteral("随机 %1 题").arg(count)),
                &QAction::triggered, this, [this, count] { startRandomPractice(count); });
    connect(randomPracticeButton_, &PictureButton::clicked, this, [this] {
        randomPracticeMenu_->popup(
            randomPracticeButton_->mapToGlobal(QPoint(0, randomPracticeButton_->height())));
    });
    instantOffButton_ =
        pictureButton(QStringLiteral("InstantJudgingOff"),
                      pictures("/tp/jspt-1.bmp", "/tp/jspt-2.bmp", "/tp/jspt-3.bmp"), narrow, bar);
    instantOnButton_ =
        pictureButton(QStringLiteral("InstantJudgingOn"),
                      pictures("/tp/jspk-1.bmp", "/tp/jspk-2.bmp", "/tp/jspk-3.bmp"), narrow, bar);
    instantOffButton_->move(413, 2);
    instantOnButton_->move(413, 2);
    showInstantJudgingState();
    connect(instantOffButton_, &PictureButton::clicked, this, &MainWindow::toggleInstantJudging);
    connect(instantOnButton_, &PictureButton::clicked, this, &MainWindow::toggleInstantJudging);
}

QStatusBar* MainWindow::createStatusBar() {
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    status->setFixedHeight(19);
    widgets::followDayAndNight(status, [status](bool night) {
        status->setStyleSheet(
            QStringLiteral("QStatusBar { background: %1; } "
                           "QStatusBar::item { border: none; }")
                .arg(night ? QStringLiteral("#22272b") : QStringLiteral("rgb(236, 241, 245)")));
    });
    for (int panel = 0; panel < 3; ++panel) {
        statusPanels_[panel] = new QLabel(status);
        statusPanels_[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        statusPanels_[panel]->setTextFormat(Qt::PlainText);
        statusPanels_[panel]->setAlignment(Qt::AlignCenter);
        status->addWidget(statusPanels_[panel], panel == 1 ? 1 : 0);
    }
    statusPanels_[0]->setFixedWidth(255);
    statusPanels_[0]->setText(countResourceText);
    // However long the settings' line, it never widens the window.
    statusPanels_[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusPanels_[1]->setText(settings_.serviceLine);
    // At the right end, where it takes no room from the tool bar.
    nightModeBox_ = new QCheckBox(QStringLiteral("夜间模式"), status);
    nightModeBox_->setObjectName(QStringLiteral("nightMode"));
    status->addPermanentWidget(nightModeBox_);
    connect(nightModeBox_, &QCheckBox::toggled, this, &MainWindow::setNightMode);
    return status;
}

} // namespace app
