#pragma once

#include <QString>

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

} // namespace store
