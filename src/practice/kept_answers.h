#pragma once

#include "collections/view_mode.h"
#include "web/control_snapshot.h"

#include <QHash>
#include <QString>

namespace practice {

// The answers given on chapter pages that were left before they were graded,
// kept while the program runs so that a chapter opened again shows them. A
// page is a chapter as one view shows it.
class KeptAnswers {
public:
    static QString pageOf(collections::ViewMode mode, qint64 chapterId);

    // Keeps what the page's controls answer (ticked options, chosen
    // drop-down letters), replacing what was kept for it. A page left before
    // it was complete keeps what it had and adds what was answered on it.
    void keep(const QString& page, const web::ControlSnapshot& controls, bool pageComplete);
    // What was kept for the page, empty when nothing was.
    web::ControlSnapshot answersOf(const QString& page) const;
    void forget(const QString& page);
    void forgetAll();

private:
    QHash<QString, web::ControlSnapshot> pages_;
};

} // namespace practice
