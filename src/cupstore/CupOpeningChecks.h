#pragma once

// What every cup passes before it is read, and the repair of one left by a program killed
// while writing. Private to the cup store's sources.

#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace velmorin::cupstoreprivate {

// The checks every cup passes before it is read (CupStoreOpening.cpp): empty when it passed,
// else the refusal; `version` is the format the file is at. checkCup adds SQLite's check of
// the whole file, for a copy whose journal is being tried.
std::string checkIdentity(QSqlDatabase &db, const QString &path, std::int64_t &version);
std::string checkCup(QSqlDatabase &db, const QString &path, std::int64_t &version);
// SQLite's integrity check of the whole file, or of `table` and its indexes only.
bool integrityHolds(QSqlDatabase &db, const std::string &table = {});
// A cup left by a program killed while writing (a journal beside it, or the write-ahead log
// mode of older versions): brought back to one whole file when the journal is its own and the
// folder may be written; else the refusal, the file untouched (CupStoreRecovery.cpp).
std::optional<std::string> recoverIfInterrupted(const QString &path, const QString &file,
                                                bool walMode);

} // namespace velmorin::cupstoreprivate
