#pragma once

// A played cup's draws and results as the cup file's rows: read whole, and written as the
// difference from what the file holds, so that recording one result writes one row.

#include "Cup.h"

#include <optional>

class QSqlDatabase;

namespace velmorin {

// None when a row is out of place (a gap in the groups, a value out of range): a damaged file.
// Their version is the store's (the journal's), which the caller sets.
std::optional<CupRecords> readCupRecords(QSqlDatabase &db);

// Brings the rows from `before` (what the file holds) to `after`, in the caller's transaction.
bool writeCupRecords(QSqlDatabase &db, const CupRecords &before, const CupRecords &after);

} // namespace velmorin
