#pragma once

#include <QString>

// What the user chose for practice pages, kept in the settings file
// (`morrowquill.ini`, section [Practice]) from one start to the next.
namespace services {

struct PracticeChoices {
    // The text-size step of the page bar's buttons.
    int fontLevel = 2;
    // The pages' text size in pixels; 0 while the user has chosen none.
    int textSize = 0;
    // Choices are judged in the page as they are made.
    bool instantJudging = false;
};

// Reads the [Practice] section of the settings file in `dataFolder` (ending
// in '/'). A missing or unusable value keeps its default; an unusable one is
// named on stderr.
PracticeChoices readPracticeChoices(const QString& dataFolder);

// Writes the choices into the [Practice] section, leaving every other line of
// the file (the maintainer's values and comments) as it was. The file is
// replaced whole or not at all; false when it cannot be written.
bool writePracticeChoices(const QString& dataFolder, const PracticeChoices& choices);

} // namespace services
