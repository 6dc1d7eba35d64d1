#pragma once

#include <QWidget>
#include <functional>

namespace widgets {

// Whether the application's palette is the dark one of night mode.
bool isNight();

// Calls `apply` now and again on each turn from day to night or back, for
// widgets whose colours a style sheet fixes and the palette alone does not
// reach. It ends with the widget.
void followDayAndNight(QWidget* widget, std::function<void(bool night)> apply);

// Tells every follower the application's palette has turned; those whose
// colours no longer fit apply the new ones.
void announceDayOrNight();

} // namespace widgets
