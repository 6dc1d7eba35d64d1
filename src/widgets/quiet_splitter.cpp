#include "widgets/quiet_splitter.h"

#include <QMouseEvent>

namespace widgets {

namespace {

class QuietHandle : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            grabOffset_ = along(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        // A thin handle is widened for the mouse by margins around its line;
        // the splitter places the line.
        const QPoint lineAt = mapTo(splitter(), event->position().toPoint()) +
                              QPoint(contentsMargins().left(), contentsMargins().top());
        moveSplitter(closestLegalPosition(along(lineAt) - grabOffset_));
    }

private:
    int along(QPoint point) const {
        return orientation() == Qt::Horizontal ? point.x() : point.y();
    }

    int grabOffset_ = 0;
};

} // namespace

QuietSplitter::QuietSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setOpaqueResize(true);
}

QSplitterHandle* QuietSplitter::createHandle() {
    return new QuietHandle(orientation(), this);
}

} // namespace widgets
