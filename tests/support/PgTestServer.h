#pragma once

// The throwaway PostgreSQL server the pg_server fixture starts for the tests
// (scripts/pg-test-server.sh): a socket in $VELMORIN_PG_TEST_DIR, local connections trusted,
// the superuser "postgres". A test skips only when PostgreSQL is not installed.

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTest>

namespace velmorin::testing {

struct PgTestServer
{
    QString socketDir;
    QString skipped; // why there is no server: PostgreSQL is not installed
    QString failed;  // why there is no server otherwise
};

inline PgTestServer pgTestServer()
{
    const QString dir = qEnvironmentVariable("VELMORIN_PG_TEST_DIR");
    if (dir.isEmpty())
        return {{},
                {},
                QStringLiteral("VELMORIN_PG_TEST_DIR is not set: run through ctest, "
                               "whose pg_server fixture starts the server")};
    QFile absent(dir + QStringLiteral("/absent"));
    if (absent.open(QIODevice::ReadOnly))
        return {{}, QString::fromUtf8(absent.readAll()).trimmed(), {}};
    if (!QFile::exists(dir + QStringLiteral("/.s.PGSQL.5432")))
        return {{}, {}, QStringLiteral("no PostgreSQL server listens in ") + dir};
    return {dir, {}, {}};
}

// In a test function or initTestCase: the server's socket folder, or the test skipped (no
// PostgreSQL) or failed (no server although PostgreSQL is there).
#define VELMORIN_PG_SERVER(variable)                                                               \
    const velmorin::testing::PgTestServer variable##Server = velmorin::testing::pgTestServer();    \
    if (!variable##Server.skipped.isEmpty())                                                       \
        QSKIP(qPrintable(variable##Server.skipped));                                               \
    if (!variable##Server.failed.isEmpty())                                                        \
        QFAIL(qPrintable(variable##Server.failed));                                                \
    const QString variable = variable##Server.socketDir

// A connection named `name` to `database` as `role` through the socket in `socketDir`.
inline QSqlDatabase pgConnect(const QString &name, const QString &socketDir, const QString &role,
                              const QString &database)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(socketDir);
    db.setUserName(role);
    db.setDatabaseName(database);
    db.open();
    return db;
}

// As the superuser: a fresh database owned by `owner` and fresh login roles, one test's own
// (their names carry its prefix: the server's roles are shared by the tests that run at once).
inline QString pgFreshDatabase(const QString &socketDir, const QString &database,
                               const QString &owner, const QStringList &roles)
{
    QString error;
    {
        QSqlDatabase admin = pgConnect(QStringLiteral("pg-admin"), socketDir,
                                       QStringLiteral("postgres"), QStringLiteral("postgres"));
        QSqlQuery query(admin);
        QStringList statements{
            QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(database)};
        const QStringList everyone = QStringList(roles) << owner;
        for (const QString &role : everyone)
            statements << QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(role)
                       << QStringLiteral("CREATE ROLE \"%1\" LOGIN").arg(role);
        statements << QStringLiteral("CREATE DATABASE \"%1\" OWNER \"%2\"").arg(database, owner);
        for (const QString &statement : statements) {
            if (error.isEmpty() && !query.exec(statement))
                error = statement + QStringLiteral(": ") + query.lastError().text();
        }
        if (!admin.isOpen())
            error = admin.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("pg-admin"));
    return error;
}

} // namespace velmorin::testing
