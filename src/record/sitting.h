#pragma once

#include "store/bank.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// One sitting of the learning record: a graded chapter, a handed-in exam or a
// graded drill, random page or page of search results, with every question it showed.
namespace record {

enum class SittingKind { Chapter, Exam, Drill, Random, Search };

// How the kind is stored: "chapter", "exam", "drill", "random", "search".
QString kindCode(SittingKind kind);

struct AnsweredQuestion {
    qint64 questionId = 0;
    // The question's chapter (its group's tree node); none when the bank lacks the group.
    std::optional<qint64> chapterId;
    QString typeCode;    // the code of the group's type
    QString given;       // letters or the drop-down's value; empty when left blank
    QString rightAnswer; // as stored
    bool correct = false;
    QString tid; // the exam paper's row; empty for practice
};

struct Sitting {
    SittingKind kind = SittingKind::Chapter;
    QDateTime finishedAt;
    qint64 durationMs = 0;
    // The chapter a practice page showed; none for an exam or a drill.
    std::optional<qint64> chapterId;
    // The chapter's name, or the exam's or drill's title.
    QString title;
    // In the order the page or paper showed them.
    std::vector<AnsweredQuestion> questions;
};

// Writes the sitting and its answers, creating the record's tables the first
// time, inside the caller's transaction (or one of its own). Throws
// store::OwnTablesUnusable, writing nothing, when the record's tables are
// damaged or newer; store::StoreError when a write fails.
void recordSitting(store::Bank& bank, const Sitting& sitting);

// recordSitting() for a grading or a hand-in: the sitting is kept whole or
// dropped whole, and the caller's other writes go on either way. Returns what
// to tell the user when it is dropped: the first time for this bank in this
// run of the program, and empty after that or when the sitting was kept.
QString recordSittingOrExplain(store::Bank& bank, const Sitting& sitting);

} // namespace record
