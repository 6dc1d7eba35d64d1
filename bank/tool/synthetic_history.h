#pragma once

#include "bank_content.h"

#include <QDateTime>
#include <cstdint>

namespace banktool {

struct HistoryShape {
    // Answers in all, the exams' included.
    int answers = 0;
    int exams = 0;
    int questionsPerExam = 100;
    std::uint32_t seed = 1;
    // The last sitting ends here; the history runs back a year from it.
    QDateTime until = QDateTime(QDate(2026, 6, 30), QTime(21, 0));
};

// Writes a learning record into the bank at `bankPath`, whose questions are
// `content`'s: whole chapters practised and exams handed in, oldest first,
// about one answer in eight left blank and seven in ten of the rest right; the
// same for the same shape. One transaction.
void writeSyntheticHistory(const BankContent& content, const HistoryShape& shape,
                           const QString& bankPath);

} // namespace banktool
