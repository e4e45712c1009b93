#pragma once

// What the cup file's sources share: the statements' plumbing and the tables' writing and
// reading. Private to CupStore.cpp, CupStoreOpening.cpp and CupStoreTables.cpp, and to the
// server's cup (postgres/ServerCup.cpp), which reads its tables with the same functions.

#include "CupSetup.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velmorin::cupstoreprivate {

std::string nameOf(const QString &path);
sqlite3 *handleOf(const QSqlDatabase &db);
// Set on every connection before it reads anything: nothing in the file runs, SQLite's
// lengths and work are bounded, and closing never writes (no checkpoint).
bool guard(QSqlDatabase &db);
// A URI for `file`: never created (mode=rw), or never written (mode=ro).
QString uriOf(const QString &file, bool readOnly);
// What a connection that writes needs: full durability, foreign keys, a rollback journal.
bool prepareWriting(QSqlDatabase &db);
// The cup's version: its journal's last entry, bumped by every write.
std::optional<std::uint64_t> readVersion(QSqlDatabase &db);
std::string changedMeanwhile(const QString &path);
std::string notACup(const QString &path);
std::string damaged(const QString &path);

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
std::string quoted(const std::string &text);
QString qs(const std::string &text);
QVariant optionalValue(const std::optional<std::int32_t> &value);
bool select(QSqlQuery &query, const QString &sql);
bool exec(QSqlQuery &query);
bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values = {});
// Runs `sql` on the connection's own handle and gives each row to `row` until it answers
// false: for the tables of thousands of rows, read without Qt's copies of every value.
// False when the statement fails or `row` refused a row.
bool eachRow(QSqlDatabase &db, const char *sql, const std::function<bool(sqlite3_stmt *)> &row);

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
