#pragma once

#include <QSplitter>

namespace widgets {

// A splitter that draws nothing while its handle is dragged and moves the
// panels once the mouse button is released.
class QuietSplitter : public QSplitter {
    Q_OBJECT

public:
    QuietSplitter(Qt::Orientation orientation, QWidget* parent);

protected:
    QSplitterHandle* createHandle() override;
};

} // namespace widgets
