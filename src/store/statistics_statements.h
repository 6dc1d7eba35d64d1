#pragma once

#include "store/bank.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// Reading the learning record for the statistics: the sittings (mq_sitting),
// the exams' answers (mq_answer) and the sums per chapter and type code the
// database keeps as each answer is inserted (mq_chapter_type_record). Only call
// these when the record's tables are current (ownTablesStatus says Current).
namespace store {

// Answers given (not left blank) and those right among them.
struct AnswerTotals {
    qint64 answered = 0;
    qint64 right = 0;
};

struct DayTotals {
    QString day; // YYYY-MM-DD, local
    AnswerTotals totals;
};

// Every sitting summed up.
AnswerTotals recordTotals(Bank& bank);
// The days with at least one answer, newest first.
std::vector<QString> studyDays(Bank& bank);
// Per day from `firstDay` on, oldest first; days without sittings are absent.
std::vector<DayTotals> dayTotalsSince(Bank& bank, const QString& firstDay);

struct ExamSittingRow {
    qint64 id = 0;
    QString finishedAt; // ISO 8601, local
    qint64 durationMs = 0;
    QString title;
    qint64 questionCount = 0;
    qint64 answeredCount = 0;
    qint64 rightCount = 0;
    std::optional<int> scorePercent;
};

// The handed-in exams, oldest first.
std::vector<ExamSittingRow> examSittings(Bank& bank);
std::optional<ExamSittingRow> examSittingById(Bank& bank, qint64 id);

// What one sitting's answers of a type code were.
struct SittingTypeTotals {
    qint64 sittingId = 0;
    QString typeCode;
    qint64 questions = 0;
    qint64 right = 0;
};

// Per exam sitting and type code, every question of the paper counted.
std::vector<SittingTypeTotals> examTypeTotals(Bank& bank);

struct TypeCodeTotals {
    QString typeCode;
    AnswerTotals totals;
};

// Per type code over every sitting.
std::vector<TypeCodeTotals> typeCodeTotals(Bank& bank);

struct ChapterRow {
    qint64 id = 0;
    QString name;
    qint64 questions = 0;
};

// The chapters of the tree (third level) in tree order, with how many
// questions each holds.
std::vector<ChapterRow> treeChapters(Bank& bank);

struct ChapterAnswerTotals {
    qint64 chapterId = 0;
    qint64 distinctAnswered = 0; // different questions answered at least once
    AnswerTotals totals;
    QString lastPractised; // the newest sitting with an answer of the chapter
};

// Per chapter of the answered questions, in practice and exams alike.
std::vector<ChapterAnswerTotals> chapterAnswerTotals(Bank& bank);
// The same for one chapter, without its last practice.
ChapterAnswerTotals answerTotalsOfChapter(Bank& bank, qint64 chapterId);

} // namespace store
