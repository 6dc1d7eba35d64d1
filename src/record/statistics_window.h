#pragma once

#include "record/statistics.h"
#include "store/bank.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableWidget;

namespace web {
class HtmlView;
}

namespace record {

inline const QString noRecordText = QStringLiteral("还没有练习记录，先去做一章题吧");
inline const QString noExamText =
    QStringLiteral("还没有模拟考试记录，去“模拟考场”考一次吧（60% 为及格线）");

// 学习统计: the summary line, the chapters (weakest first) and the four
// sections, the charts of the last days and of the exams, and the past exams
// with the review of each. Every figure is read from the record when the
// window is filled; the window keeps nothing of it.
class StatisticsWindow : public QWidget {
    Q_OBJECT

public:
    StatisticsWindow(const QString& programFolder, const QString& bankPath,
                     QWidget* parent = nullptr);

    // Reads the figures again and shows them; a store failure is shown in the
    // window's message line.
    void refresh();
    const Statistics& statistics() const { return statistics_; }
    // Shows the review of a past exam of the list.
    void showExamReview(qint64 sittingId);
    web::HtmlView* reviewView() const { return reviewView_; }

signals:
    // The user chose a chapter to practise: the main window opens it.
    void chapterRequested(qint64 chapterId);
    // The user asked for the practice of the questions answered wrong most.
    void weakPointDrillRequested();
    // A past exam's review is on screen.
    void examReviewShown(qint64 sittingId);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    QWidget* createChartsTab();
    QWidget* createChaptersTab();
    QWidget* createTypesTab();
    QWidget* createExamsTab();
    void fillSummary();
    void fillChapters();
    void fillTypes();
    void fillCharts();
    void fillExams();
    void openChapterOfRow(int row);
    void openExamOfRow(int row);

    QString programFolder_;
    store::Bank bank_;
    Statistics statistics_;

    QLabel* summaryLabel_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QStackedWidget* dayCharts_ = nullptr;
    QStackedWidget* examChart_ = nullptr;
    QTableWidget* chapterTable_ = nullptr;
    QTableWidget* typeTable_ = nullptr;
    QTableWidget* examTable_ = nullptr;
    web::HtmlView* reviewView_ = nullptr;
    QPushButton* drillButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

} // namespace record
