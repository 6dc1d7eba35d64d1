#pragma once

#include "store/bank.h"
#include "store/own_tables.h"

#include <QHash>
#include <QString>
#include <vector>

// The candidate's notes: one plain text per question, in a table of ours.
namespace store {

const OwnTableSet& noteTables();

// The notes of the given questions, by question id; none while the bank has
// no usable notes tables.
QHash<qint64, QString> notesOfQuestions(Bank& bank, const std::vector<qint64>& questionIds);
// The notes of a chapter's questions, by question id.
QHash<qint64, QString> notesOfChapter(Bank& bank, qint64 treeId);
// The notes of the questions of the given groups (readtext ids), by question id.
QHash<qint64, QString> notesOfGroups(Bank& bank, const std::vector<qint64>& groupIds);
// Stores the question's note; an empty text removes it. Creates the tables
// with the first note; throws OwnTablesUnusable when they cannot be used.
void writeNote(Bank& bank, qint64 questionId, const QString& text);

} // namespace store
