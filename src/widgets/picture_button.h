#pragma once

#include <QLabel>
#include <QMargins>
#include <QPixmap>

namespace widgets {

// Loads the chrome's pictures from the program folder, each file once. A file
// that cannot be loaded gives a null pixmap and one line on stderr. Where the
// folder also holds copies drawn at larger scales (name@1.5x.jpg,
// name@2x.jpg), the copy for `ratio` device pixels per pixel is taken: the
// smallest not softer than the screen, else the largest; it carries its scale
// as its device pixel ratio. A copy whose size does not match the picture
// times its scale (the picture was replaced) is passed over.
QPixmap loadPicture(const QString& programFolder, const QString& name, qreal ratio);
// The copy for the application's screens.
QPixmap loadPicture(const QString& programFolder, const QString& name);

// Draws `picture` over `target` with its `edges` at their own size and its
// middle stretched; without room for the edges it is stretched whole.
void drawWithEdges(QPainter& painter, const QRect& target, const QPixmap& picture,
                   const QMargins& edges);

// A picture that acts as a button: the hover picture while the mouse moves over
// it, the normal one when it leaves, the pressed one when a mouse button goes
// down; nothing changes on release. A click (press and release on it) emits
// clicked(). A picture that cannot be loaded leaves the previous one in place.
// It takes the focus by Tab and shows it with a dotted frame; Enter and Space
// press it. Screen readers see a button named by its accessible name.
class PictureButton : public QLabel {
    Q_OBJECT

public:
    struct Pictures {
        QString normal;
        QString hover;
        QString pressed;
    };

    PictureButton(const QString& objectName, const QString& programFolder, Pictures pictures,
                  QSize size, QWidget* parent);

    // The name of the picture shown now.
    const QString& shownPicture() const { return shown_; }

    // Presses the button as a click does.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showPicture(const QString& name);

    QString programFolder_;
    Pictures pictures_;
    QString shown_;
    bool pressedHere_ = false;
};

// A panel covered by one picture, stretched whole or, given its edges,
// only between them.
class PicturePanel : public QWidget {
public:
    PicturePanel(const QString& objectName, const QPixmap& picture, QWidget* parent,
                 const QMargins& edges = {});

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QMargins edges_;
};

} // namespace widgets
