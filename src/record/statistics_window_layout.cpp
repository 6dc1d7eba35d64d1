// The statistics window's controls and where they sit.

#include "record/statistics_window.h"
#include "web/html_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace record {

namespace {

QTableWidget* table(const QString& name, const QStringList& headings, QWidget* parent) {
    auto* table = new QTableWidget(0, int(headings.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

// A chart's place: the chart, or the text saying what to do while it has nothing to show.
QStackedWidget* chartPlace(const QString& name, const QString& emptyText, QWidget* parent) {
    auto* place = new QStackedWidget(parent);
    place->setObjectName(name);
    auto* empty = new QLabel(emptyText, place);
    empty->setObjectName(name + QStringLiteral("Empty"));
    empty->setAlignment(Qt::AlignCenter);
    empty->setWordWrap(true);
    empty->setStyleSheet(QStringLiteral("color: #60707a; font-size: 15px;"));
    place->addWidget(empty);
    return place;
}

} // namespace

void StatisticsWindow::createControls() {
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral("学习统计"));
    setAccessibleName(QStringLiteral("学习统计"));
    resize(1000, 640);
    auto* column = new QVBoxLayout(this);

    summaryLabel_ = new QLabel(this);
    summaryLabel_->setObjectName(QStringLiteral("summaryLabel"));
    summaryLabel_->setTextFormat(Qt::PlainText);
    summaryLabel_->setWordWrap(true);
    summaryLabel_->setStyleSheet(QStringLiteral("font-size: 15px; font-weight: bold; "
                                                "color: #1d4f73; padding: 4px;"));
    column->addWidget(summaryLabel_);

    messageLabel_ = new QLabel(this);
    messageLabel_->setObjectName(QStringLiteral("messageLabel"));
    messageLabel_->setTextFormat(Qt::PlainText);
    messageLabel_->setWordWrap(true);
    messageLabel_->setStyleSheet(QStringLiteral("color: #b00000; padding: 4px;"));
    messageLabel_->hide();
    column->addWidget(messageLabel_);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("statisticsTabs"));
    tabs_->addTab(createChartsTab(), QStringLiteral("学习曲线"));
    tabs_->addTab(createChaptersTab(), QStringLiteral("按章节"));
    tabs_->addTab(createTypesTab(), QStringLiteral("按题型"));
    tabs_->addTab(createExamsTab(), QStringLiteral("考试记录"));
    column->addWidget(tabs_, 1);

    auto* buttons = new QHBoxLayout;
    drillButton_ = new QPushButton(QStringLiteral("薄弱环节练习"), this);
    drillButton_->setObjectName(QStringLiteral("weakPointDrillButton"));
    drillButton_->setToolTip(QStringLiteral("练习答错最多、此后还没有答对的题"));
    closeButton_ = new QPushButton(QStringLiteral("关闭"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setToolTip(QStringLiteral("关闭学习统计（Esc）"));
    buttons->addWidget(drillButton_);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    column->addLayout(buttons);

    connect(drillButton_, &QPushButton::clicked, this, &StatisticsWindow::weakPointDrillRequested);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
}

QWidget* StatisticsWindow::createChartsTab() {
    auto* tab = new QWidget(this);
    auto* column = new QVBoxLayout(tab);
    dayCharts_ = chartPlace(QStringLiteral("dayCharts"), noRecordText, tab);
    column->addWidget(dayCharts_, 3);
    examChart_ = chartPlace(QStringLiteral("examChart"), noExamText, tab);
    column->addWidget(examChart_, 2);
    return tab;
}

QWidget* StatisticsWindow::createChaptersTab() {
    chapterTable_ =
        table(QStringLiteral("chapterTable"),
              {QStringLiteral("章节"), QStringLiteral("已做/题量"), QStringLiteral("答题次数"),
               QStringLiteral("正确率"), QStringLiteral("最近练习")},
              this);
    chapterTable_->setAccessibleName(QStringLiteral("按章节统计"));
    chapterTable_->setToolTip(QStringLiteral("单击一章，在主窗口中打开它练习"));
    chapterTable_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    chapterTable_->horizontalHeader()->setStretchLastSection(false);
    connect(chapterTable_, &QTableWidget::cellClicked, this,
            [this](int row, int) { openChapterOfRow(row); });
    connect(chapterTable_, &QTableWidget::cellActivated, this,
            [this](int row, int) { openChapterOfRow(row); });
    return chapterTable_;
}

QWidget* StatisticsWindow::createTypesTab() {
    typeTable_ = table(QStringLiteral("typeTable"),
                       {QStringLiteral("题型"), QStringLiteral("答题数"), QStringLiteral("答对"),
                        QStringLiteral("正确率")},
                       this);
    typeTable_->setAccessibleName(QStringLiteral("按题型统计"));
    typeTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return typeTable_;
}

QWidget* StatisticsWindow::createExamsTab() {
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("examSplitter"));
    QStringList headings{QStringLiteral("考试时间"), QStringLiteral("用时")};
    for (int section = 0; section < sectionCount; ++section)
        headings << sectionTitle(section);
    headings << QStringLiteral("总分");
    examTable_ = table(QStringLiteral("examTable"), headings, splitter);
    examTable_->setAccessibleName(QStringLiteral("考试记录"));
    examTable_->setToolTip(QStringLiteral("单击一次考试，在下方查看它的试卷回顾"));
    examTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    reviewView_ = new web::HtmlView(splitter);
    reviewView_->setObjectName(QStringLiteral("examReviewView"));
    reviewView_->setAccessibleName(QStringLiteral("考试回顾"));
    splitter->addWidget(examTable_);
    splitter->addWidget(reviewView_);
    splitter->setChildrenCollapsible(false);
    reviewView_->setMinimumHeight(200);
    splitter->setSizes({170, 400});
    connect(examTable_, &QTableWidget::cellClicked, this,
            [this](int row, int) { openExamOfRow(row); });
    connect(examTable_, &QTableWidget::cellActivated, this,
            [this](int row, int) { openExamOfRow(row); });
    return splitter;
}

} // namespace record
