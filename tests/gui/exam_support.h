#pragma once

#include "event_wait.h"
#include "exam/exam_window.h"
#include "web/html_view.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace testing_support {

// The build's pictures and page template in a test's program folder.
inline void copyProgramFiles(const QString& programFolder) {
    const QString tp = QStringLiteral(PROGRAM_FOLDER "/tp/");
    QDir().mkpath(programFolder + "tp");
    for (const QString& name : QDir(tp).entryList(QDir::Files))
        QFile::copy(tp + name, programFolder + "tp/" + name);
    QFile::copy(QStringLiteral(PROGRAM_FOLDER "/ty.html"), programFolder + "ty.html");
}

// The page's controls, read in one call.
inline web::ControlSnapshot controlsOf(web::HtmlView* view) {
    std::optional<web::ControlSnapshot> snapshot;
    view->readControls([&](const web::ControlSnapshot& read) { snapshot = read; });
    EXPECT_TRUE(waitUntil([&] { return snapshot.has_value(); }));
    return snapshot.value_or(web::ControlSnapshot{});
}

inline QSet<QString> checkedIds(web::HtmlView* view) {
    QSet<QString> ids;
    const web::ControlSnapshot snapshot = controlsOf(view);
    for (auto it = snapshot.cbegin(); it != snapshot.cend(); ++it)
        if (it->checked)
            ids.insert(it.key());
    return ids;
}

// Shows `tid` and waits until its page is complete.
inline bool showAndWait(exam::ExamWindow& window, const QString& tid,
                        exam::ExamPageVariant variant) {
    bool shown = false;
    window.showQuestion(tid, variant, [&] { shown = true; });
    return waitUntil([&] { return shown; });
}

} // namespace testing_support
