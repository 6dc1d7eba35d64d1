#pragma once

#include "store/bank.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

// The figures of the statistics window, read from the learning record each
// time they are shown. An answer counts when it was given (not left blank);
// accuracy is the share of right answers among them. An exam's score counts
// every question of its paper.
namespace record {

// A whole percentage, halves up; none when nothing was answered.
std::optional<int> accuracyPercent(qint64 answered, qint64 right);

// The four sections of a mock exam, which also head the figures by type.
constexpr int sectionCount = 4;
QString sectionTitle(int section);
// The section of a recorded type code: a question type's code 1–9 or an exam
// section a1–a4; none for any other text.
std::optional<int> sectionOfTypeCode(const QString& typeCode);

struct Summary {
    qint64 answered = 0;
    qint64 right = 0;
    int daysStudied = 0;
    // Days in a row with answers, up to today, or up to yesterday while today
    // has none yet.
    int streakDays = 0;
    int examsSat = 0;
    std::optional<int> bestExamScore;
    std::optional<int> lastExamScore;
};

struct ChapterFigures {
    qint64 chapterId = 0;
    QString name;
    qint64 questions = 0;         // in the chapter
    qint64 questionsAnswered = 0; // different ones, at least once
    qint64 answers = 0;
    qint64 right = 0;
    QDateTime lastPractised; // invalid when never
    std::optional<int> accuracy() const { return accuracyPercent(answers, right); }
};

struct TypeFigures {
    QString heading;
    qint64 answered = 0;
    qint64 right = 0;
};

struct DayFigures {
    QDate day;
    qint64 answered = 0;
    qint64 right = 0;
};

struct SectionScore {
    qint64 questions = 0;
    qint64 right = 0;
};

struct ExamFigures {
    qint64 sittingId = 0;
    QDateTime finishedAt;
    qint64 durationMs = 0;
    qint64 questions = 0;
    qint64 right = 0;
    int scorePercent = 0;
    std::array<SectionScore, sectionCount> sections;
};

enum class RecordState {
    Empty,    // nothing recorded yet (or no tables of the record at all)
    Unusable, // the record's tables are damaged or newer: `message` says so
    Ready,
};

constexpr int chartDays = 90;

struct Statistics {
    RecordState state = RecordState::Empty;
    QString message;
    Summary summary;
    std::vector<ChapterFigures> chapters; // weakest first, then never practised in tree order
    std::vector<TypeFigures> types;       // the four sections in order
    std::vector<DayFigures> days;         // the last chartDays days, oldest first, today last
    std::vector<ExamFigures> exams;       // oldest first
};

// Reads every figure; a record of an older layout is brought up to date first.
// Throws StoreError when the bank cannot be read or that update not written.
Statistics readStatistics(store::Bank& bank, const QDate& today);

// `daysNewestFirst` are the days with answers.
int currentStreak(const std::vector<QDate>& daysNewestFirst, const QDate& today);

// Chapters ordered weakest first: the lowest accuracy first (more answers
// first among equals), chapters without answers last in their given order.
void sortWeakestFirst(std::vector<ChapterFigures>& chapters);

// A chapter's tooltip in the tree: its answered count and accuracy; empty when
// it has no answers or the record is absent or unusable.
QString chapterTooltip(store::Bank& bank, qint64 chapterId);

// A sitting's duration as the window shows it: "45秒", "12分30秒", "1小时05分".
QString durationText(qint64 milliseconds);

// A recorded time (ISO 8601, local) as a date and time.
QDateTime recordedTime(const QString& text);

} // namespace record
