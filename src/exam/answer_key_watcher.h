#pragma once

#include <QObject>

namespace exam {

// Watches key releases anywhere in the application while installed. A letter
// key A–H is reported as its letter; every release is reported as well, so
// that the exam window can move the focus. Never touches the paper itself.
class AnswerKeyWatcher : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~AnswerKeyWatcher() override;

    void install();
    // Removing a watcher that is not installed does nothing.
    void remove();
    bool isInstalled() const { return installed_; }

signals:
    void letterReleased(QChar letter);
    void keyReleased();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool installed_ = false;
};

} // namespace exam
