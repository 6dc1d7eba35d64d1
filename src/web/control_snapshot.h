#pragma once

#include <QHash>
#include <QString>

// What a page's form controls hold, read back in one call: every input and
// select that has an id, by id. Plain data, so that logic can grade it.
namespace web {

struct ControlState {
    bool checked = false;
    QString value;
};
using ControlSnapshot = QHash<QString, ControlState>;

} // namespace web
