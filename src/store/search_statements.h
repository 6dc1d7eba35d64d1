#pragma once

#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/own_tables.h"
#include "store/text_function.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The search index: an FTS5 table of ours with the trigram tokenizer, one row
// per question (its stem, options, explanation, its group's case text and its
// note, as plain text), and a fingerprint of the bank content it was built from.
//
// A row's id is the question's place in results order: its group's rank in
// stored group order, shifted left by placeGroupShift, plus its rank inside
// the group. A search thus reads its hits in page order, and where a group
// ends, from the index alone; mq_search_question maps places to questions.
namespace store {

inline constexpr int placeGroupShift = 24;

const OwnTableSet& searchTables();

// The group rank a place carries: equal for the questions of one group.
inline qint64 groupRankOf(qint64 place) {
    return place >> placeGroupShift;
}

struct SearchHit {
    qint64 questionId = 0;
    qint64 groupId = 0;
};

// The fingerprint the index was built from; none when there is no usable index.
std::optional<QString> indexedFingerprint(Bank& bank);
// A fingerprint of what the index covers: counts, ids and text lengths of the
// questions, options and groups and the notes. Reads every row, in SQL.
QString contentFingerprint(Bank& bank);
qint64 storedQuestionCount(Bank& bank);

// Empties the index and gives every question its place, creating the tables
// when needed.
void clearSearchIndex(Bank& bank);
// Fills the index, `batch` questions at a time, the bank's HTML reduced by
// `plainText`; `afterBatch` hears how many questions are done (at most) after
// each batch.
void fillSearchIndex(Bank& bank, int batch, const TextFunction& plainText,
                     const std::function<void(qint64 filled)>& afterBatch);
void setIndexedFingerprint(Bank& bank, const QString& fingerprint);
// Puts a question's new note (plain text) into the index, when there is one.
void updateSearchedNote(Bank& bank, qint64 questionId, const QString& note);

// The places of the questions whose row matches `phrase`, an FTS5 phrase of
// three or more characters, ascending; only those carrying `flag` when given.
std::vector<qint64> matchingPlaces(Bank& bank, const QString& phrase,
                                   std::optional<CollectionFlag> flag);
// The same by scanning every row for `text`, for texts too short for trigrams.
std::vector<qint64> scannedPlaces(Bank& bank, const QString& text,
                                  std::optional<CollectionFlag> flag);
// The questions at `places`, in their order.
std::vector<SearchHit> questionsAtPlaces(Bank& bank, const std::vector<qint64>& places);

} // namespace store
