#pragma once

#include "store/bank.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// Writes a history straight into the learning record's tables, in their
// layout, so that what reads the record can be tested on a known history.
namespace testing_support {

struct RecordedAnswerRow {
    qint64 questionId = 0;
    std::optional<qint64> chapterId;
    QString typeCode;
    QString given; // empty: left blank
    QString rightAnswer;
    bool correct = false;
    QString tid;
};

struct RecordedSittingRow {
    QString kind; // "chapter", "exam", "drill"
    QDateTime finishedAt;
    qint64 durationMs = 0;
    std::optional<qint64> chapterId;
    QString title;
    std::vector<RecordedAnswerRow> answers;
    std::optional<int> scorePercent;
};

// Makes the record's tables ready as the program does, except that an older
// layout is written as it is, and inserts the sitting with its answers;
// the sitting's counts are those of its answers. Returns its id.
qint64 insertSitting(store::Bank& bank, const RecordedSittingRow& sitting);

// The record's tables as the first program to keep a record made them.
void createFirstRecordLayout(store::Bank& bank);

} // namespace testing_support
