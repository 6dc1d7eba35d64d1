#pragma once

#include "web/html_view.h"

#include <QEventLoop>
#include <QTimer>
#include <optional>

// Waiting for the embedded browser without sleeping: the browser does its
// work on this thread, and a loop that sleeps (as QTest::qWaitFor does) slows
// it several times over. Shared by the GUI tests and the benchmarks.
namespace testing_support {

// Runs the event loop until `condition` holds, for at most `timeoutMs`.
template <class Condition> bool waitUntil(Condition condition, int timeoutMs = 20000) {
    if (condition())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

// Runs a script in the page and waits for its result; none when it never came.
inline std::optional<QVariant> scriptResult(web::HtmlView* view, const QString& script,
                                            int timeoutMs = 20000) {
    std::optional<QVariant> result;
    view->runScript(script, [&](const QVariant& value) { result = value; });
    waitUntil([&] { return result.has_value(); }, timeoutMs);
    return result;
}

} // namespace testing_support
