#include "widgets/picture_button.h"

#include <QDir>
#include <QHash>
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
    showPicture(pictures_.normal);
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
