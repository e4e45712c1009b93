// The cup file's connection and statements, through Qt SQL and SQLite's own handle.

#include "CupSql.h"

#include <QSqlDriver>
#include <QUrl>

#include <sqlite3.h>

namespace velmorin::cupstoreprivate {

sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isValid() || db.driver() == nullptr)
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// Untrusted files: no schema may run anything (trusted_schema), and the defensive mode
// forbids what could corrupt the file on purpose (writable_schema and the like). The limits
// are far above what a cup holds (a list cell, a journal line) and far below what would hold
// the program: a hostile file is refused, not read at length.
bool guard(QSqlDatabase &db)
{
    sqlite3 *handle = handleOf(db);
    if (handle == nullptr)
        return false;
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // A connection that only reads or is refused must leave the file as it was.
    sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, 1 << 20);
    sqlite3_limit(handle, SQLITE_LIMIT_SQL_LENGTH, 1 << 16);
    sqlite3_limit(handle, SQLITE_LIMIT_EXPR_DEPTH, 64);
    sqlite3_limit(handle, SQLITE_LIMIT_COMPOUND_SELECT, 4);
    sqlite3_limit(handle, SQLITE_LIMIT_VDBE_OP, 10000);
    sqlite3_limit(handle, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(handle, SQLITE_LIMIT_ATTACHED, 1); // VACUUM INTO takes one
    sqlite3_limit(handle, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 64);
    sqlite3_limit(handle, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    QSqlQuery query(db);
    return query.exec(QStringLiteral("PRAGMA trusted_schema = OFF")) &&
           query.exec(QStringLiteral("PRAGMA cell_size_check = ON"));
}

QString uriOf(const QString &file, bool readOnly)
{
    return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) +
           (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

bool prepareWriting(QSqlDatabase &db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("PRAGMA synchronous = FULL")) &&
           query.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
}

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

QVariant optionalValue(const std::optional<std::int32_t> &value)
{
    return value ? QVariant(static_cast<qint64>(*value)) : QVariant();
}

// A forward-only reading: rows are read once, in order, without being kept.
bool select(QSqlQuery &query, const QString &sql)
{
    query.setForwardOnly(true);
    return query.exec(sql);
}

bool exec(QSqlQuery &query)
{
    return query.exec();
}

bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

} // namespace velmorin::cupstoreprivate
