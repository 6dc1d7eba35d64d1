#include "app/prompter.h"

#include <QMessageBox>

namespace app {

void DialogPrompter::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QStringLiteral("Morrowquill"), text);
}

} // namespace app
