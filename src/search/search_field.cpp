#include "search/search_field.h"

#include "search/search_index.h"

#include <QKeyEvent>

namespace search {

SearchField::SearchField(QWidget* parent)
    : QLineEdit(parent) {
    setObjectName(QStringLiteral("searchField"));
    setPlaceholderText(QStringLiteral("搜索试题 Ctrl+F"));
    setAccessibleName(QStringLiteral("搜索试题"));
    setToolTip(
        QStringLiteral("搜索题干、选项、解析、案例和笔记（Ctrl+F），回车开始搜索，Esc 离开"));
    setClearButtonEnabled(true);
    setMaxLength(maxSearchLength);
    connect(this, &QLineEdit::returnPressed, this, [this] {
        if (!text().trimmed().isEmpty())
            emit searchRequested(text());
    });
}

void SearchField::enter() {
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

void SearchField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        clearFocus();
        emit left();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace search
