#include "record/statistics_window.h"

#include "record/exam_review.h"
#include "web/html_view.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QTableWidget>
#include <QValueAxis>

namespace record {

namespace {

// A cell sorted by a key of its own rather than by its text.
class KeyedItem : public QTableWidgetItem {
public:
    KeyedItem(const QString& text, double key)
        : QTableWidgetItem(text) {
        setData(Qt::UserRole, key);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

constexpr int idRole = Qt::UserRole + 1;
const QString never = QStringLiteral("—");

QString percentText(std::optional<int> percent) {
    return percent ? QStringLiteral("%1%").arg(*percent) : never;
}

void setRow(QTableWidget* table, int row, const std::vector<QTableWidgetItem*>& items) {
    for (size_t column = 0; column < items.size(); ++column) {
        if (column > 0)
            items[column]->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, int(column), items[column]);
    }
}

QChartView* chartView(QChart* chart, const QString& name, QWidget* parent) {
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(chart->title());
    return view;
}

// The days' axis: a label every fifteen days, the last one today.
QCategoryAxis* dayAxis(const std::vector<DayFigures>& days) {
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(-0.5, double(days.size()) - 0.5);
    for (size_t k = days.size() % 15 == 0 ? 14 : days.size() % 15 - 1; k < days.size(); k += 15)
        axis->append(days[k].day.toString(QStringLiteral("MM-dd")), double(k));
    return axis;
}

QValueAxis* percentAxis() {
    auto* axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setTickCount(6);
    axis->setLabelFormat(QStringLiteral("%d%%"));
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    if (!chart->axes().contains(x))
        chart->addAxis(x, Qt::AlignBottom);
    if (!chart->axes().contains(y))
        chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

// A line and its points in one colour, set once the chart's theme has coloured them.
void paint(QLineSeries* line, QScatterSeries* dots, const QColor& colour) {
    QPen pen(colour);
    pen.setWidth(2);
    line->setPen(pen);
    dots->setColor(colour);
    dots->setBorderColor(colour);
}

QChart* accuracyChart(const std::vector<DayFigures>& days) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("每日正确率（近%1天）").arg(chartDays));
    auto* line = new QLineSeries;
    auto* dots = new QScatterSeries;
    dots->setMarkerSize(6);
    for (size_t k = 0; k < days.size(); ++k) {
        if (const auto percent = accuracyPercent(days[k].answered, days[k].right)) {
            line->append(double(k), *percent);
            dots->append(double(k), *percent);
        }
    }
    QCategoryAxis* x = dayAxis(days);
    QValueAxis* y = percentAxis();
    attach(chart, line, x, y);
    attach(chart, dots, x, y);
    paint(line, dots, QColor(0x2a, 0x9d, 0x8f));
    return chart;
}

QChart* answeredChart(const std::vector<DayFigures>& days) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("每日答题数（近%1天）").arg(chartDays));
    auto* set = new QBarSet(QStringLiteral("答题数"));
    qint64 most = 0;
    for (const DayFigures& day : days) {
        set->append(double(day.answered));
        most = std::max(most, day.answered);
    }
    auto* bars = new QBarSeries;
    bars->setBarWidth(0.8);
    bars->append(set);
    auto* y = new QValueAxis;
    y->setRange(0, double(std::max<qint64>(most, 5)));
    y->setLabelFormat(QStringLiteral("%d"));
    y->applyNiceNumbers();
    attach(chart, bars, dayAxis(days), y);
    set->setColor(QColor(0x3d, 0x85, 0xc6));
    set->setBorderColor(QColor(0x3d, 0x85, 0xc6));
    return chart;
}

QChart* examChart(const std::vector<ExamFigures>& exams) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("模拟考试成绩（红线为 60% 及格线）"));
    auto* scores = new QLineSeries;
    auto* dots = new QScatterSeries;
    dots->setMarkerSize(7);
    for (size_t k = 0; k < exams.size(); ++k) {
        scores->append(double(k + 1), exams[k].scorePercent);
        dots->append(double(k + 1), exams[k].scorePercent);
    }
    auto* pass = new QLineSeries;
    pass->setName(QStringLiteral("及格线"));
    pass->append(0.5, 60);
    pass->append(double(exams.size()) + 0.5, 60);
    auto* x = new QValueAxis;
    x->setRange(0.5, double(exams.size()) + 0.5);
    x->setLabelFormat(QStringLiteral("%d"));
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(1);
    x->setTickInterval(std::max(1.0, std::ceil(double(exams.size()) / 10.0)));
    x->setTitleText(QStringLiteral("第几次考试"));
    QValueAxis* y = percentAxis();
    attach(chart, pass, x, y);
    QPen passPen(QColor(0xd0, 0x10, 0x10));
    passPen.setStyle(Qt::DashLine);
    passPen.setWidth(2);
    pass->setPen(passPen);
    attach(chart, scores, x, y);
    attach(chart, dots, x, y);
    paint(scores, dots, QColor(0x3d, 0x85, 0xc6));
    return chart;
}

// Shows `chart` in `place` instead of the one shown before, or the place's
// empty text when there is none.
void showChart(QStackedWidget* place, QWidget* chart) {
    while (place->count() > 1) {
        QWidget* old = place->widget(1);
        place->removeWidget(old);
        old->deleteLater();
    }
    if (chart) {
        place->addWidget(chart);
        place->setCurrentIndex(1);
    } else {
        place->setCurrentIndex(0);
    }
}

} // namespace

StatisticsWindow::StatisticsWindow(const QString& programFolder, const QString& bankPath,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window)
    , programFolder_(programFolder)
    , bank_(bankPath) {
    createControls();
}

void StatisticsWindow::refresh() {
    messageLabel_->hide();
    try {
        statistics_ = readStatistics(bank_, QDate::currentDate());
        if (statistics_.state == RecordState::Unusable) {
            messageLabel_->setText(statistics_.message);
            messageLabel_->show();
        }
    } catch (const store::StoreError& error) {
        statistics_ = {};
        statistics_.state = RecordState::Unusable;
        messageLabel_->setText(error.message());
        messageLabel_->show();
    }
    bank_.close();
    fillSummary();
    fillChapters();
    fillTypes();
    fillCharts();
    fillExams();
    drillButton_->setEnabled(statistics_.state == RecordState::Ready);
}

void StatisticsWindow::fillSummary() {
    const Summary& s = statistics_.summary;
    if (statistics_.state != RecordState::Ready) {
        summaryLabel_->setText(noRecordText);
        return;
    }
    QString text = QStringLiteral("累计答题 %1 道 · 正确率 %2 · 学习 %3 天 · 连续学习 %4 天 · "
                                  "模拟考试 %5 次")
                       .arg(s.answered)
                       .arg(percentText(accuracyPercent(s.answered, s.right)))
                       .arg(s.daysStudied)
                       .arg(s.streakDays)
                       .arg(s.examsSat);
    if (s.bestExamScore)
        text += QStringLiteral(" · 最高分 %1% · 最近一次 %2%")
                    .arg(*s.bestExamScore)
                    .arg(s.lastExamScore.value_or(0));
    summaryLabel_->setText(text);
}

void StatisticsWindow::fillChapters() {
    chapterTable_->setSortingEnabled(false);
    chapterTable_->clearContents();
    chapterTable_->setRowCount(int(statistics_.chapters.size()));
    int row = 0;
    for (const ChapterFigures& chapter : statistics_.chapters) {
        auto* name = new QTableWidgetItem(chapter.name);
        name->setData(idRole, chapter.chapterId);
        name->setToolTip(QStringLiteral("单击在主窗口中打开“%1”").arg(chapter.name));
        const double covered = chapter.questions > 0
                                   ? double(chapter.questionsAnswered) / double(chapter.questions)
                                   : 0;
        setRow(
            chapterTable_, row,
            {name,
             new KeyedItem(
                 QStringLiteral("%1/%2").arg(chapter.questionsAnswered).arg(chapter.questions),
                 covered),
             new KeyedItem(QString::number(chapter.answers), double(chapter.answers)),
             // Weakest first is the order the figures come in.
             new KeyedItem(percentText(chapter.accuracy()), row),
             new KeyedItem(chapter.lastPractised.isValid()
                               ? chapter.lastPractised.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                               : never,
                           chapter.lastPractised.isValid()
                               ? double(chapter.lastPractised.toSecsSinceEpoch())
                               : -1.0)});
        ++row;
    }
    chapterTable_->setSortingEnabled(true);
    chapterTable_->sortByColumn(3, Qt::AscendingOrder);
    chapterTable_->resizeColumnsToContents();
    chapterTable_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
}

void StatisticsWindow::fillTypes() {
    typeTable_->clearContents();
    typeTable_->setRowCount(int(statistics_.types.size()));
    int row = 0;
    for (const TypeFigures& type : statistics_.types) {
        setRow(typeTable_, row++,
               {new QTableWidgetItem(type.heading),
                new QTableWidgetItem(QString::number(type.answered)),
                new QTableWidgetItem(QString::number(type.right)),
                new QTableWidgetItem(percentText(accuracyPercent(type.answered, type.right)))});
    }
}

void StatisticsWindow::fillCharts() {
    QWidget* days = nullptr;
    if (statistics_.state == RecordState::Ready) {
        days = new QWidget;
        auto* row = new QHBoxLayout(days);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(
            chartView(accuracyChart(statistics_.days), QStringLiteral("accuracyChart"), days));
        row->addWidget(
            chartView(answeredChart(statistics_.days), QStringLiteral("answeredChart"), days));
    }
    showChart(dayCharts_, days);
    showChart(examChart_, statistics_.exams.empty()
                              ? nullptr
                              : chartView(examChart(statistics_.exams),
                                          QStringLiteral("examScoreChart"), nullptr));
}

void StatisticsWindow::fillExams() {
    examTable_->clearContents();
    examTable_->setRowCount(int(statistics_.exams.size()));
    int row = 0;
    // Newest first.
    for (auto exam = statistics_.exams.rbegin(); exam != statistics_.exams.rend(); ++exam) {
        auto* when =
            new QTableWidgetItem(exam->finishedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        when->setData(idRole, exam->sittingId);
        std::vector<QTableWidgetItem*> items{when,
                                             new QTableWidgetItem(durationText(exam->durationMs))};
        for (const SectionScore& section : exam->sections)
            items.push_back(new QTableWidgetItem(
                section.questions == 0
                    ? never
                    : QStringLiteral("%1/%2").arg(section.right).arg(section.questions)));
        auto* total = new QTableWidgetItem(QStringLiteral("%1%").arg(exam->scorePercent));
        total->setForeground(exam->scorePercent >= 60 ? QColor(0x1b, 0x7f, 0x3b)
                                                      : QColor(0xd0, 0x10, 0x10));
        items.push_back(total);
        setRow(examTable_, row++, items);
    }
}

void StatisticsWindow::openChapterOfRow(int row) {
    if (const QTableWidgetItem* item = chapterTable_->item(row, 0))
        emit chapterRequested(item->data(idRole).toLongLong());
}

void StatisticsWindow::openExamOfRow(int row) {
    if (const QTableWidgetItem* item = examTable_->item(row, 0))
        showExamReview(item->data(idRole).toLongLong());
}

void StatisticsWindow::showExamReview(qint64 sittingId) {
    QStringList fragments;
    try {
        fragments = examReviewFragments(bank_, sittingId);
    } catch (const store::StoreError& error) {
        fragments = {QStringLiteral("<p>") + error.message().toHtmlEscaped() +
                     QStringLiteral("</p>")};
    }
    bank_.close();
    reviewView_->showPage(programFolder_ + QStringLiteral("ty.html"), fragments,
                          [this, sittingId](bool) { emit examReviewShown(sittingId); });
}

void StatisticsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace record
