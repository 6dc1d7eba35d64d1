// The main window's controls and where they sit.

#include "app/chapter_tree_view.h"
#include "app/main_window.h"
#include "app/startup_texts.h"
#include "web/html_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace app {

namespace {

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

} // namespace

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

} // namespace app
