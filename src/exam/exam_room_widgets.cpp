#include "exam/exam_room_widgets.h"

#include "widgets/picture_button.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace exam {

namespace {

// Return and keypad Enter press the focused button as Space does. The button
// is not made the dialog's default instead: a default button would also be
// pressed by an Enter meant for the page or for nothing at all.
class KeyboardButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            !event->isAutoRepeat()) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

} // namespace

int coverScreen(QDialog& dialog, const QString& programFolder, const QString& background) {
    dialog.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    const QRect screen = dialog.screen()->geometry();
    dialog.setGeometry(screen);
    dialog.setWindowState(Qt::WindowMaximized);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new widgets::PicturePanel(
        QStringLiteral("Image1"), widgets::loadPicture(programFolder, background), &dialog);
    panel->lower();
    layout->addWidget(panel);
    return screen.width();
}

QPushButton* pictureButton(const QString& objectName, const QString& name,
                           const QString& programFolder, const QString& picture, QSize size,
                           QWidget* parent) {
    auto* button = new KeyboardButton(parent);
    button->setObjectName(objectName);
    button->setAccessibleName(name);
    button->setToolTip(name);
    button->setFixedSize(size);
    button->setIcon(QIcon(widgets::loadPicture(programFolder, picture)));
    button->setIconSize(size);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { border: none; padding: 0; background: transparent; }"
                       "QPushButton:focus { border: 1px dotted #1f4f8f; }"));
    return button;
}

QLabel* pictureLabel(const QString& objectName, const QString& programFolder,
                     const QString& picture, QSize size, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFixedSize(size);
    label->setScaledContents(true);
    label->setPixmap(widgets::loadPicture(programFolder, picture));
    return label;
}

} // namespace exam
