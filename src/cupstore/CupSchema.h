#pragma once

// The cup file's tables, in one place: each version is one step from the version before, so
// the next version is one more step at the end of the list (CupSchema.cpp).

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QSqlDatabase;

namespace velmorin {

// "VLMR": what tells a cup from any other SQLite database (PRAGMA application_id).
constexpr std::uint32_t kCupApplicationId = 0x564C4D52;
// The version this program writes (PRAGMA user_version); 0 is a database without our tables.
int cupSchemaVersion();

// Every statement of every step, in order: what makes an empty cup of cupSchemaVersion(), for
// a store that is not a file (a cup on a PostgreSQL server makes the same tables).
std::vector<const char *> cupSchemaStatements();

// Brings the database from `from` (0: empty) to cupSchemaVersion(), step by step, in the
// caller's transaction; false on the first statement that fails, with its error in `error`.
bool migrateCup(QSqlDatabase &db, int from, QString &error);

// The objects a cup of `version` holds ("type name sql", sorted), as a fresh database made by
// the steps shows them: a file holding anything else is not one of ours.
const QStringList &cupSchemaObjects(int version);

// The same, read from a database's sqlite_schema; empty with `error` set when unreadable.
QStringList schemaObjectsOf(QSqlDatabase &db, QString &error);

} // namespace velmorin
