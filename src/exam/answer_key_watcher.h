#pragma once

#include <QObject>

namespace exam {

// Watches key releases anywhere in the application while installed. A letter
// key A–H is reported as its letter; every other key is left alone, so that
// Tab and the arrows keep working. Never touches the paper itself.
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool installed_ = false;
};

} // namespace exam
