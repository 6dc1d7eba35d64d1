#include "record/statistics.h"

#include "practice/page_fragments.h"
#include "store/own_tables.h"
#include "store/record_tables.h"
#include "store/statistics_statements.h"

#include <algorithm>
#include <map>

namespace record {

namespace {

const char* const sectionTitles[sectionCount] = {"单项选择题", "多项选择题", "案例分析题",
                                                 "配伍选择题"};

// The record's state once a record of an older layout has been brought up to
// date: the sums the figures read are filled from its answers in that step.
store::OwnTablesStatus recordStatusForReading(store::Bank& bank) {
    store::OwnTablesStatus status = store::ownTablesStatus(bank, store::recordTables());
    if (status.state == store::OwnTablesState::Older) {
        store::ensureOwnTables(bank, store::recordTables());
        status = store::ownTablesStatus(bank, store::recordTables());
    }
    return status;
}

Summary summaryOf(store::Bank& bank, const QDate& today, const std::vector<ExamFigures>& exams) {
    Summary summary;
    const store::AnswerTotals totals = store::recordTotals(bank);
    summary.answered = totals.answered;
    summary.right = totals.right;
    std::vector<QDate> days;
    for (const QString& day : store::studyDays(bank))
        days.push_back(QDate::fromString(day, Qt::ISODate));
    summary.daysStudied = int(days.size());
    summary.streakDays = currentStreak(days, today);
    summary.examsSat = int(exams.size());
    for (const ExamFigures& exam : exams) {
        summary.bestExamScore = std::max(summary.bestExamScore.value_or(0), exam.scorePercent);
        summary.lastExamScore = exam.scorePercent;
    }
    return summary;
}

std::vector<ChapterFigures> chaptersOf(store::Bank& bank, bool withRecord) {
    std::map<qint64, store::ChapterAnswerTotals> totals;
    if (withRecord)
        for (store::ChapterAnswerTotals& row : store::chapterAnswerTotals(bank))
            totals.emplace(row.chapterId, std::move(row));
    std::vector<ChapterFigures> chapters;
    for (const store::ChapterRow& row : store::treeChapters(bank)) {
        ChapterFigures chapter{row.id, row.name, row.questions, 0, 0, 0, {}};
        if (const auto found = totals.find(row.id); found != totals.end()) {
            chapter.questionsAnswered = found->second.distinctAnswered;
            chapter.answers = found->second.totals.answered;
            chapter.right = found->second.totals.right;
            chapter.lastPractised = recordedTime(found->second.lastPractised);
        }
        chapters.push_back(std::move(chapter));
    }
    sortWeakestFirst(chapters);
    return chapters;
}

std::vector<TypeFigures> typesOf(store::Bank& bank, bool withRecord) {
    std::vector<TypeFigures> types;
    for (int section = 0; section < sectionCount; ++section)
        types.push_back({sectionTitle(section), 0, 0});
    if (!withRecord)
        return types;
    for (const store::TypeCodeTotals& row : store::typeCodeTotals(bank)) {
        if (const auto section = sectionOfTypeCode(row.typeCode)) {
            types[size_t(*section)].answered += row.totals.answered;
            types[size_t(*section)].right += row.totals.right;
        }
    }
    return types;
}

std::vector<DayFigures> daysOf(store::Bank& bank, const QDate& today, bool withRecord) {
    const QDate first = today.addDays(1 - chartDays);
    std::vector<DayFigures> days;
    for (int k = 0; k < chartDays; ++k)
        days.push_back({first.addDays(k), 0, 0});
    if (!withRecord)
        return days;
    for (const store::DayTotals& row : store::dayTotalsSince(bank, first.toString(Qt::ISODate))) {
        const qint64 index = first.daysTo(QDate::fromString(row.day, Qt::ISODate));
        if (index >= 0 && index < chartDays) {
            days[size_t(index)].answered += row.totals.answered;
            days[size_t(index)].right += row.totals.right;
        }
    }
    return days;
}

std::vector<ExamFigures> examsOf(store::Bank& bank) {
    std::map<qint64, std::array<SectionScore, sectionCount>> sections;
    for (const store::SittingTypeTotals& row : store::examTypeTotals(bank)) {
        if (const auto section = sectionOfTypeCode(row.typeCode)) {
            SectionScore& score = sections[row.sittingId][size_t(*section)];
            score.questions += row.questions;
            score.right += row.right;
        }
    }
    std::vector<ExamFigures> exams;
    for (const store::ExamSittingRow& row : store::examSittings(bank)) {
        ExamFigures exam{row.id,          recordedTime(row.finishedAt),
                         row.durationMs,  row.questionCount,
                         row.rightCount,  0,
                         sections[row.id]};
        exam.scorePercent = row.scorePercent.value_or(
            accuracyPercent(row.questionCount, row.rightCount).value_or(0));
        exams.push_back(exam);
    }
    return exams;
}

} // namespace

std::optional<int> accuracyPercent(qint64 answered, qint64 right) {
    if (answered <= 0)
        return std::nullopt;
    return int((200 * right + answered) / (2 * answered));
}

QString sectionTitle(int section) {
    return QString::fromUtf8(sectionTitles[section]);
}

std::optional<int> sectionOfTypeCode(const QString& typeCode) {
    const QString code = typeCode.trimmed();
    static const QString examCodes[sectionCount] = {"a1", "a2", "a3", "a4"};
    for (int section = 0; section < sectionCount; ++section)
        if (code == examCodes[section])
            return section;
    bool isNumber = false;
    const int number = code.toInt(&isNumber);
    if (!isNumber)
        return std::nullopt;
    switch (practice::classOfCode(number)) {
    case practice::QuestionClass::SingleAnswer:
        return 0;
    case practice::QuestionClass::MultipleAnswer:
        return 1;
    case practice::QuestionClass::Case:
        return 2;
    case practice::QuestionClass::Matching:
        return 3;
    case practice::QuestionClass::Other:
        break;
    }
    return std::nullopt;
}

int currentStreak(const std::vector<QDate>& daysNewestFirst, const QDate& today) {
    if (daysNewestFirst.empty())
        return 0;
    QDate expected = daysNewestFirst.front() == today ? today : today.addDays(-1);
    int streak = 0;
    for (const QDate& day : daysNewestFirst) {
        if (day > today)
            continue; // a clock set back: days ahead of today do not break the run
        if (day != expected)
            break;
        ++streak;
        expected = expected.addDays(-1);
    }
    return streak;
}

void sortWeakestFirst(std::vector<ChapterFigures>& chapters) {
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const ChapterFigures& a, const ChapterFigures& b) {
                         const auto x = a.accuracy(), y = b.accuracy();
                         if (!x || !y)
                             return x.has_value() && !y.has_value();
                         if (*x != *y)
                             return *x < *y;
                         return a.answers > b.answers;
                     });
}

QString durationText(qint64 milliseconds) {
    const qint64 seconds = std::max<qint64>(0, milliseconds) / 1000;
    if (seconds < 60)
        return QStringLiteral("%1秒").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1分%2秒")
            .arg(seconds / 60)
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1小时%2分")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'));
}

QDateTime recordedTime(const QString& text) {
    return QDateTime::fromString(text, Qt::ISODate);
}

Statistics readStatistics(store::Bank& bank, const QDate& today) {
    Statistics statistics;
    const store::OwnTablesStatus status = recordStatusForReading(bank);
    if (status.state == store::OwnTablesState::Newer ||
        status.state == store::OwnTablesState::Damaged) {
        statistics.state = RecordState::Unusable;
        statistics.message = status.message;
    }
    if (status.state == store::OwnTablesState::Current) {
        statistics.exams = examsOf(bank);
        statistics.summary = summaryOf(bank, today, statistics.exams);
        if (statistics.summary.answered > 0 || !statistics.exams.empty())
            statistics.state = RecordState::Ready;
    }
    // Without a record the chapters, types and days are still listed, each at nothing.
    const bool ready = statistics.state == RecordState::Ready;
    statistics.chapters = chaptersOf(bank, ready);
    statistics.types = typesOf(bank, ready);
    statistics.days = daysOf(bank, today, ready);
    return statistics;
}

QString chapterTooltip(store::Bank& bank, qint64 chapterId) {
    if (recordStatusForReading(bank).state != store::OwnTablesState::Current)
        return {};
    const store::ChapterAnswerTotals row = store::answerTotalsOfChapter(bank, chapterId);
    if (row.totals.answered <= 0)
        return {};
    return QStringLiteral("已答 %1 题（%2 道不同的题），正确率 %3%")
        .arg(row.totals.answered)
        .arg(row.distinctAnswered)
        .arg(*accuracyPercent(row.totals.answered, row.totals.right));
}

} // namespace record
