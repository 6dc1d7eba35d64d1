#pragma once

#include "services/settings.h"

class QWidget;

namespace widgets {
class Desktop;
class Prompter;
} // namespace widgets

// The tool bar's hand-overs to the desktop's browser and help viewer.
namespace services {

void openHomePage(const Settings& settings, widgets::Desktop& desktop);
void openShop(const Settings& settings, widgets::Desktop& desktop);
// `hlp.chm` of the program folder when it is there, else the user guide
// `help/index.html`.
void openHelp(const QString& programFolder, widgets::Desktop& desktop, widgets::Prompter& prompter,
              QWidget* window);

} // namespace services
