#include "practice/kept_answers.h"

namespace practice {

namespace {

// A drop-down of the page (id "a" and the question's key) that still shows
// its first entry, "答案", is unanswered; an option counts when ticked.
bool answers(const QString& id, const web::ControlState& state) {
    if (state.checked)
        return true;
    return id.startsWith(QLatin1Char('a')) && !state.value.isEmpty() &&
           state.value != QStringLiteral("daan");
}

} // namespace

QString KeptAnswers::pageOf(collections::ViewMode mode, qint64 chapterId) {
    return QStringLiteral("%1:%2").arg(int(mode)).arg(chapterId);
}

void KeptAnswers::keep(const QString& page, const web::ControlSnapshot& controls,
                       bool pageComplete) {
    web::ControlSnapshot kept = pageComplete ? web::ControlSnapshot() : pages_.value(page);
    for (auto it = controls.cbegin(); it != controls.cend(); ++it)
        if (answers(it.key(), it.value()))
            kept.insert(it.key(), it.value());
    if (kept.isEmpty())
        pages_.remove(page);
    else
        pages_.insert(page, kept);
}

web::ControlSnapshot KeptAnswers::answersOf(const QString& page) const {
    return pages_.value(page);
}

void KeptAnswers::forget(const QString& page) {
    pages_.remove(page);
}

void KeptAnswers::forgetAll() {
    pages_.clear();
}

} // namespace practice
