#include "exam/exam_login_screen.h"

#include "exam/exam_room_widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace exam {

namespace {

QLabel* textLabel(const QString& name, const QString& text, int pixelSize, const QString& colour,
                  QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    label->adjustSize();
    return label;
}

} // namespace

ExamLoginScreen::ExamLoginScreen(const QString& programFolder, std::function<void()> enterRoom,
                                 QWidget* parent)
    : QDialog(parent)
    , enterRoom_(std::move(enterRoom)) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("考生登录"));
    screenWidth_ = coverScreen(*this, programFolder, QStringLiteral("/tp/exam-login-bg.jpg"));
    titleLabel_ = textLabel(QStringLiteral("Label1"), QStringLiteral("卫生专业技术资格考试"), 32,
                            QStringLiteral("white"), this);
    bannerPicture_ = pictureLabel(QStringLiteral("Image2"), programFolder,
                                  QStringLiteral("/tp/exam-login-banner.png"), {606, 150}, this);
    leftPicture_ = pictureLabel(QStringLiteral("Image3"), programFolder,
                                QStringLiteral("/tp/exam-login-left.png"), {293, 150}, this);
    rightPicture_ = pictureLabel(QStringLiteral("Image4"), programFolder,
                                 QStringLiteral("/tp/exam-login-right.png"), {293, 150}, this);
    admissionLabel_ = textLabel(QStringLiteral("Label2"), QStringLiteral("准考证号："), 16,
                                QStringLiteral("white"), this);
    admissionEdit_ = new QLineEdit(QStringLiteral("00000000001"), this);
    admissionEdit_->setObjectName(QStringLiteral("Edit1"));
    admissionEdit_->setFixedSize(180, 28);
    enterRoomButton_ = new QPushButton(QStringLiteral("登录考场"), this);
    enterRoomButton_->setObjectName(QStringLiteral("RzBitBtn1"));
    leaveRoomButton_ = new QPushButton(QStringLiteral("退出考场"), this);
    leaveRoomButton_->setObjectName(QStringLiteral("RzBitBtn2"));
    // Enter presses the focused button, and logs in from the admission number.
    for (QPushButton* button : {enterRoomButton_, leaveRoomButton_}) {
        button->setFixedSize(96, 32);
        button->setAutoDefault(true);
    }
    enterRoomButton_->setDefault(true);
    connect(enterRoomButton_, &QPushButton::clicked, this, [this] {
        if (enterRoom_)
            enterRoom_();
    });
    connect(leaveRoomButton_, &QPushButton::clicked, this, &QDialog::close);
    placeControls(screenWidth_);
}

void ExamLoginScreen::showEvent(QShowEvent* event) {
    placeControls(screenWidth_);
    QDialog::showEvent(event);
}

void ExamLoginScreen::placeControls(int screenWidth) {
    const int middle = screenWidth / 2;
    titleLabel_->move(middle - 190, 70);
    bannerPicture_->move(middle - 303, 140);
    admissionLabel_->move(middle - 77, 322);
    admissionEdit_->move(middle, 318);
    enterRoomButton_->move(middle - 77, 372);
    leaveRoomButton_->move(enterRoomButton_->geometry().right() + 1 + 20, 372);
    leftPicture_->move(middle - 303, 440);
    rightPicture_->move(middle + 10, 440);
}

} // namespace exam
