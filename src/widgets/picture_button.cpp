#include "widgets/picture_button.h"

#include "widgets/chrome_pictures.h"

#include <QAccessibleWidget>
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <QtMath>
#include <cstdio>

namespace widgets {

namespace {

// The copy of the picture at `path` drawn for `ratio`, or a null pixmap when
// the folder holds none larger than the picture itself.
QPixmap scaledCopy(const QString& path, QSize size, qreal ratio) {
    QPixmap chosen;
    for (const qreal scale : pictureScales) {
        if (scale == 1)
            continue;
        QPixmap copy(scaledPictureName(path, scale));
        if (copy.isNull() ||
            copy.size() != QSize(qCeil(size.width() * scale), qCeil(size.height() * scale)))
            continue;
        copy.setDevicePixelRatio(scale);
        chosen = copy;
        if (scale >= ratio)
            break;
    }
    return chosen;
}

} // namespace

QPixmap loadPicture(const QString& programFolder, const QString& name, qreal ratio) {
    static QHash<std::pair<QString, qreal>, QPixmap> loaded;
    static QSet<QString> reported;
    const QString path = QDir::cleanPath(programFolder + name);
    const std::pair key(path, ratio);
    if (const auto found = loaded.constFind(key); found != loaded.cend())
        return *found;
    QPixmap picture(path);
    if (picture.isNull()) {
        if (!reported.contains(path)) {
            reported.insert(path);
            std::fprintf(stderr, "morrowquill: cannot load picture %s\n", qPrintable(path));
        }
        return picture;
    }
    // The 1× picture, with the device pixel ratio its name may have given it.
    picture.setDevicePixelRatio(1);
    if (ratio > 1) {
        if (const QPixmap copy = scaledCopy(path, picture.size(), ratio); !copy.isNull())
            picture = copy;
    }
    loaded.insert(key, picture);
    return picture;
}

QPixmap loadPicture(const QString& programFolder, const QString& name) {
    return loadPicture(programFolder, name, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

void drawWithEdges(QPainter& painter, const QRect& target, const QPixmap& picture,
                   const QMargins& edges) {
    const QSizeF size = picture.deviceIndependentSize();
    const int across = edges.left() + edges.right(), down = edges.top() + edges.bottom();
    if (across >= target.width() || down >= target.height() || across >= size.width() ||
        down >= size.height()) {
        painter.drawPixmap(target, picture);
        return;
    }
    // Three columns and three rows, in the picture's pixels and in the target's.
    const qreal ratio = picture.devicePixelRatio();
    const qreal fromX[] = {0, qreal(edges.left()), size.width() - edges.right(), size.width()};
    const qreal fromY[] = {0, qreal(edges.top()), size.height() - edges.bottom(), size.height()};
    const qreal toX[] = {qreal(target.left()), qreal(target.left() + edges.left()),
                         qreal(target.right() + 1 - edges.right()), qreal(target.right() + 1)};
    const qreal toY[] = {qreal(target.top()), qreal(target.top() + edges.top()),
                         qreal(target.bottom() + 1 - edges.bottom()), qreal(target.bottom() + 1)};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            const QRectF to(QPointF(toX[column], toY[row]), QPointF(toX[column + 1], toY[row + 1]));
            const QRectF from(QPointF(fromX[column] * ratio, fromY[row] * ratio),
                              QPointF(fromX[column + 1] * ratio, fromY[row + 1] * ratio));
            if (!to.isEmpty() && !from.isEmpty())
                painter.drawPixmap(to, picture, from);
        }
    }
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

PicturePanel::PicturePanel(const QString& objectName, const QPixmap& picture, QWidget* parent,
                           const QMargins& edges)
    : QWidget(parent)
    , picture_(picture)
    , edges_(edges) {
    setObjectName(objectName);
}

void PicturePanel::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    drawWithEdges(painter, rect(), picture_, edges_);
}

} // namespace widgets
