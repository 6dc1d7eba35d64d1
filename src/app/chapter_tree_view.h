#pragma once

#include "app/chapter_tree.h"

#include <QTreeWidget>

namespace app {

// The chapter tree's look and behaviour: lines, one node picture, no expand
// buttons, selecting a node expands it and collapses the branch expanded before.
// Items know their tree position (depth-first index from 0).
class ChapterTreeView : public QTreeWidget {
    Q_OBJECT

public:
    ChapterTreeView(const QString& programFolder, QWidget* parent);

    void clearRows();
    void addRow(const TreeRow& row);

    int nodeCount() const { return int(items_.size()); }
    QTreeWidgetItem* itemAt(int position) const;
    int positionOf(const QTreeWidgetItem* item) const;
    static int levelOf(const QTreeWidgetItem* item);
    void expandEveryNode();

private:
    void expandOnly(QTreeWidgetItem* current);

    QIcon nodeIcon_;
    std::vector<QTreeWidgetItem*> items_;
    QTreeWidgetItem* lastOfLevel_[2] = {};
};

} // namespace app
