#pragma once

#include <QString>

class QObject;

// Where start-up spends its time: with MORROWQUILL_PROFILE_STARTUP=1 in the
// environment, each mark prints its step, the milliseconds since the
// process started and the processor time used so far to stderr; otherwise
// marks cost a branch.
namespace app {

void markStartup(const char* step);
void markStartup(const QString& step);

// From now on, notes the longest stretch this thread's event loop was held
// up (a timer due every few milliseconds that measures its own lateness),
// while the profile is on; the watch belongs to `owner`.
void watchStartupBusyness(QObject* owner);
// `afterMs` from now, prints the longest stretch noted as a mark and stops.
void reportStartupBusynessAfter(int afterMs);

} // namespace app
