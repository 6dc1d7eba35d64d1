#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;

namespace widgets {
class Prompter;
}

namespace exam {

// The candidate-information screen over the whole screen: fixed sample data,
// the hidden level choice and the button that starts the exam.
class CandidateScreen : public QDialog {
    Q_OBJECT

public:
    // `openExam` runs after the single-choice count has been set for the level;
    // it receives the level's index.
    CandidateScreen(const QString& programFolder, const QString& dataFolder,
                    widgets::Prompter& prompter, std::function<void(int)> openExam,
                    QWidget* parent = nullptr);

    // 0 full-senior, 1 associate-senior (the default).
    int levelIndex() const;

    void startExam();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeControls(int screenWidth);

    QString bankPath_;
    widgets::Prompter& prompter_;
    std::function<void(int)> openExam_;
    int screenWidth_ = 0;
    QLabel* titleLabel_ = nullptr;
    QLabel *photoPicture_ = nullptr, *idCardPicture_ = nullptr, *infoPanel_ = nullptr;
    std::vector<QLabel*> dataLines_;
    QGroupBox* levelChoice_ = nullptr;
    QButtonGroup* levels_ = nullptr;
    QPushButton *demonstrationButton_ = nullptr, *logInAgainButton_ = nullptr,
                *startButton_ = nullptr;
};

} // namespace exam
