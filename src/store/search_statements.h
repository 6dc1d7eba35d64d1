#pragma once

#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/own_tables.h"

#include <QString>
#include <optional>
#include <vector>

// The search index: an FTS5 table of ours with the trigram tokenizer, one row
// per question (its stem, options, explanation, its group's case text and its
// note, as plain text), and a fingerprint of the bank content it was built from.
namespace store {

const OwnTableSet& searchTables();

// What a question's index row is made of, as the bank holds it (HTML).
struct SearchSource {
    qint64 questionId = 0;
    QString stem;
    QString options; // every option's text, one a line
    QString explanation;
    QString caseText;
    QString note;
};

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
// Up to `limit` questions with ids above `afterId`, in id order.
std::vector<SearchSource> searchSourcesAfter(Bank& bank, qint64 afterId, int limit);

// Empties the index, creating its tables when needed.
void clearSearchIndex(Bank& bank);
// Adds rows already reduced to plain text.
void insertSearchRows(Bank& bank, const std::vector<SearchSource>& rows);
void setIndexedFingerprint(Bank& bank, const QString& fingerprint);
// Puts a question's new note (plain text) into the index, when there is one.
void updateSearchedNote(Bank& bank, qint64 questionId, const QString& note);

// The questions whose row matches `phrase`, an FTS5 phrase of three or more
// characters, in page order (groups and their questions as stored); only those
// carrying `flag` when given.
std::vector<SearchHit> matchingQuestions(Bank& bank, const QString& phrase,
                                         std::optional<CollectionFlag> flag);
// The same by scanning every row for `text`, for texts too short for trigrams.
std::vector<SearchHit> scannedQuestions(Bank& bank, const QString& text,
                                        std::optional<CollectionFlag> flag);

} // namespace store
