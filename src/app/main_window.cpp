#include "app/main_window.h"

#include "app/prompter.h"
#include "app/startup_texts.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace app {

namespace {} // namespace

MainWindow::MainWindow(const QString& programFolder, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent)
    , programFolder_(programFolder)
    , prompter_(prompter)
    , bank_(store::Bank::pathIn(programFolder)) {
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Morrowquill"));
    setStyleSheet(QStringLiteral("#TForm10 { background: rgb(0, 134, 143); }"));
    resize(1001, 545);

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(3, 3, 3, 0);
    column->setSpacing(0);
    column->addWidget(createTitleBar());

    auto* body = new QSplitter(Qt::Horizontal, client);
    body->setObjectName(QStringLiteral("Panel1"));
    TreeView1_ = new QTreeWidget(body);
    TreeView1_->setObjectName(QStringLiteral("TreeView1"));
    TreeView1_->setHeaderHidden(true);
    TreeView1_->setStyleSheet(QStringLiteral("background: rgb(232, 238, 249); border: none;"));
    auto* page = new QWidget(body);
    page->setObjectName(QStringLiteral("Panel3"));
    page->setStyleSheet(QStringLiteral("background: white;"));
    body->addWidget(TreeView1_);
    body->addWidget(page);
    body->setSizes({257, 744});
    column->addWidget(body, 1);
    setCentralWidget(client);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    for (int panel = 0; panel < 3; ++panel) {
        statusPanels_[panel] = new QLabel(status);
        statusPanels_[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        statusPanels_[panel]->setAlignment(Qt::AlignCenter);
        status->addWidget(statusPanels_[panel], panel == 1 ? 1 : 0);
    }
    statusPanels_[0]->setMinimumWidth(255);
    statusPanels_[0]->setText(countResourceText);
    statusPanels_[1]->setText(QStringLiteral("Morrowquill 考试培训 · 祝您考试顺利"));
    setStatusBar(status);

    FormCreate();
}

QWidget* MainWindow::createTitleBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Panel5"));
    bar->setFixedHeight(25);
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setStyleSheet(QStringLiteral(
        "#Panel5 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2f6fb8, "
        "stop:1 #1d4f8f); }"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(15, 0, 0, 0);
    Label4_ = new QLabel(titleResourceText, bar);
    Label4_->setObjectName(QStringLiteral("Label4"));
    QFont font(QStringList{QStringLiteral("楷体_GB2312"), QStringLiteral("AR PL UKai CN"),
                           QStringLiteral("Noto Serif CJK SC"),
                           QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(17);
    font.setBold(true);
    Label4_->setFont(font);
    Label4_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    row->addWidget(Label4_);
    row->addStretch();
    return bar;
}

QString MainWindow::statusPanelText(int panel) const {
    return statusPanels_[panel]->text();
}

void MainWindow::FormCreate() {
    if (!isMaximized()) {
        const QRect screen = this->screen()->geometry();
        move(screen.width() / 2 - 512, screen.height() / 2 - 384);
    }
    // The bank's texts are a courtesy at creation: a bank that cannot be read
    // keeps the resource texts, and the first show reports why.
    try {
        bank_.open();
        const StartupTexts texts = readStartupTexts(bank_);
        Label4_->setText(texts.title);
        statusPanels_[0]->setText(texts.questionCount);
        subjectFolder_ = texts.subjectFolder;
        updateInfoUrl_ = texts.updateInfoUrl;
        bank_.close();
    } catch (const store::StoreError&) {
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void MainWindow::FormShow() {
    try {
        bank_.reopen();
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
    }
    statusPanels_[2]->setText(
        QStringLiteral("现在的日期和时间是： ") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

} // namespace app
