#include "app/chapter_tree_view.h"

#include "widgets/day_and_night.h"
#include "widgets/picture_button.h"

#include <QDir>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <utility>

namespace app {

using widgets::loadPicture;

namespace {

constexpr int positionRole = Qt::UserRole;

// At night the tree takes the pages' dark ground and light text.
QString branchStyle(const QString& programFolder, bool night) {
    const QString tp = QDir::cleanPath(programFolder + QStringLiteral("/tp/"));
    const QString colours = night ? QStringLiteral("background: #1b2024; color: #e3e8eb;")
                                  : QStringLiteral("background: rgb(232, 238, 249); color: black;");
    return QStringLiteral(
               "QTreeView { %2 border: none; }"
               "QTreeView::branch:has-siblings:!adjoins-item { border-image: "
               "url(%1/branch-through.png) 0; }"
               "QTreeView::branch:has-siblings:adjoins-item { border-image: url(%1/branch-tee.png) "
               "0; }"
               "QTreeView::branch:!has-children:!has-siblings:adjoins-item,"
               "QTreeView::branch:has-children:!has-siblings:adjoins-item { border-image: "
               "url(%1/branch-corner.png) 0; }"
               "QTreeView::branch:has-children:!has-siblings:closed, "
               "QTreeView::branch:closed:has-children:has-siblings,"
               "QTreeView::branch:open:has-children:!has-siblings, "
               "QTreeView::branch:open:has-children:has-siblings { image: none; }")
        .arg(tp, colours);
}

} // namespace

ChapterTreeView::ChapterTreeView(const QString& programFolder, QWidget* parent)
    : QTreeWidget(parent)
    , nodeIcon_(loadPicture(programFolder, QStringLiteral("/tp/node.png"))) {
    setObjectName(QStringLiteral("TreeView1"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(23);
    setIconSize(QSize(16, 24));
    setRootIsDecorated(true);
    setEditTriggers(NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    widgets::followDayAndNight(this, [this, programFolder](bool night) {
        setStyleSheet(branchStyle(programFolder, night));
    });
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(14);
    setFont(font);
    // The selection stays highlighted when the tree loses focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { expandOnly(current); });
    connect(this, &QTreeWidget::itemExpanded, viewport(), qOverload<>(&QWidget::update));
    connect(this, &QTreeWidget::itemCollapsed, viewport(), qOverload<>(&QWidget::update));
}

void ChapterTreeView::clearRows() {
    clear();
    items_.clear();
    lastOfLevel_[0] = lastOfLevel_[1] = nullptr;
}

void ChapterTreeView::addRow(const TreeRow& row) {
    QTreeWidgetItem* parent = row.level == 0 ? nullptr : lastOfLevel_[row.level - 1];
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, row.caption);
    item->setIcon(0, nodeIcon_);
    item->setData(0, positionRole, int(items_.size()));
    items_.push_back(item);
    if (row.level < 2)
        lastOfLevel_[row.level] = item;
}

QTreeWidgetItem* ChapterTreeView::nodeAt(int position) const {
    return position >= 0 && position < nodeCount() ? items_[size_t(position)] : nullptr;
}

int ChapterTreeView::positionOf(const QTreeWidgetItem* item) const {
    return item ? item->data(0, positionRole).toInt() : -1;
}

int ChapterTreeView::levelOf(const QTreeWidgetItem* item) {
    int level = 0;
    for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        ++level;
    return level;
}

void ChapterTreeView::mousePressEvent(QMouseEvent* event) {
    pressedPosition_ = event->button() == Qt::LeftButton
                           ? positionOf(QTreeWidget::itemAt(event->position().toPoint()))
                           : -1;
    QTreeWidget::mousePressEvent(event);
}

void ChapterTreeView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    const int pressed = std::exchange(pressedPosition_, -1);
    if (event->button() != Qt::LeftButton ||
        !viewport()->rect().contains(event->position().toPoint()))
        return;
    if (QTreeWidgetItem* item = nodeAt(pressed)) {
        setCurrentItem(item);
        emit nodeClicked();
    }
}

void ChapterTreeView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        if (!event->isAutoRepeat())
            emit nodeClicked();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ChapterTreeView::expandEveryNode() {
    for (QTreeWidgetItem* item : items_)
        item->setExpanded(true);
}

void ChapterTreeView::expandOnly(QTreeWidgetItem* current) {
    if (!current)
        return;
    for (QTreeWidgetItem* item : items_) {
        if (!item->isExpanded())
            continue;
        bool onPath = false;
        for (const QTreeWidgetItem* up = current; up && !onPath; up = up->parent())
            onPath = up == item;
        if (!onPath)
            item->setExpanded(false);
    }
    current->setExpanded(true);
}

bool ChapterTreeView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip || !tooltipSource_)
        return QTreeWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QTreeWidgetItem* item = itemAt(help->pos());
    const QString text = item ? tooltipSource_(positionOf(item)) : QString();
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, viewport(), visualItemRect(item));
    return true;
}

} // namespace app
