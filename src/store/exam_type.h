#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace store {

// The four sections of a mock exam and the group types each draws from:
// a1 single choice (3–5), a2 multiple choice (6–9), a3 case (10), a4 matching (11).
enum class ExamType { SingleChoice, MultipleChoice, CaseAnalysis, Matching };

inline QString examTypeCode(ExamType type) {
    switch (type) {
    case ExamType::SingleChoice:
        return QStringLiteral("a1");
    case ExamType::MultipleChoice:
        return QStringLiteral("a2");
    case ExamType::CaseAnalysis:
        return QStringLiteral("a3");
    case ExamType::Matching:
        return QStringLiteral("a4");
    }
    return {};
}

// The section a question group belongs to by its group type; none for a type
// outside 3–11.
inline std::optional<ExamType> examTypeOfGroupType(qint64 groupType) {
    if (groupType >= 3 && groupType <= 5)
        return ExamType::SingleChoice;
    if (groupType >= 6 && groupType <= 9)
        return ExamType::MultipleChoice;
    if (groupType == 10)
        return ExamType::CaseAnalysis;
    if (groupType == 11)
        return ExamType::Matching;
    return std::nullopt;
}

} // namespace store
