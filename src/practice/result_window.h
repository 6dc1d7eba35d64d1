#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QTimer;

namespace web {
class HtmlView;
}

namespace practice {

// The score window shown after grading: the score table in its own view above
// a close button. The table is built shortly after the window is shown (and
// again whenever the window becomes active), from `report`; `afterTable` runs
// once it is on screen.
class ResultWindow : public QDialog {
    Q_OBJECT

public:
    ResultWindow(const QString& programFolder, std::function<QStringList()> report,
                 std::function<void()> afterTable, QWidget* parent);

    web::HtmlView* view() const { return view_; }

signals:
    void tableShown();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fillScoreTable();

    QString programFolder_;
    std::function<QStringList()> report_;
    std::function<void()> afterTable_;
    web::HtmlView* view_;
    QTimer* tableTimer_;
};

} // namespace practice
