#pragma once

// Where start-up spends its time: with MORROWQUILL_PROFILE_STARTUP=1 in the
// environment, each mark prints its step and the milliseconds since the
// process started to stderr; otherwise marks cost a branch.
namespace app {

void markStartup(const char* step);

} // namespace app
