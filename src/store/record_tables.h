#pragma once

#include "store/own_tables.h"

namespace store {

// The learning record: an append-only log of sittings (a graded chapter, a
// handed-in exam, a drill) and of every question answered in them. Every
// figure the program shows about the candidate is a query over this log.
const OwnTableSet& recordTables();

} // namespace store
