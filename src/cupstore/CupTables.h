#pragma once

// The cup's settings and journal as the file's tables: each written in the caller's
// transaction, and read back checked. Private to the cup store's sources.

#include "CupChanges.h"
#include "CupSetup.h"

#include <QSqlDatabase>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmorin::cupstoreprivate {

bool writeWish(QSqlDatabase &db, Quantity quantity, const Interval &interval);
bool writeList(QSqlDatabase &db, const std::optional<ImportedList> &list);
bool writeTeams(QSqlDatabase &db, const std::optional<TeamList> &teams);
// A cup of an earlier format: its list's teams read from its rows as they read today, and
// kept (a migration step; nothing to do in a cup being made).
bool fillListTeams(QSqlDatabase &db);
bool writeLevelRounds(QSqlDatabase &db, const std::vector<LevelRoundChoice> &rounds);
bool writeLevelOrder(QSqlDatabase &db, const std::vector<std::string> &levels);
bool writeAll(QSqlDatabase &db, const CupSetup &setup);
bool writeJournal(QSqlDatabase &db, const std::string &what);
std::optional<CupSetup> readSetup(QSqlDatabase &db);
// The cup's version: its journal's last entry, one more for every change.
std::optional<std::uint64_t> readVersion(QSqlDatabase &db);
// The journal's entries after `version`, oldest first; none when unreadable.
std::optional<std::vector<CupChange>> readChanges(QSqlDatabase &db, std::uint64_t version);
std::vector<LevelRoundChoice> sortedRounds(std::vector<LevelRoundChoice> rounds);
std::string intervalText(const Interval &interval);

} // namespace velmorin::cupstoreprivate
