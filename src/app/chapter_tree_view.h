#pragma once

#include "app/chapter_tree.h"

#include <QTreeWidget>
#include <functional>

namespace app {

// The chapter tree's look and behaviour: lines, one node picture, no expand
// buttons, selecting a node expands it and collapses the branch expanded before.
// Items know their tree position (depth-first index from 0).
//
// A click opens the node that was under the mouse when the button went down:
// the press selects it and the single-expand may move every row below, so the
// release often lands on another row.
class ChapterTreeView : public QTreeWidget {
    Q_OBJECT

public:
    ChapterTreeView(const QString& programFolder, QWidget* parent);

    void clearRows();
    void addRow(const TreeRow& row);

    int nodeCount() const { return int(items_.size()); }
    QTreeWidgetItem* nodeAt(int position) const;
    int positionOf(const QTreeWidgetItem* item) const;
    static int levelOf(const QTreeWidgetItem* item);
    void expandEveryNode();
    // Where the tooltip of the node at a tree position comes from, asked each
    // time the pointer rests on a node; an empty text shows none.
    void setTooltipSource(std::function<QString(int position)> source) {
        tooltipSource_ = std::move(source);
    }

signals:
    // The user clicked the current node, or pressed Enter on it.
    void nodeClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void expandOnly(QTreeWidgetItem* current);

    QIcon nodeIcon_;
    std::vector<QTreeWidgetItem*> items_;
    QTreeWidgetItem* lastOfLevel_[2] = {};
    int pressedPosition_ = -1;
    std::function<QString(int)> tooltipSource_;
};

} // namespace app
