#include "store/search_statements.h"

#include "store/note_statements.h"
#include "store/row_reading.h"
#include "store/rows.h"

#include <QDateTime>

namespace store {

namespace {

using detail::integerAt;
using detail::textAt;

bool indexUsable(Bank& bank) {
    return ownTablesStatus(bank, searchTables()).state == OwnTablesState::Current;
}

QString flagCondition(std::optional<CollectionFlag> flag) {
    if (flag == CollectionFlag::Favourite)
        return QStringLiteral(" AND q.scbt = '1'");
    if (flag == CollectionFlag::Wrong)
        return QStringLiteral(" AND q.ct = '1'");
    return {};
}

#define HIT_COLUMNS                                                                                \
    "SELECT q.id, q.readtextid FROM mq_search s JOIN question q ON q.id = s.rowid WHERE "
// Groups in the order they were stored (chapter by chapter in banks as made),
// questions in theirs.
#define HIT_ORDER " ORDER BY q.readtextid, q.rowid"

std::vector<SearchHit> readHits(StatementResult rows) {
    std::vector<SearchHit> hits;
    while (rows.next())
        hits.push_back({integerAt(rows.row(), 0), integerAt(rows.row(), 1)});
    return hits;
}

// How many rows one insert statement carries.
constexpr size_t rowsPerInsert = 100;

} // namespace

const OwnTableSet& searchTables() {
    // mq_search_state has one row: what the index was built from, and when.
    static const OwnTableSet set{
        QStringLiteral("search"),
        QStringLiteral("搜索索引"),
        {{QStringLiteral("CREATE VIRTUAL TABLE mq_search USING fts5("
                         "stem, options, explanation, case_text, note, tokenize = 'trigram', "
                         "columnsize = 0)"),
          QStringLiteral("CREATE TABLE mq_search_state ("
                         " id INTEGER PRIMARY KEY CHECK (id = 1),"
                         " fingerprint TEXT NOT NULL,"
                         " built_at TEXT NOT NULL)")}}};
    return set;
}

std::optional<QString> indexedFingerprint(Bank& bank) {
    if (!indexUsable(bank))
        return std::nullopt;
    StatementResult rows =
        bank.execute(QStringLiteral("SELECT fingerprint FROM mq_search_state WHERE id = 1"));
    if (!rows.next())
        return std::nullopt;
    return textAt(rows.row(), 0);
}

QString contentFingerprint(Bank& bank) {
    // Lengths are weighted by a part of the id, so that one text growing and
    // another shrinking as much still changes the figure.
    StatementResult rows = bank.execute(QStringLiteral(
        "SELECT (SELECT count(*) || ':' || total(id) || ':' || total(length(content)) || ':' || "
        " total(length(explain)) || ':' || total((length(content) + length(explain)) * (id % 997))"
        " FROM question) || '/' ||"
        " (SELECT count(*) || ':' || total(id) || ':' || total(questionid) || ':' ||"
        " total(length(content)) || ':' || total(length(content) * (id % 997)) FROM opinion)"
        " || '/' || (SELECT count(*) || ':' || total(id) || ':' || total(length(content)) || ':' ||"
        " total(length(content) * (id % 997)) FROM readtext)"));
    rows.next();
    return textAt(rows.row(), 0);
}

qint64 storedQuestionCount(Bank& bank) {
    StatementResult rows = bank.execute(QStringLiteral("SELECT count(*) FROM question"));
    rows.next();
    return integerAt(rows.row(), 0);
}

std::vector<SearchSource> searchSourcesAfter(Bank& bank, qint64 afterId, int limit) {
    const bool withNotes = ownTablesStatus(bank, noteTables()).state == OwnTablesState::Current;
    const QString note = withNotes
                             ? QStringLiteral("(SELECT text FROM mq_note WHERE question_id = q.id)")
                             : QStringLiteral("''");
    StatementResult rows = bank.execute(
        QStringLiteral("SELECT q.id, q.content, (SELECT group_concat(content, char(10)) FROM "
                       "(SELECT o.content FROM opinion o WHERE o.questionid = q.id ORDER BY "
                       "o.rowid)), q.explain, (SELECT r.content FROM readtext r WHERE r.id = "
                       "q.readtextid), ") +
            note + QStringLiteral(" FROM question q WHERE q.id > ? ORDER BY q.id LIMIT ?"),
        {afterId, limit});
    std::vector<SearchSource> sources;
    while (rows.next()) {
        const QSqlQuery& q = rows.row();
        sources.push_back({integerAt(q, 0), textAt(q, 1), textAt(q, 2), textAt(q, 3), textAt(q, 4),
                           textAt(q, 5)});
    }
    return sources;
}

void clearSearchIndex(Bank& bank) {
    bank.inTransaction([&] {
        ensureOwnTables(bank, searchTables());
        bank.execute(QStringLiteral("DELETE FROM mq_search_state"));
        bank.execute(QStringLiteral("DELETE FROM mq_search"));
    });
}

void insertSearchRows(Bank& bank, const std::vector<SearchSource>& rows) {
    for (size_t first = 0; first < rows.size(); first += rowsPerInsert) {
        const size_t end = std::min(rows.size(), first + rowsPerInsert);
        QString sql = QStringLiteral(
            "INSERT INTO mq_search (rowid, stem, options, explanation, case_text, note) VALUES ");
        QVariantList values;
        values.reserve(qsizetype(6 * (end - first)));
        for (size_t i = first; i < end; ++i) {
            const SearchSource& row = rows[i];
            sql += i == first ? QStringLiteral("(?, ?, ?, ?, ?, ?)")
                              : QStringLiteral(", (?, ?, ?, ?, ?, ?)");
            values << row.questionId << storedText(row.stem) << storedText(row.options)
                   << storedText(row.explanation) << storedText(row.caseText)
                   << storedText(row.note);
        }
        bank.execute(sql, values);
    }
}

void setIndexedFingerprint(Bank& bank, const QString& fingerprint) {
    bank.execute(QStringLiteral("INSERT INTO mq_search_state (id, fingerprint, built_at) "
                                "VALUES (1, ?, ?) ON CONFLICT (id) DO UPDATE SET "
                                "fingerprint = excluded.fingerprint, built_at = excluded.built_at"),
                 {fingerprint, QDateTime::currentDateTime().toString(Qt::ISODate)});
}

void updateSearchedNote(Bank& bank, qint64 questionId, const QString& note) {
    if (!indexUsable(bank))
        return;
    bank.execute(QStringLiteral("UPDATE mq_search SET note = ? WHERE rowid = ?"),
                 {storedText(note), questionId});
}

std::vector<SearchHit> matchingQuestions(Bank& bank, const QString& phrase,
                                         std::optional<CollectionFlag> flag) {
    return readHits(bank.execute(QStringLiteral(HIT_COLUMNS "mq_search MATCH ?") +
                                     flagCondition(flag) + QStringLiteral(HIT_ORDER),
                                 {phrase}));
}

std::vector<SearchHit> scannedQuestions(Bank& bank, const QString& text,
                                        std::optional<CollectionFlag> flag) {
    QString pattern = text;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    pattern = QLatin1Char('%') + pattern + QLatin1Char('%');
    return readHits(bank.execute(
        QStringLiteral(HIT_COLUMNS
                       "(s.stem LIKE ? ESCAPE '\\' OR s.options LIKE ? ESCAPE '\\' OR "
                       "s.explanation LIKE ? ESCAPE '\\' OR s.case_text LIKE ? ESCAPE '\\' OR "
                       "s.note LIKE ? ESCAPE '\\')") +
            flagCondition(flag) + QStringLiteral(HIT_ORDER),
        {pattern, pattern, pattern, pattern, pattern}));
}

} // namespace store
