#include "exam/paper_drawer.h"

#include "store/exam_statements.h"
#include "store/question_statements.h"

#include <QRandomGenerator>

namespace exam {

namespace {

using store::ExamType;

constexpr ExamType sections[] = {ExamType::SingleChoice, ExamType::MultipleChoice,
                                 ExamType::CaseAnalysis, ExamType::Matching};

store::PaperItem questionItem(int number, ExamType type, const store::Question& question) {
    return {QString::number(number),
            store::examTypeCode(type),
            {},
            question.content,
            QString::number(question.id),
            question.answer,
            question.picurl,
            {},
            {}};
}

} // namespace

quint32 SystemRandom::below(quint32 bound) {
    return QRandomGenerator::global()->bounded(bound);
}

std::vector<int> strideWalk(int poolSize, int count, bool firstOfPaper, RandomSource& random) {
    std::vector<int> taken;
    if (poolSize <= 0 || count <= 0)
        return taken;
    if (poolSize < count) {
        for (int row = 0; row < poolSize; ++row)
            taken.push_back(row);
        return taken;
    }
    const int stride = poolSize / count;
    int cursor = 0;
    while (int(taken.size()) < count) {
        const int offset = stride > 1 ? int(random.below(quint32(stride))) : 0;
        if (!(firstOfPaper && taken.empty() && offset == 0))
            cursor += offset + 1;
        // Never so far on that the rest of the section no longer fits.
        const int remaining = count - int(taken.size());
        cursor = std::min(cursor, poolSize - remaining);
        taken.push_back(cursor);
        cursor += std::max(0, stride - offset - 2);
    }
    return taken;
}

std::array<int, 4> sectionCounts(store::Bank& bank) {
    const std::vector<store::ExamParameter> rows = store::examParameters(bank);
    std::array<int, 4> counts = {};
    for (size_t i = 0; i < counts.size() && i < rows.size(); ++i)
        counts[i] = std::max(0, rows[i].txs.trimmed().toInt());
    return counts;
}

std::vector<store::PaperItem> drawPaper(store::Bank& bank, RandomSource& random) {
    return bank.inTransaction([&] {
        for (ExamType type : sections)
            store::retagGroupQuestions(bank, type);
        const std::array<int, 4> counts = sectionCounts(bank);
        store::clearPaper(bank);
        std::vector<store::PaperItem> items;
        int number = 1;
        for (size_t s = 0; s < std::size(sections); ++s) {
            const ExamType type = sections[s];
            if (counts[s] == 0)
                continue;
            const bool firstOfPaper = number == 1;
            if (type == ExamType::SingleChoice || type == ExamType::MultipleChoice) {
                const std::vector<qint64> pool = store::questionIdsTagged(bank, type);
                for (int row : strideWalk(int(pool.size()), counts[s], firstOfPaper, random)) {
                    const std::optional<store::Question> question =
                        store::questionById(bank, pool[row]);
                    if (!question)
                        throw store::StoreError(
                            QStringLiteral("题库中没有试题 %1。").arg(pool[row]));
                    items.push_back(questionItem(number++, type, *question));
                }
                continue;
            }
            const std::vector<store::QuestionGroup> pool = store::groupsOfExamType(bank, type);
            for (int row : strideWalk(int(pool.size()), counts[s], firstOfPaper, random)) {
                const store::QuestionGroup& group = pool[row];
                if (type == ExamType::Matching) {
                    items.push_back({QString::number(number),
                                     QStringLiteral("a4"),
                                     group.content,
                                     {},
                                     QString::number(group.id),
                                     {},
                                     {},
                                     group.opnum,
                                     {}});
                } else {
                    for (const store::Question& question :
                         store::questionsOfGroup(bank, group.id)) {
                        store::PaperItem item = questionItem(number, type, question);
                        item.tid += QStringLiteral(".") + question.itemnum.trimmed();
                        item.alt = group.content;
                        item.tp.clear();
                        items.push_back(item);
                    }
                }
                ++number;
            }
        }
        for (const store::PaperItem& item : items)
            store::insertPaperItem(bank, item);
        return items;
    });
}

} // namespace exam
