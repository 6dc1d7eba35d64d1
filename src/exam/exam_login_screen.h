#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace exam {

// The exam room's login screen over the whole screen. The admission number is
// shown for the look of it and never checked.
class ExamLoginScreen : public QDialog {
    Q_OBJECT

public:
    // `enterRoom` runs when the candidate enters the exam room.
    ExamLoginScreen(const QString& programFolder, std::function<void()> enterRoom,
                    QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeControls(int screenWidth);

    std::function<void()> enterRoom_;
    int screenWidth_ = 0;
    QLabel* titleLabel_ = nullptr;
    QLabel *bannerPicture_ = nullptr, *leftPicture_ = nullptr, *rightPicture_ = nullptr;
    QLabel* admissionLabel_ = nullptr;
    QLineEdit* admissionEdit_ = nullptr;
    QPushButton* enterRoomButton_ = nullptr;
    QPushButton* leaveRoomButton_ = nullptr;
};

} // namespace exam
