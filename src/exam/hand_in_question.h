#pragma once

#include "store/bank.h"
#include "web/control_snapshot.h"

#include <QString>

namespace exam {

// How many items of the drawn paper have no answer: stored answers, except the
// item on screen, which counts as answered when its page shows a choice.
int unansweredItems(store::Bank& bank, const QString& tidOnScreen,
                    const web::ControlSnapshot& controls);

// The question asked before a paper is handed in.
QString handInQuestion(int unanswered);

} // namespace exam
