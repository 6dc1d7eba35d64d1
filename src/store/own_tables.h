#pragma once

// Tables of our own in a bank file (named mq_…): the learning record, notes,
// the search index. The described tables are never touched here. Each set of
// tables has its own row in mq_meta holding the version of its layout, so a
// feature's tables come, grow and are checked independently of the others.

#include "store/bank.h"
#include "store/store_error.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace store {

struct OwnTableSet {
    QString name;  // its row in mq_meta, e.g. "record"
    QString title; // what the user knows it as, e.g. "学习记录"
    // steps[i] takes the set from version i to i + 1; the newest version is steps.size().
    std::vector<QStringList> steps;

    int version() const { return static_cast<int>(steps.size()); }
};

enum class OwnTablesState {
    Absent,  // never created: a valid bank, as every bank of other authors is
    Older,   // made by an earlier program; brought up to date when next written
    Current, // ready
    Newer,   // made by a later program: left alone
    Damaged, // a table or column of the set is missing: left alone
};

struct OwnTablesStatus {
    OwnTablesState state = OwnTablesState::Absent;
    int storedVersion = 0;
    QString message; // for Newer and Damaged, the text to show the user
};

// Raised when a set of tables cannot be used; the rest of the bank still can.
class OwnTablesUnusable : public StoreError {
public:
    using StoreError::StoreError;
};

// What the bank holds of `set`; reads only.
OwnTablesStatus ownTablesStatus(Bank& bank, const OwnTableSet& set);

// Makes `set`'s tables ready to be written: creates or updates mq_meta and the
// set's tables in one transaction (joining the caller's, so a first write and
// the tables it needs commit or vanish together). Throws OwnTablesUnusable,
// writing nothing, when the tables are damaged or newer than this program.
void ensureOwnTables(Bank& bank, const OwnTableSet& set);

} // namespace store
