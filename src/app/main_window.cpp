#include "app/main_window.h"

#include "app/chapter_tree_view.h"
#include "app/prompter.h"
#include "app/startup_texts.h"
#include "collections/collections.h"
#include "collections/wrong_question_manager.h"
#include "practice/grader.h"
#include "practice/page_builder.h"
#include "practice/result_window.h"
#include "practice/score_report.h"
#include "services/feedback_dialog.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"
#include "web/html_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindow>

namespace app {

namespace {

const QColor frameColour(0, 134, 143);

QFont chineseFont(const QString& family, int pixelSize, bool bold) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* transparentLabel(const QString& name, const QString& text, const QFont& font,
                         const QString& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    label->adjustSize();
    return label;
}

PictureButton::Pictures pictures(const char* normal, const char* hover, const char* pressed) {
    return {QString::fromLatin1(normal), QString::fromLatin1(hover), QString::fromLatin1(pressed)};
}

// Title-bar button places in a normal window, and their distances from the
// screen's right edge in a maximised one.
constexpr int minimiseLeft = 911, maximiseLeft = 940, closeLeft = 969;
constexpr int minimiseFromRight = 110, restoreFromRight = 75, closeFromRight = 47;
constexpr int logoLeft = -10;

// Clicks every answer button of the page whose value is `value`, whatever its
// question's key.
QString answerButtonsScript(const QString& value) {
    return QStringLiteral(
               "(function () { var b = document.getElementsByName('sanyangxsda'); "
               "for (var i = 0; i < b.length; i++) if (b[i].value == '%1') b[i].click(); "
               "})()")
        .arg(value);
}

} // namespace

MainWindow::MainWindow(const QString& programFolder, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , programFolder_(programFolder)
    , prompter_(prompter)
    , bank_(store::Bank::pathIn(programFolder)) {
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Morrowquill"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#TForm10 { background: rgb(0, 134, 143); }"));
    setMouseTracking(true);

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(3, 3, 3, 3);
    frame->setSpacing(0);
    frame->addWidget(createTitleBar());
    frame->addWidget(createToolBar());
    auto* main = new QSplitter(Qt::Horizontal, this);
    main->setObjectName(QStringLiteral("Panel1"));
    main->setHandleWidth(1);
    main->setOpaqueResize(false);
    main->setChildrenCollapsible(false);
    main->setStyleSheet(QStringLiteral("QSplitter::handle { background: rgb(0, 134, 143); }"));
    main->addWidget(createTreePanel());
    main->addWidget(createPagePanel());
    main->setStretchFactor(1, 1);
    main->setSizes({257, 743});
    frame->addWidget(main, 1);
    frame->addWidget(createStatusBar());
    resize(1001 + 6, 545 + 6);

    Label1_ = new QLabel(this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->hide();
    TForm9_ = new services::FeedbackDialog(programFolder_, this);
    TForm16_ = new collections::WrongQuestionManager(programFolder_, prompter_, this);

    FormCreate();
}

PictureButton* MainWindow::pictureButton(const QString& name, PictureButton::Pictures pictures,
                                         QSize size, QWidget* parent) {
    return new PictureButton(name, programFolder_, std::move(pictures), size, parent);
}

QWidget* MainWindow::createTitleBar() {
    Panel5_ =
        new PicturePanel(QStringLiteral("Panel5"),
                         loadPicture(programFolder_, QStringLiteral("/tp/titlebar.bmp")), this);
    Panel5_->setFixedHeight(25);
    Panel5_->installEventFilter(this);
    Label4_ = transparentLabel(QStringLiteral("Label4"), titleResourceText,
                               chineseFont(QStringLiteral("楷体_GB2312"), 17, true),
                               QStringLiteral("white"), Panel5_);
    Label4_->move(15, 3);
    Label4_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* hidden = new QLabel(QStringLiteral("职业病"), Panel5_);
    hidden->setObjectName(QStringLiteral("Label2"));
    hidden->hide();

    const QSize size(29, 25);
    NewImage9_ = pictureButton(QStringLiteral("NewImage9"),
                               pictures("/tp/MinBtn-1.bmp", "/tp/MinBtn-2.bmp", "/tp/MinBtn-3.bmp"),
                               size, Panel5_);
    NewImage8_ = pictureButton(QStringLiteral("NewImage8"),
                               pictures("/tp/MaxBtn-1.bmp", "/tp/MaxBtn-2.bmp", "/tp/MaxBtn-3.bmp"),
                               size, Panel5_);
    NewImage19_ = pictureButton(
        QStringLiteral("NewImage19"),
        pictures("/tp/resBtn-1.bmp", "/tp/resBtn-2.bmp", "/tp/resBtn-3.bmp"), size, Panel5_);
    NewImage7_ = pictureButton(
        QStringLiteral("NewImage7"),
        pictures("/tp/CloseBtn-1.bmp", "/tp/CloseBtn-2.bmp", "/tp/CloseBtn-3.bmp"), size, Panel5_);
    NewImage9_->move(minimiseLeft, 0);
    NewImage8_->move(maximiseLeft, 0);
    NewImage19_->move(maximiseLeft, 0);
    NewImage7_->move(closeLeft, 0);
    NewImage19_->hide();
    connect(NewImage9_, &PictureButton::clicked, this, &QWidget::showMinimized);
    connect(NewImage8_, &PictureButton::clicked, this, &MainWindow::Image6Click);
    connect(NewImage19_, &PictureButton::clicked, this, &MainWindow::Image6Click);
    connect(NewImage7_, &PictureButton::clicked, this, &MainWindow::tcxtClick);
    return Panel5_;
}

QWidget* MainWindow::createToolBar() {
    ToolBar1_ = new QWidget(this);
    ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1_->setFixedHeight(64);
    auto* row = new QHBoxLayout(ToolBar1_);
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
    };
    for (const Tool& tool : tools) {
        const QSize size(row->count() == 0 ? 63 : 58, 64);
        row->addWidget(
            pictureButton(QString::fromLatin1(tool.name), tool.pictures, size, ToolBar1_));
    }
    const std::pair<const char*, void (MainWindow::*)()> actions[] = {
        {"gjst", &MainWindow::gjstClick},
        {"NewImage1", &MainWindow::NewImage1Click},
        {"NewImage20", &MainWindow::NewImage20Click},
    };
    for (const auto& [name, action] : actions)
        connect(ToolBar1_->findChild<PictureButton*>(QString::fromLatin1(name)),
                &PictureButton::clicked, this, action);

    auto* filler =
        new PicturePanel(QStringLiteral("Panel7"),
                         loadPicture(programFolder_, QStringLiteral("/tp/toolbar.jpg")), ToolBar1_);
    AdvOfficeImage3_ = new QLabel(filler);
    AdvOfficeImage3_->setObjectName(QStringLiteral("AdvOfficeImage3"));
    AdvOfficeImage3_->setPixmap(loadPicture(programFolder_, QStringLiteral("/tp/logo.png")));
    AdvOfficeImage3_->setFixedSize(206, 56);
    AdvOfficeImage3_->move(logoLeft, 4);
    row->addWidget(filler, 1);
    return ToolBar1_;
}

QWidget* MainWindow::createTreePanel() {
    Panel2_ = new QWidget(this);
    Panel2_->setObjectName(QStringLiteral("Panel2"));
    Panel2_->setMinimumWidth(120);
    auto* column = new QVBoxLayout(Panel2_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* header =
        new PicturePanel(QStringLiteral("Panel6"),
                         loadPicture(programFolder_, QStringLiteral("/tp/header.bmp")), Panel2_);
    header->setFixedHeight(30);
    Label3_ = transparentLabel(QStringLiteral("Label3"), collections::exerciseViewKey,
                               chineseFont(QStringLiteral("仿宋_GB2312"), 19, true),
                               QStringLiteral("rgb(0, 0, 255)"), header);
    Label3_->move(69, 3);
    column->addWidget(header);
    TreeView1_ = new ChapterTreeView(programFolder_, Panel2_);
    connect(TreeView1_, &QTreeWidget::itemClicked, this, &MainWindow::TreeView1Click);
    column->addWidget(TreeView1_, 1);
    return Panel2_;
}

QWidget* MainWindow::createPagePanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel3"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar =
        new PicturePanel(QStringLiteral("Panel4"),
                         loadPicture(programFolder_, QStringLiteral("/tp/pagebar.bmp")), panel);
    bar->setFixedHeight(31);
    const QSize wide(95, 25), narrow(76, 25);
    NewImage10_ =
        pictureButton(QStringLiteral("NewImage10"),
                      pictures("/tp/xsda-1.bmp", "/tp/xsda-2.bmp", "/tp/xsda-3.bmp"), wide, bar);
    NewImage16_ =
        pictureButton(QStringLiteral("NewImage16"),
                      pictures("/tp/ycda-1.bmp", "/tp/ycda-2.bmp", "/tp/ycda-3.bmp"), wide, bar);
    NewImage11_ =
        pictureButton(QStringLiteral("NewImage11"),
                      pictures("/tp/cxdt-1.bmp", "/tp/cxdt-2.bmp", "/tp/cxdt-3.bmp"), wide, bar);
    NewImage12_ =
        pictureButton(QStringLiteral("NewImage12"),
                      pictures("/tp/tjsj-1.bmp", "/tp/tjsj-2.bmp", "/tp/tjsj-3.bmp"), wide, bar);
    auto* larger =
        pictureButton(QStringLiteral("NewImage14"),
                      pictures("/tp/da-1.bmp", "/tp/da-2.bmp", "/tp/da-3.bmp"), narrow, bar);
    auto* smaller =
        pictureButton(QStringLiteral("NewImage15"),
                      pictures("/tp/xiao-1.bmp", "/tp/xiao-2.bmp", "/tp/xiao-3.bmp"), narrow, bar);
    NewImage17_ =
        pictureButton(QStringLiteral("NewImage17"),
                      pictures("/tp/qpxs-1.bmp", "/tp/qpxs-2.bmp", "/tp/qpxs-3.bmp"), narrow, bar);
    NewImage18_ =
        pictureButton(QStringLiteral("NewImage18"),
                      pictures("/tp/ckxs-1.bmp", "/tp/ckxs-2.bmp", "/tp/ckxs-3.bmp"), narrow, bar);
    NewImage10_->move(30, 3);
    NewImage16_->move(30, 3);
    NewImage11_->move(147, 2);
    NewImage12_->move(261, 1);
    larger->move(466, 2);
    smaller->move(561, 2);
    NewImage17_->move(648, 2);
    NewImage18_->move(648, 2);
    NewImage16_->hide();
    NewImage18_->hide();
    connect(NewImage10_, &PictureButton::clicked, this, &MainWindow::NewImage10Click);
    connect(NewImage11_, &PictureButton::clicked, this, &MainWindow::NewImage11Click);
    connect(NewImage12_, &PictureButton::clicked, this, &MainWindow::BitBtn1Click);
    connect(NewImage16_, &PictureButton::clicked, this, &MainWindow::NewImage16Click);
    connect(larger, &PictureButton::clicked, this, &MainWindow::SpeedButton2Click);
    connect(smaller, &PictureButton::clicked, this, &MainWindow::SpeedButton3Click);
    connect(NewImage17_, &PictureButton::clicked, this, &MainWindow::NewImage17Click);
    connect(NewImage18_, &PictureButton::clicked, this, &MainWindow::NewImage18Click);
    column->addWidget(bar);

    WebBrowser1_ = new web::HtmlView(panel);
    WebBrowser1_->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1_->setCursor(Qt::PointingHandCursor);
    connect(WebBrowser1_, &web::HtmlView::navigationIntercepted, this,
            &MainWindow::WebBrowser1BeforeNavigate2);
    column->addWidget(WebBrowser1_, 1);
    return panel;
}

QStatusBar* MainWindow::createStatusBar() {
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    status->setFixedHeight(19);
    status->setStyleSheet(QStringLiteral("QStatusBar { background: rgb(236, 241, 245); } "
                                         "QStatusBar::item { border: none; }"));
    for (int panel = 0; panel < 3; ++panel) {
        statusPanels_[panel] = new QLabel(status);
        statusPanels_[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        statusPanels_[panel]->setAlignment(Qt::AlignCenter);
        status->addWidget(statusPanels_[panel], panel == 1 ? 1 : 0);
    }
    statusPanels_[0]->setFixedWidth(255);
    statusPanels_[0]->setText(countResourceText);
    statusPanels_[1]->setText(QStringLiteral("Morrowquill 考试培训 · 服务热线 400-820-6618"));
    return status;
}

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
    FormActivate();
}

void MainWindow::FormCreate() {
    if (!isMaximized()) {
        const QRect screen = this->screen()->geometry();
        move(screen.width() / 2 - 512, screen.height() / 2 - 384);
    }
    skipAutoOpen_ = false;
    WebBrowser1_->setInterceptNavigation(false);
    // The bank's texts are a courtesy at creation: a bank that cannot be read
    // keeps the resource texts, and the first show reports why.
    try {
        bank_.open();
        const StartupTexts texts = readStartupTexts(bank_);
        Label4_->setText(texts.title);
        Label4_->adjustSize();
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
    FormShow();
    if (!shownBefore_) {
        shownBefore_ = true;
        FormActivate();
    }
}

void MainWindow::FormShow() {
    wasMaximised_ = false;
    reportingErrors([this] {
        bank_.reopen();
        layoutChanged_ = false;
        statusPanels_[2]->setText(
            QStringLiteral("现在的日期和时间是： ") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        BuildTree();
    });
}

void MainWindow::BuildTree() {
    TreeView1_->clearRows();
    nodeIds_.clear();
    bank_.reopen();
    buildChapterTree(bank_, collections::viewModeOfKey(viewKey_), [this](const TreeRow& row) {
        TreeView1_->addRow(row);
        nodeIds_.push_back(row.chapterId);
    });
    bank_.close();
}

void MainWindow::FormActivate() {
    if (!skipAutoOpen_ && !layoutChanged_) {
        TreeView1_->expandEveryNode();
        if (QTreeWidgetItem* item = TreeView1_->itemAt(2)) {
            TreeView1_->setCurrentItem(item);
            TreeView1Click();
            fontLevel_ = 2;
        }
    }
    skipAutoOpen_ = false;
}

void MainWindow::resetAnswerButtons() {
    NewImage16_->hide();
    NewImage10_->show();
}

void MainWindow::TreeView1Click() {
    QTreeWidgetItem* item = TreeView1_->currentItem();
    if (!item)
        return;
    const int level = ChapterTreeView::levelOf(item);
    if (item->childCount() == 0 && level == 1) {
        // Closing this message must not replace the page the user works on.
        skipAutoOpen_ = true;
        showMessage(QStringLiteral("本章节无试题!"));
        return;
    }
    WebBrowser1_->setInterceptNavigation(false);
    resetAnswerButtons();
    if (item->childCount() > 0 || level != 2) {
        WebBrowser1_->setInterceptNavigation(true);
        return;
    }
    // Rendering stops silently at a store failure and shows what it has.
    QStringList fragments;
    try {
        const int chapterId = nodeIds_[size_t(TreeView1_->positionOf(item))];
        if (const auto chapter = store::nodeById(bank_, chapterId)) {
            Label1_->setText(chapter->nodename);
            currentChapterId_ = QString::number(chapter->id);
            practice::buildChapterPage(bank_, chapter->id, collections::viewModeOfKey(viewKey_),
                                       fragments);
        }
    } catch (const store::StoreError&) {
    }
    bank_.close();
    WebBrowser1_->setTextZoom(1);
    WebBrowser1_->showPage(programFolder_ + QStringLiteral("ty.html"), fragments, [this](bool) {
        WebBrowser1_->setInterceptNavigation(true);
        emit pageShown();
    });
}

void MainWindow::WebBrowser1BeforeNavigate2(const QString& address) {
    skipAutoOpen_ = true;
    // The page navigates to "http://scbt" or "http://ctfk", the question's id and "/".
    bool numeric = false;
    const int questionId = address.mid(11).chopped(1).toInt(&numeric);
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

void MainWindow::favouriteToggle(int questionId) {
    bank_.reopen();
    const auto question = store::questionById(bank_, questionId);
    if (!question)
        throw store::StoreError(QStringLiteral("题库中没有编号为 %1 的试题。").arg(questionId));
    const bool wasFavourite = question->scbt == store::flagSet;
    store::setQuestionFlag(bank_, questionId, store::QuestionFlag::Favourite, !wasFavourite);
    bank_.close();
    showMessage(wasFavourite ? QStringLiteral("取消收藏！") : QStringLiteral("收藏成功！"));
    if (viewKey_ == collections::favouritesViewKey)
        NewImage1Click();
}

void MainWindow::errorReportPreview(int questionId) {
    TForm9_->prepare();
    bank_.reopen();
    const practice::QuestionPreview preview = practice::buildQuestionPreview(bank_, questionId);
    bank_.close();
    TForm9_->showQuestion(preview);
    WebBrowser1_->setTextZoom(1);
}

void MainWindow::BitBtn1Click() {
    skipAutoOpen_ = true;
    bool numeric = false;
    const int chapterId = currentChapterId_.toInt(&numeric);
    if (!numeric)
        return;
    const collections::ViewMode mode = collections::viewModeOfKey(viewKey_);
    WebBrowser1_->readControls([this, chapterId, mode](const web::ControlSnapshot& controls) {
        // A page that does not match the chapter, or a store failure, stops
        // grading silently; nothing has been written then.
        practice::GradingResult result;
        try {
            bank_.reopen();
            result = practice::gradeChapter(bank_, chapterId, mode, controls);
            bank_.close();
        } catch (const std::exception&) {
            bank_.close();
            return;
        }
        QStringList spans;
        for (int id : result.wrongQuestionIds)
            spans << QStringLiteral("fan%1").arg(id);
        WebBrowser1_->setColor(spans, QStringLiteral("red"));
        Button1Click();
    });
}

void MainWindow::Button1Click() {
    practice::ResultWindow TForm15(
        programFolder_,
        [this] {
            QStringList fragments;
            reportingErrors([&] { fragments = practice::scoreReportFragments(bank_); });
            return fragments;
        },
        [this] { NewImage10Click(); }, this);
    prompter_.showModal(TForm15);
    FormActivate();
    if (Label3_->text() == collections::wrongQuestionsViewKey)
        return;
    if (!prompter_.askYesNo(this, QStringLiteral("提示"),
                            QStringLiteral("您是否把这次的错题放到错题题库中？")))
        reportingErrors([this] {
            store::dropLastGradingFromWrongBank(bank_);
            bank_.close();
        });
}

void MainWindow::NewImage11Click() {
    if (!prompter_.confirm(this, QStringLiteral("提示"),
                           QStringLiteral("重新答题会清除当前所选的答案，是否继续？")))
        return;
    resetAnswerButtons();
    TreeView1Click();
}

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

void MainWindow::NewImage10Click() {
    NewImage10_->hide();
    NewImage16_->show();
    WebBrowser1_->runScript(answerButtonsScript(QStringLiteral("显示答案")));
}

void MainWindow::NewImage16Click() {
    NewImage16_->hide();
    NewImage10_->show();
    WebBrowser1_->runScript(answerButtonsScript(QStringLiteral("隐藏答案")));
}

void MainWindow::SpeedButton2Click() {
    ++fontLevel_;
    if (fontLevel_ < 12) {
        WebBrowser1_->setBodyFontSize(fontLevel_ + 14);
        return;
    }
    skipAutoOpen_ = true;
    showMessage(QStringLiteral("不能将字体设置过大！"));
}

void MainWindow::SpeedButton3Click() {
    --fontLevel_;
    if (fontLevel_ > 0) {
        WebBrowser1_->setBodyFontSize(fontLevel_ + 12);
        return;
    }
    fontLevel_ = 0;
    skipAutoOpen_ = true;
    showMessage(QStringLiteral("不能将字体设置过小！"));
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

void MainWindow::Image6Click() {
    const int notedWidth = width();
    if (isMaximized()) {
        NewImage8_->show();
        NewImage19_->hide();
        showNormal();
        NewImage9_->move(minimiseLeft, 0);
        NewImage8_->move(maximiseLeft, 0);
        NewImage7_->move(closeLeft, 0);
        AdvOfficeImage3_->move(logoLeft, AdvOfficeImage3_->y());
    } else {
        NewImage8_->hide();
        NewImage19_->show();
        showMaximized();
        const int screenWidth = screen()->availableGeometry().width();
        NewImage9_->move(screenWidth - minimiseFromRight, 0);
        NewImage19_->move(screenWidth - restoreFromRight, 0);
        NewImage7_->move(screenWidth - closeFromRight, 0);
        AdvOfficeImage3_->move(screenWidth - notedWidth + logoLeft, AdvOfficeImage3_->y());
    }
    layoutChanged_ = true;
}

void MainWindow::tcxtClick() {
    if (!prompter_.confirm(this, QStringLiteral("提示"), QStringLiteral("确定退出系统？")))
        return;
    bank_.close();
    QApplication::quit();
}

void MainWindow::NewImage17Click() {
    ToolBar1_->hide();
    Panel2_->hide();
    Panel5_->hide();
    NewImage18_->show();
    NewImage17_->hide();
    if (isMaximized()) {
        wasMaximised_ = true;
    } else {
        wasMaximised_ = false;
        Image6Click();
    }
}

void MainWindow::NewImage18Click() {
    NewImage17_->show();
    NewImage18_->hide();
    ToolBar1_->show();
    Panel2_->show();
    Panel5_->show();
    if (!wasMaximised_)
        Image6Click();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void MainWindow::FormClose() {
    bank_.close();
}

void MainWindow::startWindowMove() {
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    // The window's own surface, where no control covers it, drags the window.
    if (event->buttons() & Qt::LeftButton)
        startWindowMove();
    QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel5_) {
        if (event->type() == QEvent::MouseMove &&
            (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
            startWindowMove();
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            Image6Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace app
