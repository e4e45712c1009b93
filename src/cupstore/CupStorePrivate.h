#pragma once

// What the cup file's sources share: the statements' plumbing and the tables' writing and
// reading. Private to CupStore.cpp, CupStoreOpening.cpp and CupStoreTables.cpp.

#include "CupSetup.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace velmorin::cupstoreprivate {

std::string nameOf(const QString &path);
sqlite3 *handleOf(const QSqlDatabase &db);
bool guard(QSqlDatabase &db);
std::string quoted(const std::string &text);
QString qs(const std::string &text);
QVariant optionalValue(const std::optional<std::int32_t> &value);
bool select(QSqlQuery &query, const QString &sql);
bool exec(QSqlQuery &query);
bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values = {});

// The tables, written and read back (CupStoreTables.cpp).
bool writeWish(QSqlDatabase &db, Quantity quantity, const Interval &interval);
bool writeList(QSqlDatabase &db, const std::optional<ImportedList> &list);
bool writeLevelRounds(QSqlDatabase &db, const std::vector<LevelRoundChoice> &rounds);
bool writeLevelOrder(QSqlDatabase &db, const std::vector<std::string> &levels);
bool writeAll(QSqlDatabase &db, const CupSetup &setup);
bool writeJournal(QSqlDatabase &db, const std::string &what);
std::optional<CupSetup> readSetup(QSqlDatabase &db);
std::vector<LevelRoundChoice> sortedRounds(std::vector<LevelRoundChoice> rounds);
std::string intervalText(const Interval &interval);

} // namespace velmorin::cupstoreprivate
