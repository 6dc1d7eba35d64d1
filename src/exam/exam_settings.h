#pragma once

#include "store/bank.h"

#include <QString>
#include <array>

// The mock exam's counts per question type as the settings dialog edits them:
// single choice, multiple choice, case groups, matching groups.
namespace exam {

using SettingsEdits = std::array<QString, 4>;

constexpr int maxQuestionsPerType = 50;

enum class SettingsVerdict {
    OverLimit, // a count above the limit; the edits are reloaded
    AllZero,   // single, multiple and case all read "0"
    Empty,     // an edit is empty
    Valid,
};

// The checks of a confirm, in their order; the first that fails decides.
SettingsVerdict checkSettings(const SettingsEdits& edits);

// What the edits show: the single-choice count the user entered (`fg` of the
// first row) and the drawing counts of the other three rows.
SettingsEdits loadSettings(store::Bank& bank);

// Stores valid edits into all four rows in one transaction: the single-choice
// count both as the user's count and as the drawing count.
void storeSettings(store::Bank& bank, const SettingsEdits& edits);

// The start button's level choice: the associate-senior level (index 1) draws
// the user's single-choice count, any other level none.
constexpr int associateSeniorLevel = 1;
void applyLevelToSingleChoiceCount(store::Bank& bank, int levelIndex);

} // namespace exam
