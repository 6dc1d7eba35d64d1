#include "widgets/picture_button.h"

#include <QAccessibleWidget>
#include <QDir>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <cstdio>

namespace widgets {

QPixmap loadPicture(const QString& programFolder, const QString& name) {
    static QHash<QString, QPixmap> loaded;
    static QSet<QString> reported;
    const QString path = QDir::cleanPath(programFolder + name);
    if (const auto found = loaded.constFind(path); found != loaded.cend())
        return *found;
    QPixmap picture(path);
    if (picture.isNull()) {
        if (!reported.contains(path)) {
            reported.insert(path);
            std::fprintf(stderr, "morrowquill: cannot load picture %s\n", qPrintable(path));
        }
        return picture;
    }
    loaded.insert(path, picture);
    return picture;
}

namespace {

// What a screen reader sees of a picture button: a button, not an image,
// that it can press.
class AccessiblePictureButton : public QAccessibleWidget {
public:
    explicit AccessiblePictureButton(PictureButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return widget()->accessibleName();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        // After the reader's call returns: the button may open a modal dialog.
        if (action == pressAction())
            QMetaObject::invokeMethod(static_cast<PictureButton*>(widget()), &PictureButton::click,
                                      Qt::QueuedConnection);
    }
};

QAccessibleInterface* accessiblePictureButton(const QString& className, QObject* object) {
    if (className == QLatin1String("widgets::PictureButton") && object->isWidgetType())
        return new AccessiblePictureButton(static_cast<PictureButton*>(object));
    return nullptr;
}

} // namespace

PictureButton::PictureButton(const QString& objectName, const QString& programFolder,
                             Pictures pictures, QSize size, QWidget* parent)
    : QLabel(parent)
    , programFolder_(programFolder)
    , pictures_(std::move(pictures)) {
    setObjectName(objectName);
    setFixedSize(size);
    setScaledContents(true);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    // Tab reaches it; a click leaves the focus where it was, as before.
    setFocusPolicy(Qt::TabFocus);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessiblePictureButton);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    showPicture(pictures_.normal);
}

void PictureButton::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The same dotted frame on every picture, dark on light and light on dark.
    QPainter painter(this);
    const QRect frame = rect().adjusted(1, 1, -2, -2);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    painter.setPen(QPen(QColor(20, 40, 60), 1, Qt::DotLine));
    painter.drawRect(frame);
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PictureButton::showPicture(const QString& name) {
    const QPixmap picture = loadPicture(programFolder_, name);
    if (picture.isNull())
        return;
    setPixmap(picture);
    shown_ = name;
}

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
    showPicture(pictures_.hover);
    QLabel::mouseMoveEvent(event);
}

void PictureButton::leaveEvent(QEvent* event) {
    // Hiding a button under the mouse also sends it a leave; it keeps its
    // picture then.
    if (isVisible())
        showPicture(pictures_.normal);
    QLabel::leaveEvent(event);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    showPicture(pictures_.pressed);
    pressedHere_ = event->button() == Qt::LeftButton;
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedHere_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressedHere_ = false;
    if (click)
        emit clicked();
}

PicturePanel::PicturePanel(const QString& objectName, const QPixmap& picture, QWidget* parent)
    : QWidget(parent)
    , picture_(picture) {
    setObjectName(objectName);
}

void PicturePanel::paintEvent(QPaintEvent*) {
    if (!picture_.isNull())
        QPainter(this).drawPixmap(rect(), picture_);
}

} // namespace widgets
