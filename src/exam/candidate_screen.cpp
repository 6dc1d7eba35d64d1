#include "exam/candidate_screen.h"

#include "exam/exam_room_widgets.h"
#include "exam/exam_settings.h"
#include "store/bank.h"
#include "widgets/prompter.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace exam {

namespace {

// Sample data of the form; nobody's real details.
const char* const candidateLines[][2] = {
    {"姓名：", "张三"},
    {"性别：", "男"},
    {"准考证号：", "00000001"},
    {"报考专业：", "测试专业"},
    {"报考级别：", "测试级别"},
    {"证件类型：", "身份证"},
    {"证件编号：", "000000000000000000"},
    {"所在考场：", "示例考点"},
    {"当前场次：", "测试场次"},
    {"所在试室：", "01教室"},
    {"所在单位：", "测试单位"},
};

constexpr int dataTop = 128, lineHeight = 28;

} // namespace

CandidateScreen::CandidateScreen(const QString& programFolder, const QString& dataFolder,
                                 widgets::Prompter& prompter, std::function<void(int)> openExam,
                                 QWidget* parent)
    : QDialog(parent)
    , bankPath_(store::Bank::pathIn(dataFolder))
    , prompter_(prompter)
    , openExam_(std::move(openExam)) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("考生信息"));
    screenWidth_ = coverScreen(*this, programFolder, QStringLiteral("/tp/exam-candidate-bg.jpg"));

    titleLabel_ = new QLabel(QStringLiteral("卫生专业技术资格考试"), this);
    titleLabel_->setObjectName(QStringLiteral("Label12"));
    titleLabel_->setTextFormat(Qt::PlainText);
    QFont titleFont = titleLabel_->font();
    titleFont.setPixelSize(32);
    titleFont.setBold(true);
    titleLabel_->setFont(titleFont);
    titleLabel_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    titleLabel_->adjustSize();
    photoPicture_ = pictureLabel(QStringLiteral("Image2"), programFolder,
                                 QStringLiteral("/tp/exam-photo.png"), {200, 250}, this);
    idCardPicture_ = pictureLabel(QStringLiteral("Image3"), programFolder,
                                  QStringLiteral("/tp/exam-id-card.png"), {200, 126}, this);
    infoPanel_ = pictureLabel(QStringLiteral("Image4"), programFolder,
                              QStringLiteral("/tp/exam-info-panel.png"), {440, 340}, this);

    QFont dataFont(QStringLiteral("华文仿宋"));
    dataFont.setPixelSize(19);
    int line = 1;
    for (const auto& [caption, value] : candidateLines) {
        auto* label = new QLabel(QString::fromUtf8(caption) + QString::fromUtf8(value), this);
        label->setObjectName(QStringLiteral("Label%1").arg(line++));
        label->setTextFormat(Qt::PlainText);
        label->setFont(dataFont);
        label->setStyleSheet(QStringLiteral("color: #10253f; background: transparent;"));
        label->adjustSize();
        dataLines_.push_back(label);
    }

    levelChoice_ = new QGroupBox(QStringLiteral("选择职称"), this);
    levelChoice_->setObjectName(QStringLiteral("RzRadioGroup1"));
    auto* levelColumn = new QVBoxLayout(levelChoice_);
    levels_ = new QButtonGroup(this);
    int index = 0;
    for (const char* level : {"正高级职称", "副高级职称"}) {
        auto* choice = new QRadioButton(QString::fromUtf8(level), levelChoice_);
        levels_->addButton(choice, index++);
        levelColumn->addWidget(choice);
    }
    levels_->button(associateSeniorLevel)->setChecked(true);
    levelChoice_->adjustSize();
    levelChoice_->hide();

    const QSize buttonSize(110, 40);
    demonstrationButton_ =
        pictureButton(QStringLiteral("SpeedButton3"), QStringLiteral("观看演示"), programFolder,
                      QStringLiteral("/tp/exam-demonstration.png"), buttonSize, this);
    logInAgainButton_ =
        pictureButton(QStringLiteral("SpeedButton1"), QStringLiteral("重新登录"), programFolder,
                      QStringLiteral("/tp/exam-log-in-again.png"), buttonSize, this);
    startButton_ =
        pictureButton(QStringLiteral("SpeedButton2"), QStringLiteral("开始考试"), programFolder,
                      QStringLiteral("/tp/exam-start.png"), buttonSize, this);
    demonstrationButton_->hide();
    connect(demonstrationButton_, &QPushButton::clicked, this,
            [this] { prompter_.message(this, QStringLiteral("该视频完善中~！！")); });
    connect(logInAgainButton_, &QPushButton::clicked, this, &QDialog::close);
    connect(startButton_, &QPushButton::clicked, this, &CandidateScreen::startExam);
    placeControls(screenWidth_);
}

int CandidateScreen::levelIndex() const {
    return levels_->checkedId();
}

void CandidateScreen::showEvent(QShowEvent* event) {
    placeControls(screenWidth_);
    QDialog::showEvent(event);
}

void CandidateScreen::placeControls(int screenWidth) {
    const int middle = screenWidth / 2;
    titleLabel_->move(middle - 328, 40);
    photoPicture_->move(middle - 328, 110);
    idCardPicture_->move(middle - 328, 380);
    infoPanel_->move(middle - 106, 110);
    for (size_t i = 0; i < dataLines_.size(); ++i)
        dataLines_[i]->move(middle - 86, dataTop + int(i) * lineHeight);
    levelChoice_->move(middle + 65, 460);
    demonstrationButton_->move(middle - 60, 470);
    logInAgainButton_->move(middle + 60, 470);
    startButton_->move(middle + 180, 470);
}

void CandidateScreen::startExam() {
    try {
        store::Bank bank(bankPath_);
        applyLevelToSingleChoiceCount(bank, levelIndex());
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
        return;
    }
    if (openExam_)
        openExam_(levelIndex());
}

} // namespace exam
