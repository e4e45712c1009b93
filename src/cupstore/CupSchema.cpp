#include "CupSchema.h"

#include "CupTables.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <map>

namespace velmorin {

namespace {

// Version 4: the list's teams as they were read when the cup was given its list, so that a
// later reader of lists never changes how an old cup reads (a cup of an earlier version gets
// them read from its rows as they read today: fillListTeams); and no count of the play apart
// from the journal's, which is the cup's one version. A team is its rank in the list; its
// level is a number or a name.
std::vector<const char *> storedTeams()
{
    return {
        "CREATE TABLE team ("
        " rank INTEGER PRIMARY KEY CHECK (rank >= 0),"
        " name TEXT NOT NULL,"
        " club TEXT NOT NULL,"
        " level_number INTEGER CHECK (level_number >= 1),"
        " level_name TEXT,"
        " points REAL,"
        " points_text TEXT NOT NULL,"
        " line INTEGER NOT NULL CHECK (line >= 0))",
        "CREATE TABLE team_column ("
        " col_no INTEGER PRIMARY KEY CHECK (col_no >= 0),"
        " header TEXT NOT NULL)",
        "CREATE TABLE team_extra ("
        " rank INTEGER NOT NULL REFERENCES team (rank),"
        " col_no INTEGER NOT NULL REFERENCES team_column (col_no),"
        " value TEXT NOT NULL,"
        " PRIMARY KEY (rank, col_no))",
        "DROP TABLE play",
    };
}

// What a step computes beyond its statements from what the cup already holds; null: nothing.
using Fill = bool (*)(QSqlDatabase &db);
Fill fillOf(int step)
{
    return step == 3 ? &cupstoreprivate::fillListTeams : nullptr;
}

// Version 5: the entry tokens, each opening one group of one round to results entered from
// the lanes; only the token's hash is kept, so that a copy of the cup gives no token away.
std::vector<const char *> entryTokensStep()
{
    return {
        "CREATE TABLE entry_token ("
        " hash TEXT PRIMARY KEY,"
        " round INTEGER NOT NULL CHECK (round BETWEEN 1 AND 6),"
        " pool INTEGER NOT NULL CHECK (pool >= 1),"
        " made_at TEXT NOT NULL,"
        " revoked_at TEXT)",
    };
}

// Version 6: the cup's day: each round's roll-call, the lanes of each hall (the one hall: an
// empty name), each round's start (a day from 0 for Monday, or none, and a minute of the day),
// a game's length, and the games the organiser moved to another lane or time.
std::vector<const char *> dayOfTheCupStep()
{
    return {
        "CREATE TABLE roll_call ("
        " round INTEGER NOT NULL CHECK (round BETWEEN 1 AND 6),"
        " team INTEGER NOT NULL CHECK (team >= 0),"
        " present INTEGER NOT NULL CHECK (present IN (0, 1)),"
        " PRIMARY KEY (round, team))",
        "CREATE TABLE hall_lanes ("
        " hall TEXT PRIMARY KEY,"
        " first_lane INTEGER NOT NULL CHECK (first_lane >= 1),"
        " last_lane INTEGER NOT NULL CHECK (last_lane >= first_lane))",
        "CREATE TABLE round_start ("
        " round INTEGER PRIMARY KEY CHECK (round BETWEEN 1 AND 6),"
        " day INTEGER CHECK (day BETWEEN 0 AND 6),"
        " minute INTEGER NOT NULL CHECK (minute BETWEEN 0 AND 1439))",
        "CREATE TABLE game_length ("
        " id INTEGER PRIMARY KEY CHECK (id = 1),"
        " minutes INTEGER NOT NULL CHECK (minutes BETWEEN 1 AND 1440))",
        "CREATE TABLE game_move ("
        " round INTEGER NOT NULL REFERENCES draw (round),"
        " pool INTEGER NOT NULL CHECK (pool >= 1),"
        " game INTEGER NOT NULL CHECK (game BETWEEN 1 AND 3),"
        " hall TEXT,"
        " lane INTEGER CHECK (lane >= 1),"
        " day INTEGER CHECK (day BETWEEN 0 AND 6),"
        " minute INTEGER CHECK (minute BETWEEN 0 AND 1439),"
        " PRIMARY KEY (round, pool, game))",
    };
}

// Step k brings a cup from version k to version k + 1. Plain SQL that PostgreSQL reads too,
// so that the same store can run on a server.
const std::vector<std::vector<const char *>> &steps()
{
    static const std::vector<std::vector<const char *>> all{
        // Version 1: the cup's settings, its wishes, its team list, its levels, its journal.
        {
            "CREATE TABLE cup ("
            " id INTEGER PRIMARY KEY CHECK (id = 1),"
            " name TEXT NOT NULL,"
            " held_on TEXT NOT NULL,"
            " registered INTEGER NOT NULL,"
            " finale INTEGER NOT NULL,"
            " entrants1 INTEGER NOT NULL,"
            " rg1 INTEGER NOT NULL, rg2 INTEGER NOT NULL, rg3 INTEGER NOT NULL,"
            " rg4 INTEGER NOT NULL, rg5 INTEGER NOT NULL, rg6 INTEGER NOT NULL,"
            " class_number INTEGER CHECK (class_number BETWEEN 1 AND 3),"
            " position INTEGER CHECK (position >= 1),"
            // Decimal text: SQL integers are signed, a seed takes all 64 bits.
            " seed TEXT,"
            " list_file TEXT)",
            "CREATE TABLE wish ("
            " quantity INTEGER PRIMARY KEY CHECK (quantity BETWEEN 0 AND 6),"
            " lo INTEGER,"
            " hi INTEGER)",
            "CREATE TABLE list_row ("
            " row_no INTEGER PRIMARY KEY,"
            " line INTEGER NOT NULL)",
            "CREATE TABLE list_cell ("
            " row_no INTEGER NOT NULL REFERENCES list_row (row_no),"
            " col_no INTEGER NOT NULL,"
            " value TEXT NOT NULL,"
            " PRIMARY KEY (row_no, col_no))",
            "CREATE TABLE level_round ("
            " level TEXT PRIMARY KEY,"
            " round INTEGER NOT NULL CHECK (round BETWEEN 1 AND 4))",
            "CREATE TABLE level_order ("
            " rank INTEGER PRIMARY KEY,"
            " level TEXT NOT NULL UNIQUE)",
            "CREATE TABLE journal ("
            " entry INTEGER PRIMARY KEY,"
            " at TEXT NOT NULL,"
            " what TEXT NOT NULL)",
        },
        // Version 2: the cup as it is played. Teams are their index in the list; groups,
        // places and games count from 1, places from 0 (A, B, C, D).
        {
            "CREATE TABLE draw ("
            " round INTEGER PRIMARY KEY CHECK (round BETWEEN 1 AND 6),"
            " attempt INTEGER NOT NULL CHECK (attempt >= 1))",
            "CREATE TABLE draw_place ("
            " round INTEGER NOT NULL REFERENCES draw (round),"
            " pool INTEGER NOT NULL CHECK (pool >= 1),"
            " place INTEGER NOT NULL CHECK (place BETWEEN 0 AND 3),"
            " team INTEGER NOT NULL CHECK (team >= 0),"
            " PRIMARY KEY (round, pool, place))",
            "CREATE TABLE draw_exempted ("
            " round INTEGER NOT NULL REFERENCES draw (round),"
            " rank INTEGER NOT NULL CHECK (rank >= 0),"
            " team INTEGER NOT NULL CHECK (team >= 0),"
            " PRIMARY KEY (round, rank))",
            "CREATE TABLE draw_meeting ("
            " round INTEGER NOT NULL REFERENCES draw (round),"
            " rank INTEGER NOT NULL CHECK (rank >= 0),"
            " pool INTEGER NOT NULL,"
            " team_a INTEGER NOT NULL,"
            " team_b INTEGER NOT NULL,"
            " PRIMARY KEY (round, rank))",
            "CREATE TABLE result ("
            " round INTEGER NOT NULL REFERENCES draw (round),"
            " pool INTEGER NOT NULL,"
            " game INTEGER NOT NULL CHECK (game BETWEEN 1 AND 3),"
            " winner INTEGER NOT NULL,"
            " winner_score INTEGER,"
            " loser_score INTEGER,"
            " withdrawn INTEGER,"
            " PRIMARY KEY (round, pool, game))",
            "CREATE TABLE chosen_exempted ("
            " rank INTEGER PRIMARY KEY,"
            " team INTEGER NOT NULL CHECK (team >= 0))",
        },
        // Version 3: the teams that withdrew, each from a round on, and the count of the
        // changes made to the cup as it is played. A cup of version 2 kept a withdrawal only
        // as the forfeits it lost: each team's first forfeit is its withdrawal, and its
        // draws and results count as its changes.
        {
            "CREATE TABLE withdrawal ("
            " team INTEGER PRIMARY KEY CHECK (team >= 0),"
            " round INTEGER NOT NULL REFERENCES draw (round))",
            "INSERT INTO withdrawal (team, round)"
            " SELECT withdrawn, MIN(round) FROM result WHERE withdrawn IS NOT NULL"
            " GROUP BY withdrawn",
            "CREATE TABLE play ("
            " id INTEGER PRIMARY KEY CHECK (id = 1),"
            " version INTEGER NOT NULL CHECK (version >= 0))",
            "INSERT INTO play (id, version)"
            " SELECT 1, (SELECT COUNT(*) FROM draw) + (SELECT COUNT(*) FROM result)",
        },
        storedTeams(),
        entryTokensStep(),
        dayOfTheCupStep(),
    };
    return all;
}

bool runStep(QSqlDatabase &db, int step, QString &error, bool fill = true)
{
    QSqlQuery query(db);
    for (const char *statement : steps()[static_cast<std::size_t>(step)]) {
        if (!query.exec(QString::fromUtf8(statement))) {
            error = query.lastError().text();
            return false;
        }
    }
    if (fill && fillOf(step) && !fillOf(step)(db)) {
        error = QStringLiteral("les équipes de la liste n'ont pas pu être enregistrées");
        return false;
    }
    return true;
}

} // namespace

int cupSchemaVersion()
{
    return static_cast<int>(steps().size());
}

std::vector<const char *> cupSchemaStatements()
{
    std::vector<const char *> all;
    for (const std::vector<const char *> &step : steps())
        all.insert(all.end(), step.begin(), step.end());
    return all;
}

bool migrateCup(QSqlDatabase &db, int from, QString &error)
{
    for (int step = from; step < cupSchemaVersion(); ++step) {
        if (!runStep(db, step, error))
            return false;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA application_id = %1").arg(kCupApplicationId)) ||
        !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(cupSchemaVersion()))) {
        error = query.lastError().text();
        return false;
    }
    return true;
}

QStringList schemaObjectsOf(QSqlDatabase &db, QString &error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    QStringList objects;
    if (!query.exec(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema"))) {
        error = query.lastError().text();
        return {};
    }
    while (query.next()) {
        objects << query.value(0).toString() + ' ' + query.value(1).toString() + ' ' +
                       query.value(2).toString() + ' ' + query.value(3).toString();
    }
    objects.sort();
    return objects;
}

const QStringList &cupSchemaObjects(int version)
{
    static QMutex mutex;
    static std::map<int, QStringList> known;
    QMutexLocker locker(&mutex);
    auto found = known.find(version);
    if (found != known.end())
        return found->second;

    // Made once per version in a private in-memory database, from the same steps.
    const QString name = QStringLiteral("velmorin-cup-schema-%1").arg(version);
    QStringList objects;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        QString error;
        if (db.open()) {
            bool made = true;
            for (int step = 0; step < version && made; ++step)
                made = runStep(db, step, error, false);
            if (made)
                objects = schemaObjectsOf(db, error);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return known.emplace(version, objects).first->second;
}

} // namespace velmorin
