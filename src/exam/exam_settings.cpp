#include "exam/exam_settings.h"

#include "store/exam_statements.h"

namespace exam {

namespace {

constexpr int parameterRows = 4;

std::vector<store::ExamParameter> fourParameters(store::Bank& bank) {
    std::vector<store::ExamParameter> rows = store::examParameters(bank);
    if (rows.size() < parameterRows)
        throw store::StoreError(
            QStringLiteral("考试参数表 ts 应有 4 行，只找到 %1 行。").arg(rows.size()));
    return rows;
}

bool overLimit(const QString& edit) {
    if (edit.isEmpty())
        return false;
    bool ok = false;
    const qlonglong count = edit.toLongLong(&ok);
    // Digits too many for a number are far above the limit too.
    return !ok || count > maxQuestionsPerType;
}

} // namespace

SettingsVerdict checkSettings(const SettingsEdits& edits) {
    for (const QString& edit : edits)
        if (overLimit(edit))
            return SettingsVerdict::OverLimit;
    const QString zero = QStringLiteral("0");
    if (edits[0] == zero && edits[1] == zero && edits[2] == zero)
        return SettingsVerdict::AllZero;
    for (const QString& edit : edits)
        if (edit.isEmpty())
            return SettingsVerdict::Empty;
    return SettingsVerdict::Valid;
}

SettingsEdits loadSettings(store::Bank& bank) {
    const std::vector<store::ExamParameter> rows = fourParameters(bank);
    return {rows[0].fg, rows[1].txs, rows[2].txs, rows[3].txs};
}

void storeSettings(store::Bank& bank, const SettingsEdits& edits) {
    bank.inTransaction([&] {
        const std::vector<store::ExamParameter> rows = fourParameters(bank);
        store::setExamParameter(bank, 0, {edits[0], edits[0]});
        for (int position = 1; position < parameterRows; ++position)
            store::setExamParameter(bank, position, {edits[position], rows[position].fg});
    });
}

void applyLevelToSingleChoiceCount(store::Bank& bank, int levelIndex) {
    bank.inTransaction([&] {
        const store::ExamParameter first = fourParameters(bank)[0];
        const QString count = levelIndex == associateSeniorLevel ? first.fg : QStringLiteral("0");
        store::setExamParameter(bank, 0, {count, first.fg});
    });
}

} // namespace exam
