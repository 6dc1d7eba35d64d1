#include "services/feedback_dialog.h"

#include "services/feedback_sender.h"
#include "web/html_view.h"
#include "widgets/prompter.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdio>

namespace services {

namespace {

const char* const categories[10] = {
    "试题图片不显示",   "试题不在考试大纲范围内", "试题不属于本学科",   "试题过于陈旧",
    "试题有错别字",     "解题思路与题干不符",     "解题思路图片不显示", "解题思路与答案相互矛盾",
    "解题思路有错别字", "试题与其他试题重复",
};

QLabel* caption(const QString& text, QPoint place, QWidget* parent, bool strong) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(strong ? QStringLiteral("color: #005f68; font-weight: bold;")
                                : QStringLiteral("color: #3b5560;"));
    label->move(place);
    label->adjustSize();
    return label;
}

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
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#TForm9 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                 "stop:0 #f4f9fb, stop:1 #dde9f0); }"));

    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(8, 8, 980, 287);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    view_ = new web::HtmlView(frame);
    view_->setObjectName(QStringLiteral("WebBrowser1"));
    view_->setCursor(Qt::PointingHandCursor);
    frameLayout->addWidget(view_);

    caption(QStringLiteral("其他错误反馈"), {21, 300}, this, true);
    for (int i = 0; i < 10; ++i) {
        faultBoxes_[i] = new QCheckBox(QString::fromUtf8(categories[i]), this);
        faultBoxes_[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        faultBoxes_[i]->move(i < 5 ? 21 : 259, 322 + 24 * (i % 5));
        faultBoxes_[i]->adjustSize();
    }
    caption(QStringLiteral("错误的附加说明"), {489, 300}, this, true);
    noteEdit_ = new QPlainTextEdit(this);
    noteEdit_->setObjectName(QStringLiteral("Memo1"));
    noteEdit_->setFrameShape(QFrame::NoFrame);
    noteEdit_->setGeometry(489, 320, 489, 113);
    caption(QStringLiteral("感谢您的反馈！我们会尽快处理您报告的问题，并在定期更新中改正。"),
            {21, 446}, this, false);

    okButton_ = new QPushButton(QStringLiteral("确 定"), this);
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

void FeedbackDialog::prepare() {
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
    view_->showPage(programFolder_ + QStringLiteral("ty.html"), preview.fragments);
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
    okButton_->setEnabled(false);
}

void FeedbackDialog::reportSent(bool delivered, const QString& error) {
    okButton_->setEnabled(true);
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
