#include "exam/answer_key_watcher.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace exam {

AnswerKeyWatcher::~AnswerKeyWatcher() {
    remove();
}

void AnswerKeyWatcher::install() {
    if (installed_)
        return;
    QCoreApplication::instance()->installEventFilter(this);
    installed_ = true;
}

void AnswerKeyWatcher::remove() {
    if (!installed_)
        return;
    QCoreApplication::instance()->removeEventFilter(this);
    installed_ = false;
}

bool AnswerKeyWatcher::eventFilter(QObject* watched, QEvent* event) {
    // Every key the platform delivers reaches a window first, once; the copies
    // handed on to its widgets are not counted again.
    if (event->type() != QEvent::KeyRelease || !watched->isWindowType())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat())
        return QObject::eventFilter(watched, event);
    if (key->key() >= Qt::Key_A && key->key() <= Qt::Key_H)
        emit letterReleased(QChar(u'A' + (key->key() - Qt::Key_A)));
    return QObject::eventFilter(watched, event);
}

} // namespace exam
