#pragma once

#include "practice/page_builder.h"

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;

namespace web {
class HtmlView;
}

namespace services {

// The error-report dialog: the reported question in its own view, ten fault
// categories, a note, and OK / Cancel. Created once, shown without blocking
// the main window, and reused for every report.
class FeedbackDialog : public QWidget {
    Q_OBJECT

public:
    FeedbackDialog(const QString& programFolder, QWidget* parent);

    // Empties the note, clears the boxes and shows the dialog.
    void prepare();
    // Renders the question and keeps it as the one being reported.
    void showQuestion(const practice::QuestionPreview& preview);

    qint64 reportedQuestionId() const { return reportedQuestionId_; }
    const QString& reportedQuestionText() const { return reportedQuestionText_; }
    web::HtmlView* view() const { return view_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString programFolder_;
    web::HtmlView* view_;
    QCheckBox* boxes_[10] = {};
    QPlainTextEdit* noteEdit_;
    qint64 reportedQuestionId_ = 0;
    QString reportedQuestionText_;
};

} // namespace services
