#pragma once

#include "store/bank.h"

#include <QStringList>

// The review of a past exam, rebuilt from what the record kept of it, so it
// shows the same after later exams replaced the drawn paper: every question in
// paper order with its picture and options, the answer given and the right
// one in their colours, the explanation and the candidate's note.
namespace record {

// The page's fragments; one saying so when the record has no such exam.
// Throws StoreError.
QStringList examReviewFragments(store::Bank& bank, qint64 sittingId);

} // namespace record
