#pragma once

#include "practice/page_builder.h"
#include "services/settings.h"

#include <QWidget>

class QCheckBox;
class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace web {
class HtmlView;
}

namespace widgets {
class Prompter;
}

namespace services {

class FeedbackSender;

// The error-report dialog: the reported question in its own view, ten fault
// categories, a note, and OK / Cancel. Created once, shown without blocking
// the main window, and reused for every report. OK sends the report to the
// feedback server in the background; the dialog closes once it has arrived.
// Until the server has answered, OK reads "正在发送……" and cannot be pressed.
class FeedbackDialog : public QWidget {
    Q_OBJECT

public:
    FeedbackDialog(const QString& programFolder, const QString& subjectName,
                   const FeedbackConnection& connection, widgets::Prompter& prompter,
                   QWidget* parent);

    // Empties the note, clears the boxes and shows the dialog.
    void prepare();
    // Renders the question and keeps it as the one being reported.
    void showQuestion(const practice::QuestionPreview& preview);

    qint64 reportedQuestionId() const { return reportedQuestionId_; }
    const QString& reportedQuestionText() const { return reportedQuestionText_; }
    // The view of the reported question, made when first asked for.
    web::HtmlView* view();

protected:
    void showEvent(QShowEvent* event) override;
    // Esc closes it as its cancel button does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void sendReport();
    void reportSent(bool delivered, const QString& error);

    QString programFolder_;
    QString subjectName_;
    widgets::Prompter& prompter_;
    FeedbackSender* sender_;
    QFrame* frame_;
    web::HtmlView* view_ = nullptr;
    QCheckBox* faultBoxes_[10] = {};
    QPlainTextEdit* noteEdit_;
    QPushButton* okButton_;
    qint64 reportedQuestionId_ = 0;
    QString reportedQuestionText_;
    // Which report the dialog shows, and which one is being sent: a report that
    // arrives after the next one was opened must not close the new one.
    int shownReport_ = 0;
    int sentReport_ = 0;
};

} // namespace services
