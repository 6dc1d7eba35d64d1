#include "services/feedback_dialog.h"

#include "services/feedback_dialog_captions.h"
#include "services/feedback_sender.h"
#include "web/html_view.h"
#include "widgets/picture_button.h"
#include "widgets/prompter.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdio>

namespace services {

namespace {

const QString okCaption = QStringLiteral("确 定");
const QString sendingCaption = QStringLiteral("正在发送……");

// A check box whose caption is part of the dialog's picture: the box covers
// the caption, and a click anywhere on it toggles it.
class CaptionCoveringBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace

FeedbackDialog::FeedbackDialog(const QString& programFolder, const QString& subjectName,
                               const FeedbackConnection& connection, widgets::Prompter& prompter,
                               QWidget* parent)
    : QWidget(parent, Qt::Window)
    , programFolder_(programFolder)
    , subjectName_(subjectName)
    , prompter_(prompter)
    , sender_(new FeedbackSender(connection, this)) {
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("错题反馈"));
    resize(1005, 557);
    const QPixmap background =
        widgets::loadPicture(programFolder, QStringLiteral("tp/feedback-bg.png"));
    auto* backgroundLabel = new QLabel(this);
    backgroundLabel->setPixmap(background);
    backgroundLabel->setGeometry(0, 0, 1005, 557);

    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(8, 8, 980, 287);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frame_ = frame;

    for (int i = 0; i < 10; ++i) {
        const QString category = QString::fromUtf8(faultCategories[i]);
        faultBoxes_[i] = new CaptionCoveringBox(this);
        faultBoxes_[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        faultBoxes_[i]->setAccessibleName(category);
        faultBoxes_[i]->setGeometry(faultCategoryArea(i));
        // Without its picture the dialog would show ten boxes nobody can tell apart.
        if (background.isNull())
            faultBoxes_[i]->setText(category);
    }
    noteEdit_ = new QPlainTextEdit(this);
    noteEdit_->setObjectName(QStringLiteral("Memo1"));
    noteEdit_->setFrameShape(QFrame::NoFrame);
    noteEdit_->setGeometry(489, 320, 489, 113);

    okButton_ = new QPushButton(okCaption, this);
    okButton_->setObjectName(QStringLiteral("Button1"));
    okButton_->setGeometry(410, 474, 96, 31);
    connect(okButton_, &QPushButton::clicked, this, &FeedbackDialog::sendReport);
    connect(sender_, &FeedbackSender::finished, this, &FeedbackDialog::reportSent);
    auto* cancel = new QPushButton(QStringLiteral("取 消"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(522, 474, 96, 31);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void FeedbackDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    const QRect screen = this->screen()->geometry();
    move(screen.width() / 2 - 512, screen.height() / 2 - 384);
}

void FeedbackDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

web::HtmlView* FeedbackDialog::view() {
    // Made when first needed: a page of the embedded browser costs the
    // program's start a good part of a second.
    if (!view_) {
        view_ = new web::HtmlView(frame_);
        view_->setObjectName(QStringLiteral("WebBrowser1"));
        view_->setCursor(Qt::PointingHandCursor);
        frame_->layout()->addWidget(view_);
    }
    return view_;
}

void FeedbackDialog::prepare() {
    view();
    ++shownReport_;
    noteEdit_->clear();
    for (QCheckBox* box : faultBoxes_)
        box->setChecked(false);
    show();
    raise();
}

void FeedbackDialog::showQuestion(const practice::QuestionPreview& preview) {
    if (preview.questionId != 0) {
        reportedQuestionId_ = preview.questionId;
        reportedQuestionText_ = preview.questionText;
    }
    view()->showPage(programFolder_ + QStringLiteral("ty.html"), preview.fragments);
}

void FeedbackDialog::sendReport() {
    store::FeedbackRow row{subjectName_,
                           QString::number(reportedQuestionId_),
                           reportedQuestionText_,
                           {},
                           noteEdit_->toPlainText()};
    for (std::size_t i = 0; i < row.faults.size(); ++i)
        row.faults[i] = faultBoxes_[i]->isChecked();
    if (!sender_->send(row))
        return;
    sentReport_ = shownReport_;
    // Until the server has answered, a second OK could send the report twice.
    okButton_->setEnabled(false);
    okButton_->setText(sendingCaption);
}

void FeedbackDialog::reportSent(bool delivered, const QString& error) {
    okButton_->setEnabled(true);
    okButton_->setText(okCaption);
    if (!delivered) {
        std::fprintf(stderr, "morrowquill: %s\n", qUtf8Printable(error));
        prompter_.message(this, QStringLiteral("反馈失败！"));
        return;
    }
    prompter_.message(this, QStringLiteral("您的问题已经反馈成功，谢谢您的反馈！"));
    if (sentReport_ == shownReport_)
        close();
}

} // namespace services
