#include "record/weak_points.h"

#include "practice/page_fragments.h"
#include "store/question_set_statements.h"
#include "store/record_statements.h"
#include "store/record_tables.h"

#include <QHash>
#include <QSet>

namespace record {

namespace {

// Questions of these classes share a text or a list of choices with their group.
bool keptWithGroup(const QString& typeCode) {
    bool ok = false;
    const practice::QuestionClass questionClass =
        practice::classOfCode(typeCode.trimmed().toInt(&ok));
    return ok && (questionClass == practice::QuestionClass::Case ||
                  questionClass == practice::QuestionClass::Matching);
}

} // namespace

std::vector<qint64> weakPointQuestions(store::Bank& bank, int limit) {
    const store::OwnTablesStatus status = store::ownTablesStatus(bank, store::recordTables());
    if (status.state == store::OwnTablesState::Newer ||
        status.state == store::OwnTablesState::Damaged)
        throw store::OwnTablesUnusable(status.message);
    if (status.state != store::OwnTablesState::Current || limit <= 0)
        return {};

    std::vector<qint64> picked;
    QSet<qint64> pickedSet, groupsSeen;
    // Most candidates pass; a few times the limit is read first, more when
    // too many are gone from the bank or in groups too large.
    int read = 0;
    for (int want = limit * 4;; want *= 4) {
        const std::vector<store::WrongTally> candidates = store::wrongSinceRight(bank, want);
        std::vector<store::WrongTally> fresh(candidates.begin() + read, candidates.end());
        read = int(candidates.size());
        std::vector<qint64> ids;
        for (const store::WrongTally& candidate : fresh)
            ids.push_back(candidate.questionId);
        QHash<qint64, store::QuestionPlace> places;
        for (const store::QuestionPlace& place : store::placesOfQuestions(bank, ids))
            places.insert(place.questionId, place);
        for (const store::WrongTally& candidate : fresh) {
            const auto place = places.constFind(candidate.questionId);
            if (place == places.cend() || pickedSet.contains(candidate.questionId))
                continue;
            std::vector<qint64> unit{candidate.questionId};
            if (keptWithGroup(place->typeCode)) {
                if (groupsSeen.contains(place->groupId))
                    continue;
                groupsSeen.insert(place->groupId);
                unit = store::questionIdsOfGroups(bank, {place->groupId});
            }
            if (picked.size() + unit.size() > size_t(limit))
                continue;
            for (qint64 id : unit)
                if (!pickedSet.contains(id)) {
                    pickedSet.insert(id);
                    picked.push_back(id);
                }
            if (picked.size() == size_t(limit))
                return picked;
        }
        if (read < want)
            return picked;
    }
}

} // namespace record
