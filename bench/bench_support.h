#pragma once

// What the window benchmarks share: medians, and waits that end the run with
// a message instead of hanging.

#include "event_wait.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench_support {

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class Condition> void waitFor(Condition condition, const char* what) {
    if (!testing_support::waitUntil(condition, 60000)) {
        std::fprintf(stderr, "%s: timed out waiting for %s\n",
                     qPrintable(QCoreApplication::applicationName()), what);
        std::exit(1);
    }
}

} // namespace bench_support
