#pragma once

namespace app {

// Night mode for the whole program: a dark palette for its windows and the
// night colours of every page, the exam's included.
void applyNightMode(bool on);

} // namespace app
