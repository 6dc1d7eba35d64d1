// The exam window's controls and where they sit, at the design size 1027 × 717.

#include "exam/exam_room_widgets.h"
#include "exam/exam_window.h"
#include "web/html_view.h"
#include "widgets/day_and_night.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace exam {

namespace {

// The bars' grounds by day, and their dark counterparts for night mode.
QString cream() {
    return widgets::isNight() ? QStringLiteral("#22272b") : QStringLiteral("rgb(255, 251, 240)");
}
QString skyBlue() {
    return widgets::isNight() ? QStringLiteral("#1d2a36") : QStringLiteral("rgb(166, 202, 240)");
}

QLabel* plainLabel(const QString& name, const QString& text, QWidget* parent, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    if (!name.isEmpty())
        label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(13);
    font.setBold(bold);
    label->setFont(font);
    label->adjustSize();
    return label;
}

QFrame* swatch(const QString& colour, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFixedSize(25, 17);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setStyleSheet(QStringLiteral("background: %1;").arg(colour));
    return frame;
}

} // namespace

QWidget* ExamWindow::createInformationBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Panel1"));
    bar->setFixedHeight(88);
    bar->setStyleSheet(QStringLiteral("#Panel1 { background: %1; }").arg(cream()));
    bar->setAttribute(Qt::WA_StyledBackground);
    auto* box = new QGroupBox(QStringLiteral("考场信息"), bar);
    box->setObjectName(QStringLiteral("GroupBox1"));
    QFont font = box->font();
    font.setPixelSize(16);
    font.setBold(true);
    box->setFont(font);
    auto* lines = new QVBoxLayout(box);
    lines->setContentsMargins(16, 4, 16, 4);
    lines->setSpacing(2);
    // Sample data of the form; nobody's real details.
    const char* texts[] = {"所在教室：01教室　　　当前场次：示例考点　　　座位号：0001号",
                           "姓名：张三　　　准考证号：0000001　　　包括专业：测试专业"};
    for (const char* text : texts) {
        auto* line = new QLabel(QString::fromUtf8(text), box);
        line->setTextFormat(Qt::PlainText);
        QFont lineFont = line->font();
        lineFont.setPixelSize(16);
        lineFont.setBold(false);
        line->setFont(lineFont);
        lines->addWidget(line);
    }
    auto* layout = new QVBoxLayout(bar);
    layout->setContentsMargins(8, 2, 8, 4);
    layout->addWidget(box);
    return bar;
}

QWidget* ExamWindow::createBottomBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("Panel2"));
    bar->setFixedHeight(132);
    bar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->setStyleSheet(QStringLiteral("#Panel2 { background: %1; }").arg(skyBlue()));
    const QSize buttonSize(113, 45);
    const QString folder = context_.programFolder;
    previousButton_ = pictureButton(QStringLiteral("BitBtn1"), QStringLiteral("上一题"), folder,
                                    QStringLiteral("/tp/exam-previous.png"), buttonSize, bar);
    nextButton_ = pictureButton(QStringLiteral("BitBtn2"), QStringLiteral("下一题"), folder,
                                QStringLiteral("/tp/exam-next.png"), buttonSize, bar);
    calculatorButton_ = pictureButton(QStringLiteral("BitBtn3"), QStringLiteral("计算器"), folder,
                                      QStringLiteral("/tp/exam-calculator.png"), buttonSize, bar);
    handInButton_ = pictureButton(QStringLiteral("BitBtn5"), QStringLiteral("交卷"), folder,
                                  QStringLiteral("/tp/exam-hand-in.png"), buttonSize, bar);
    helpButton_ = pictureButton(QStringLiteral("BitBtn4"), QStringLiteral("帮助"), folder,
                                QStringLiteral("/tp/exam-help.png"), buttonSize, bar);
    previousButton_->move(30, 23);
    nextButton_->move(178, 23);
    calculatorButton_->move(326, 23);
    handInButton_->move(474, 23);
    helpButton_->move(474, 23);
    helpButton_->hide();

    auto* rule = new QFrame(bar);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    rule->setGeometry(8, 88, 760, 2);

    const int line = 100;
    plainLabel({}, QStringLiteral("考试总时间是90分钟，剩余时间是："), bar)->move(27, line);
    remainingMinutesLabel_ = plainLabel(QStringLiteral("Label9"), QStringLiteral("90"), bar, true);
    remainingMinutesLabel_->setFixedWidth(30);
    remainingMinutesLabel_->move(288, line);
    plainLabel({}, QStringLiteral("分钟"), bar)->move(320, line);
    plainLabel({}, QStringLiteral("总题数："), bar)->move(417, line);
    progressBar_ = new QProgressBar(bar);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setAccessibleName(QStringLiteral("答题进度"));
    progressBar_->setGeometry(474, line - 3, 205, 21);
    progressBar_->setTextVisible(false);
    // Until a paper is drawn the bar is empty, not busy.
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    // Room for four digits, right-aligned against the total that follows.
    answeredCountLabel_ = plainLabel(QStringLiteral("Label6"), QStringLiteral("0"), bar);
    answeredCountLabel_->setFixedWidth(
        answeredCountLabel_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 2);
    answeredCountLabel_->setAlignment(Qt::AlignRight);
    answeredCountLabel_->move(688, line);
    totalCountLabel_ = plainLabel(QStringLiteral("Label5"), QStringLiteral("/0"), bar);
    totalCountLabel_->setFixedWidth(
        totalCountLabel_->fontMetrics().horizontalAdvance(QStringLiteral("/0000")) + 2);
    totalCountLabel_->move(answeredCountLabel_->geometry().right() + 1, line);
    return bar;
}

QWidget* ExamWindow::createAnswerSheetColumn() {
    answerSheet_ = new QScrollArea(this);
    answerSheet_->setObjectName(QStringLiteral("ScrollBox1"));
    answerSheet_->setFixedWidth(247);
    answerSheet_->setFrameShape(QFrame::NoFrame);
    answerSheet_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    answerSheet_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    answerSheet_->setStyleSheet(
        QStringLiteral("QScrollArea, #AnswerSheetCells { background: %1; }").arg(skyBlue()));
    answerSheetCells_ = new QWidget;
    answerSheetCells_->setObjectName(QStringLiteral("AnswerSheetCells"));
    answerSheetCells_->setFixedSize(230, 100);
    struct Legend {
        QString colour;
        int swatchLeft;
        QLabel** label;
        const char* name;
        const char* text;
    };
    const bool night = widgets::isNight();
    const Legend legends[] = {
        {cellFill(CellColour::Answered, night), 31, &answeredLegendLabel_, "Label1", "已答"},
        {cellFill(CellColour::Current, night), 98, &currentLegendLabel_, "Label2", "在答"},
        {palette().color(QPalette::Button).name(), 167, &unansweredLegendLabel_, "Label3", "未答"},
    };
    for (const Legend& legend : legends) {
        swatch(legend.colour, answerSheetCells_)->move(legend.swatchLeft, 23);
        *legend.label = plainLabel(QString::fromLatin1(legend.name), QString::fromUtf8(legend.text),
                                   answerSheetCells_, true);
        (*legend.label)->move(legend.swatchLeft + 28, 23);
    }
    answerSheet_->setWidget(answerSheetCells_);
    return answerSheet_;
}

} // namespace exam
