#include "store/note_statements.h"

#include "store/row_reading.h"

#include <QDateTime>

namespace store {

namespace {

bool notesReadable(Bank& bank) {
    return ownTablesStatus(bank, noteTables()).state == OwnTablesState::Current;
}

QHash<qint64, QString> readNotes(StatementResult rows) {
    QHash<qint64, QString> notes;
    while (rows.next())
        notes.insert(detail::integerAt(rows.row(), 0), detail::textAt(rows.row(), 1));
    return notes;
}

} // namespace

const OwnTableSet& noteTables() {
    // written_at is local time, ISO 8601.
    static const OwnTableSet set{QStringLiteral("notes"),
                                 QStringLiteral("笔记"),
                                 {{QStringLiteral("CREATE TABLE mq_note ("
                                                  " question_id INTEGER PRIMARY KEY,"
                                                  " text TEXT NOT NULL,"
                                                  " written_at TEXT NOT NULL)")}}};
    return set;
}

QHash<qint64, QString> notesOfQuestions(Bank& bank, const std::vector<qint64>& questionIds) {
    if (questionIds.empty() || !notesReadable(bank))
        return {};
    return readNotes(
        bank.execute(QStringLiteral("SELECT question_id, text FROM mq_note "
                                    "WHERE question_id IN (SELECT value FROM json_each(?))"),
                     {detail::idArray(questionIds)}));
}

QHash<qint64, QString> notesOfChapter(Bank& bank, qint64 treeId) {
    if (!notesReadable(bank))
        return {};
    return readNotes(
        bank.execute(QStringLiteral("SELECT n.question_id, n.text FROM mq_note n "
                                    "JOIN question q ON q.id = n.question_id "
                                    "JOIN readtext r ON r.id = q.readtextid WHERE r.treeid = ?"),
                     {treeId}));
}

QHash<qint64, QString> notesOfGroups(Bank& bank, const std::vector<qint64>& groupIds) {
    if (groupIds.empty() || !notesReadable(bank))
        return {};
    return readNotes(
        bank.execute(QStringLiteral("SELECT n.question_id, n.text FROM mq_note n "
                                    "JOIN question q ON q.id = n.question_id "
                                    "WHERE q.readtextid IN (SELECT value FROM json_each(?))"),
                     {detail::idArray(groupIds)}));
}

void writeNote(Bank& bank, qint64 questionId, const QString& text) {
    bank.inTransaction([&] {
        ensureOwnTables(bank, noteTables());
        if (text.isEmpty()) {
            bank.execute(QStringLiteral("DELETE FROM mq_note WHERE question_id = ?"), {questionId});
            return;
        }
        bank.execute(QStringLiteral("INSERT INTO mq_note (question_id, text, written_at) "
                                    "VALUES (?, ?, ?) ON CONFLICT (question_id) DO UPDATE SET "
                                    "text = excluded.text, written_at = excluded.written_at"),
                     {questionId, text, QDateTime::currentDateTime().toString(Qt::ISODate)});
    });
}

} // namespace store
