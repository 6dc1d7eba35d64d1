#include "store/search_statements.h"

#include "store/id_list.h"
#include "store/note_statements.h"
#include "store/row_reading.h"
#include "store/rows.h"
#include "store/text_function.h"

#include <QDateTime>
#include <algorithm>

namespace store {

namespace {

using detail::allRows;
using detail::firstRow;
using detail::flagCondition;
using detail::idArray;
using detail::integerAt;
using detail::textAt;

bool indexUsable(Bank& bank) {
    return ownTablesStatus(bank, searchTables()).state == OwnTablesState::Current;
}

std::vector<qint64> placesOf(StatementResult rows) {
    std::vector<qint64> places;
    if (rows.next())
        places = detail::idsOfList(textAt(rows.row(), 0));
    // Ascending as the index hands them out; sorted here so as not to rely on it.
    if (!std::is_sorted(places.begin(), places.end()))
        std::sort(places.begin(), places.end());
    return places;
}

// The places of the index rows matching `condition`, limited to the
// questions carrying `flag` when given (by their id, through the place map).
StatementResult placesWhere(Bank& bank, const QString& condition,
                            std::optional<CollectionFlag> flag, const QVariantList& values) {
    if (!flag)
        return bank.execute(QStringLiteral("SELECT group_concat(s.rowid) FROM mq_search s WHERE ") +
                                condition,
                            values);
    return bank.execute(QStringLiteral("SELECT group_concat(s.rowid) FROM mq_search s "
                                       "JOIN mq_search_question m ON m.place = s.rowid "
                                       "JOIN question q ON q.id = m.question_id WHERE ") +
                            condition + flagCondition(flag),
                        values);
}

const QString createIndexTable = QStringLiteral(
    "CREATE VIRTUAL TABLE mq_search USING fts5(stem, options, explanation, case_text, note, "
    "tokenize = 'trigram', columnsize = 0)");

// The name statements call the plain-text reduction by while the index is filled.
constexpr char plainTextFunction[] = "mq_plain_text";

} // namespace

const OwnTableSet& searchTables() {
    // mq_search_state has one row: what the index was built from, and when.
    static const OwnTableSet set{
        QStringLiteral("search"),
        QStringLiteral("搜索索引"),
        {{createIndexTable, QStringLiteral("CREATE TABLE mq_search_state ("
                                           " id INTEGER PRIMARY KEY CHECK (id = 1),"
                                           " fingerprint TEXT NOT NULL,"
                                           " built_at TEXT NOT NULL)")},
         // Rows by their place in results order (see search_statements.h);
         // an index of the older layout is dropped and built again.
         {QStringLiteral("DROP TABLE mq_search"), createIndexTable,
          QStringLiteral("CREATE TABLE mq_search_question ("
                         " place INTEGER PRIMARY KEY,"
                         " question_id INTEGER NOT NULL,"
                         " group_id INTEGER NOT NULL)"),
          QStringLiteral("CREATE INDEX mq_search_question_id ON mq_search_question (question_id)"),
          QStringLiteral("DELETE FROM mq_search_state")}}};
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

void clearSearchIndex(Bank& bank) {
    bank.inTransaction([&] {
        ensureOwnTables(bank, searchTables());
        bank.execute(QStringLiteral("DELETE FROM mq_search_state"));
        // Dropped rather than emptied: deleting from it row by row reads every row again.
        bank.execute(QStringLiteral("DROP TABLE mq_search"));
        bank.execute(createIndexTable);
        bank.execute(QStringLiteral("DELETE FROM mq_search_question"));
        // Groups in the order they were stored (chapter by chapter in banks
        // as made), questions in theirs.
        bank.execute(
            QStringLiteral("INSERT INTO mq_search_question (place, question_id, group_id) "
                           "SELECT ((dense_rank() OVER (ORDER BY readtextid)) << ?) + "
                           "row_number() OVER (PARTITION BY readtextid ORDER BY rowid) - 1, "
                           "id, readtextid FROM question"),
            {placeGroupShift});
    });
}

void fillSearchIndex(Bank& bank, int batch, const TextFunction& plainText,
                     const std::function<void(qint64 filled)>& afterBatch) {
    const bool withNotes = ownTablesStatus(bank, noteTables()).state == OwnTablesState::Current;
    const QString insert =
        QStringLiteral("INSERT INTO mq_search (rowid, stem, options, explanation, case_text, note) "
                       "SELECT m.place, mq_plain_text(q.content), mq_plain_text((SELECT "
                       "group_concat(content, char(10)) FROM (SELECT o.content FROM opinion o "
                       "WHERE o.questionid = q.id ORDER BY o.rowid))), mq_plain_text(q.explain), "
                       "mq_plain_text(r.content), ") +
        (withNotes ? QStringLiteral("(SELECT text FROM mq_note WHERE question_id = q.id)")
                   : QStringLiteral("''")) +
        QStringLiteral(" FROM mq_search_question m JOIN question q ON q.id = m.question_id "
                       "LEFT JOIN readtext r ON r.id = m.group_id "
                       "WHERE m.place > ? AND m.place <= ? ORDER BY m.place");
    withTextFunction(bank, plainTextFunction, plainText, [&] {
        qint64 filled = 0;
        for (qint64 afterPlace = 0;;) {
            const std::optional<qint64> lastPlace =
                firstRow<std::optional<qint64>>(
                    bank.execute(QStringLiteral(
                                     "SELECT max(place) FROM (SELECT place FROM mq_search_question "
                                     "WHERE place > ? ORDER BY place LIMIT ?)"),
                                 {afterPlace, batch}),
                    [](const QSqlQuery& q) {
                        return q.value(0).isNull() ? std::nullopt
                                                   : std::optional<qint64>(integerAt(q, 0));
                    })
                    .value_or(std::nullopt);
            if (!lastPlace)
                return;
            bank.execute(insert, {afterPlace, *lastPlace});
            afterPlace = *lastPlace;
            filled += batch;
            if (afterBatch)
                afterBatch(filled);
        }
    });
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
    bank.execute(QStringLiteral("UPDATE mq_search SET note = ? WHERE rowid IN "
                                "(SELECT place FROM mq_search_question WHERE question_id = ?)"),
                 {storedText(note), questionId});
}

std::vector<qint64> matchingPlaces(Bank& bank, const QString& phrase,
                                   std::optional<CollectionFlag> flag) {
    return placesOf(placesWhere(bank, QStringLiteral("mq_search MATCH ?"), flag, {phrase}));
}

std::vector<qint64> scannedPlaces(Bank& bank, const QString& text,
                                  std::optional<CollectionFlag> flag) {
    QString pattern = text;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    pattern = QLatin1Char('%') + pattern + QLatin1Char('%');
    return placesOf(placesWhere(
        bank,
        QStringLiteral("(s.stem LIKE ? ESCAPE '\\' OR s.options LIKE ? ESCAPE '\\' OR "
                       "s.explanation LIKE ? ESCAPE '\\' OR s.case_text LIKE ? ESCAPE '\\' OR "
                       "s.note LIKE ? ESCAPE '\\')"),
        flag, {pattern, pattern, pattern, pattern, pattern}));
}

std::vector<SearchHit> questionsAtPlaces(Bank& bank, const std::vector<qint64>& places) {
    return allRows<SearchHit>(
        bank.execute(
            QStringLiteral("SELECT m.question_id, m.group_id FROM json_each(?) j "
                           "JOIN mq_search_question m ON m.place = j.value ORDER BY j.key"),
            {idArray(places)}),
        [](const QSqlQuery& q) {
            return SearchHit{integerAt(q, 0), integerAt(q, 1)};
        });
}

} // namespace store
