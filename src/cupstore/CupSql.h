#pragma once

// The cup file's connection and statements: what every source that speaks to the file needs,
// and nothing that names a table. Private to the cup store's sources.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace velmorin::cupstoreprivate {

sqlite3 *handleOf(const QSqlDatabase &db);
// Set on every connection before it reads anything: nothing in the file runs, SQLite's
// lengths and work are bounded, and closing never writes (no checkpoint).
bool guard(QSqlDatabase &db);
// A URI for `file`: never created (mode=rw), or never written (mode=ro).
QString uriOf(const QString &file, bool readOnly);
// What a connection that writes needs: full durability, foreign keys, a rollback journal.
bool prepareWriting(QSqlDatabase &db);
QString qs(const std::string &text);
QVariant optionalValue(const std::optional<std::int32_t> &value);
bool select(QSqlQuery &query, const QString &sql);
bool exec(QSqlQuery &query);
bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values = {});
// Runs `sql` on the connection's own handle and gives each row to `row` until it answers
// false: for the tables of thousands of rows, read without Qt's copies of every value.
// False when the statement fails or `row` refused a row.
bool eachRow(QSqlDatabase &db, const char *sql, const std::function<bool(sqlite3_stmt *)> &row);

} // namespace velmorin::cupstoreprivate
