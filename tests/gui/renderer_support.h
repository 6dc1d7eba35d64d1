#pragma once

#include "event_wait.h"
#include "web/html_view.h"

#include <QWebEnginePage>
#include <csignal>
#include <sys/types.h>

namespace testing_support {

// The process that draws the view's page, once it has one; 0 before.
inline qint64 rendererOf(const web::HtmlView* view) {
    const auto* page = view->findChild<QWebEnginePage*>();
    return page ? page->renderProcessPid() : 0;
}

// Kills the process that draws the view's page, as the system would end a
// renderer that crashed or ran out of memory. False when the page had none.
inline bool killRenderer(const web::HtmlView* view) {
    const qint64 pid = rendererOf(view);
    return pid > 0 && ::kill(pid_t(pid), SIGKILL) == 0;
}

} // namespace testing_support
