#include "ServerCup.h"

#include "CupRecordRows.h"
#include "CupSchema.h"
#include "CupMessages.h"
#include "CupSql.h"
#include "CupTables.h"

#include <QAtomicInt>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>

namespace velmorin {

using cupstoreprivate::qs;

namespace {

// The file's tables as PostgreSQL needs them beside the statements they share: the journal
// numbers its own entries, one more than the last as the file does (a sequence would skip the
// numbers of lines rolled back, and the last entry is the cup's version), and level keys sort
// by their bytes, as the file sorts them.
constexpr const char *kServerAdjustments[] = {
    "CREATE FUNCTION journal_entry() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
    " IF NEW.entry IS NULL THEN"
    " EXECUTE format('SELECT coalesce(max(entry), 0) + 1 FROM %I.journal', TG_TABLE_SCHEMA)"
    " INTO NEW.entry;"
    " END IF;"
    " RETURN NEW; END $$",
    "CREATE TRIGGER journal_entry BEFORE INSERT ON journal FOR EACH ROW"
    " EXECUTE FUNCTION journal_entry()",
    "ALTER TABLE level_round ALTER COLUMN level TYPE TEXT COLLATE \"C\"",
    "ALTER TABLE level_order ALTER COLUMN level TYPE TEXT COLLATE \"C\"",
    // A file's REAL is eight bytes, PostgreSQL's four: a team's points would not come back.
    "ALTER TABLE team ALTER COLUMN points TYPE DOUBLE PRECISION",
    "CREATE TABLE cup_format ("
    " id INTEGER PRIMARY KEY CHECK (id = 1),"
    " version INTEGER NOT NULL)",
    "CREATE TABLE venue ("
    " name TEXT PRIMARY KEY CHECK (name <> ''),"
    " role TEXT NOT NULL UNIQUE)",
    // A group drawn again is a new group: its venue goes with the old draw.
    "CREATE TABLE venue_pool ("
    " round INTEGER NOT NULL REFERENCES draw (round) ON DELETE CASCADE,"
    " pool INTEGER NOT NULL CHECK (pool >= 1),"
    " venue TEXT NOT NULL REFERENCES venue (name),"
    " PRIMARY KEY (round, pool))",
};

// Whether the connected role is the venue of a round's group. Written into each policy (not a
// function), so that its tables are the cup's own whatever a venue's search_path says.
const char *const kVenueHolds = "EXISTS (SELECT 1 FROM venue_pool vp JOIN venue v ON v.name = "
                                "vp.venue WHERE vp.round = %1.round AND vp.pool = %1.pool AND "
                                "v.role = current_user::text)";
const char *const kVenueHoldsTeam =
    "EXISTS (SELECT 1 FROM draw_place dp JOIN venue_pool vp ON vp.round = dp.round AND vp.pool "
    "= dp.pool JOIN venue v ON v.name = vp.venue WHERE dp.round = withdrawal.round AND dp.team "
    "= withdrawal.team AND v.role = current_user::text)";

QStringList rowSecurity()
{
    QStringList statements;
    const QString results = QString::fromLatin1(kVenueHolds).arg(QStringLiteral("result"));
    const QString withdrawals = QString::fromLatin1(kVenueHoldsTeam);
    for (const auto &[table, holds] : {std::pair{QStringLiteral("result"), results},
                                       std::pair{QStringLiteral("withdrawal"), withdrawals}}) {
        statements << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table)
                   << QStringLiteral("CREATE POLICY everyone_reads ON %1 FOR SELECT USING (true)")
                          .arg(table)
                   << QStringLiteral("CREATE POLICY venue_records ON %1 FOR INSERT WITH CHECK "
                                     "(%2)")
                          .arg(table, holds)
                   << QStringLiteral("CREATE POLICY venue_corrects ON %1 FOR UPDATE USING (%2) "
                                     "WITH CHECK (%2)")
                          .arg(table, holds)
                   << QStringLiteral("CREATE POLICY venue_withdraws ON %1 FOR DELETE USING (%2)")
                          .arg(table, holds);
    }
    return statements;
}

std::string quoted(const std::string &text)
{
    return "« " + text + " »";
}

bool deniedRight(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("42501"); // insufficient_privilege
}

// The server's answer in the organiser's words: a refused right is said as such.
std::string serverFailure(const QSqlError &error, const std::string &doing)
{
    if (deniedRight(error))
        return "Le serveur refuse : ce rôle n'a pas le droit de " + doing + ".";
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return "Le serveur n'a pas pu " + doing + " : " + text.trimmed().toStdString() + ".";
}

ServerAnswer refusedAnswer(std::string message)
{
    return {ServerAnswer::Outcome::Refused, std::move(message)};
}

ServerAnswer failedAnswer(const QSqlError &error, const std::string &doing)
{
    return {deniedRight(error) ? ServerAnswer::Outcome::Refused : ServerAnswer::Outcome::Failed,
            serverFailure(error, doing)};
}

// Runs `sql` with its values; the first failure is kept in `error` and the rest is skipped.
class Statements
{
public:
    explicit Statements(QSqlDatabase &db) : m_db(db) {}

    bool run(const QString &sql, const QVariantList &values = {})
    {
        if (m_failed)
            return false;
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        bool ok = values.isEmpty() ? query.exec(sql) : query.prepare(sql);
        if (ok && !values.isEmpty()) {
            for (const QVariant &value : values)
                query.addBindValue(value);
            ok = query.exec();
        }
        if (!ok) {
            m_failed = true;
            m_error = query.lastError();
        }
        return ok;
    }

    // One table's rows in one statement, whatever their number: a round trip per row would
    // make a large cup slow to publish.
    bool insertRows(const char *table, const QJsonArray &rows)
    {
        if (rows.isEmpty())
            return !m_failed;
        return run(
            QStringLiteral("INSERT INTO %1 SELECT * FROM json_populate_recordset(NULL::%1, ?)")
                .arg(QLatin1String(table)),
            {QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact))});
    }

    // The value of a one-row, one-column query; invalid when there is no row.
    QVariant value(const QString &sql, const QVariantList &values = {})
    {
        if (m_failed)
            return {};
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        bool ok = query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = ok && query.exec();
        if (!ok) {
            m_failed = true;
            m_error = query.lastError();
            return {};
        }
        return query.next() ? query.value(0) : QVariant();
    }

    bool failed() const { return m_failed; }
    const QSqlError &error() const { return m_error; }

private:
    QSqlDatabase &m_db;
    bool m_failed = false;
    QSqlError m_error;
};

QJsonValue optionalJson(const std::optional<int> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

// The cup's rows, table by table, in the order the tables' references need.
bool insertCopy(Statements &sql, const CupCopy &copy)
{
    const CupSetup &setup = copy.setup;
    QJsonObject cup{
        {"id", 1},
        {"name", qs(setup.name)},
        {"held_on", qs(setup.date)},
        {"registered", setup.registered},
        {"finale", setup.finale},
        {"entrants1", setup.entrants1},
        {"class_number", optionalJson(setup.classNumber)},
        {"position", optionalJson(setup.position)},
        {"seed", setup.seed ? QJsonValue(QString::number(*setup.seed)) : QJsonValue()},
        {"list_file", setup.list ? QJsonValue(qs(setup.list->fileName)) : QJsonValue()}};
    for (std::size_t k = 0; k < kRatioGroups; ++k)
        cup.insert(QStringLiteral("rg%1").arg(k + 1), setup.ratioChoices[k]);
    QJsonArray wishes;
    for (Quantity quantity : kQuantities) {
        const Interval &interval = setup.wishes[quantityIndex(quantity)];
        if (interval.bounded())
            wishes.append(QJsonObject{{"quantity", static_cast<int>(quantityIndex(quantity))},
                                      {"lo", optionalJson(interval.lo)},
                                      {"hi", optionalJson(interval.hi)}});
    }
    QJsonArray rows;
    QJsonArray cells;
    if (setup.list) {
        for (std::size_t r = 0; r < setup.list->rows.size(); ++r) {
            const SourceRow &row = setup.list->rows[r];
            rows.append(QJsonObject{{"row_no", static_cast<qint64>(r)},
                                    {"line", static_cast<qint64>(row.line)}});
            for (std::size_t c = 0; c < row.cells.size(); ++c)
                cells.append(QJsonObject{{"row_no", static_cast<qint64>(r)},
                                         {"col_no", static_cast<qint64>(c)},
                                         {"value", qs(row.cells[c])}});
        }
    }
    QJsonArray levelRounds;
    for (const LevelRoundChoice &choice : setup.levelRounds)
        levelRounds.append(QJsonObject{{"level", qs(choice.level)}, {"round", choice.round}});
    QJsonArray levelOrder;
    for (std::size_t k = 0; k < setup.levelOrder.size(); ++k)
        levelOrder.append(
            QJsonObject{{"rank", static_cast<qint64>(k)}, {"level", qs(setup.levelOrder[k])}});
    QJsonArray journal;
    for (std::size_t k = 0; k < copy.journal.size(); ++k)
        journal.append(QJsonObject{{"entry", static_cast<qint64>(k + 1)},
                                   {"at", qs(copy.journal[k].at)},
                                   {"what", qs(copy.journal[k].what)}});

    QJsonArray teams, columns, extras;
    if (setup.teams) {
        for (std::size_t c = 0; c < setup.teams->extraColumns.size(); ++c)
            columns.append(QJsonObject{{"col_no", static_cast<qint64>(c)},
                                       {"header", qs(setup.teams->extraColumns[c])}});
        for (std::size_t k = 0; k < setup.teams->teams.size(); ++k) {
            const Team &t = setup.teams->teams[k];
            const bool number = t.level && t.level->isNumber();
            teams.append(QJsonObject{
                {"rank", static_cast<qint64>(k)},
                {"name", qs(t.name)},
                {"club", qs(t.club)},
                {"level_number", number ? QJsonValue(t.level->number()) : QJsonValue()},
                {"level_name", t.level && !number ? QJsonValue(qs(t.level->text())) : QJsonValue()},
                {"points", t.points ? QJsonValue(*t.points) : QJsonValue()},
                {"points_text", qs(t.pointsText)},
                {"line", static_cast<qint64>(t.line)}});
            for (std::size_t c = 0; c < t.extra.size(); ++c)
                extras.append(QJsonObject{{"rank", static_cast<qint64>(k)},
                                          {"col_no", static_cast<qint64>(c)},
                                          {"value", qs(t.extra[c])}});
        }
    }
    QJsonArray tokens;
    for (const CupEntryToken &token : copy.tokens)
        tokens.append(QJsonObject{
            {"hash", qs(token.hash)},
            {"round", token.round},
            {"pool", token.group},
            {"made_at", qs(token.madeAt)},
            {"revoked_at", token.revokedAt ? QJsonValue(qs(*token.revokedAt)) : QJsonValue()}});

    const CupRecords &records = copy.records;
    QJsonArray draws, places, exempted, meetings, results, chosen, withdrawals;
    for (const DrawRecord &draw : records.draws) {
        draws.append(QJsonObject{{"round", draw.round}, {"attempt", draw.attempt}});
        for (std::size_t g = 0; g < draw.groups.size(); ++g) {
            for (std::size_t p = 0; p < draw.groups[g].size(); ++p)
                places.append(QJsonObject{{"round", draw.round},
                                          {"pool", static_cast<int>(g + 1)},
                                          {"place", static_cast<int>(p)},
                                          {"team", draw.groups[g][p]}});
        }
        for (std::size_t k = 0; k < draw.exempted.size(); ++k)
            exempted.append(QJsonObject{
                {"round", draw.round}, {"rank", static_cast<int>(k)}, {"team", draw.exempted[k]}});
        for (std::size_t k = 0; k < draw.meetings.size(); ++k) {
            const Meeting &m = draw.meetings[k];
            meetings.append(QJsonObject{{"round", draw.round},
                                        {"rank", static_cast<int>(k)},
                                        {"pool", m.group},
                                        {"team_a", m.teamA},
                                        {"team_b", m.teamB}});
        }
    }
    for (const ResultRecord &r : records.results)
        results.append(QJsonObject{{"round", r.round},
                                   {"pool", r.group},
                                   {"game", r.game},
                                   {"winner", r.winner},
                                   {"winner_score", optionalJson(r.winnerScore)},
                                   {"loser_score", optionalJson(r.loserScore)},
                                   {"withdrawn", optionalJson(r.withdrawn)}});
    for (std::size_t k = 0; k < records.chosenExempted.size(); ++k)
        chosen.append(
            QJsonObject{{"rank", static_cast<int>(k)}, {"team", records.chosenExempted[k]}});
    for (const WithdrawalRecord &w : records.withdrawals)
        withdrawals.append(QJsonObject{{"team", w.team}, {"round", w.round}});

    return sql.insertRows("cup", QJsonArray{cup}) && sql.insertRows("wish", wishes) &&
           sql.insertRows("list_row", rows) && sql.insertRows("list_cell", cells) &&
           sql.insertRows("level_round", levelRounds) &&
           sql.insertRows("level_order", levelOrder) && sql.insertRows("journal", journal) &&
           sql.insertRows("draw", draws) && sql.insertRows("draw_place", places) &&
           sql.insertRows("draw_exempted", exempted) && sql.insertRows("draw_meeting", meetings) &&
           sql.insertRows("result", results) && sql.insertRows("chosen_exempted", chosen) &&
           sql.insertRows("withdrawal", withdrawals) && sql.insertRows("team_column", columns) &&
           sql.insertRows("team", teams) && sql.insertRows("team_extra", extras) &&
           sql.insertRows("entry_token", tokens);
}

// Opens a transaction in the cup's schema; false when the cup is not there (`error` says so).
bool enterCup(Statements &sql, ServerConnection &server, bool readOnly, std::string &error)
{
    const std::string &cup = server.address().cup;
    if (!server.db().transaction()) {
        error = serverFailure(server.db().lastError(), "ouvrir une transaction");
        return false;
    }
    if (readOnly)
        sql.run(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    const QVariant format =
        sql.value(QStringLiteral("SELECT (SELECT count(*) FROM pg_namespace WHERE nspname = ?) + "
                                 "(SELECT count(*) FROM pg_tables WHERE schemaname = ? AND "
                                 "tablename = 'cup_format')"),
                  {qs(cup), qs(cup)});
    if (sql.failed()) {
        error = serverFailure(sql.error(), "lire la coupe " + quoted(cup));
    } else if (format.toInt() == 0) {
        error = "Il n'y a pas de coupe " + quoted(cup) + " sur ce serveur.";
    } else if (format.toInt() == 1) {
        error = "Le schéma " + quoted(cup) + " de ce serveur n'est pas une coupe.";
    } else {
        sql.run(QStringLiteral("SET LOCAL search_path TO %1").arg(cupSchemaIdentifier(cup)));
        const QVariant version = sql.value(QStringLiteral("SELECT version FROM cup_format"));
        if (sql.failed())
            error = serverFailure(sql.error(), "lire la coupe " + quoted(cup));
        else if (version.toInt() > cupSchemaVersion())
            error = "La coupe " + quoted(cup) +
                    " a été écrite par une version plus récente de Velmorin.";
        else if (version.toInt() != cupSchemaVersion())
            error = "La coupe " + quoted(cup) + " a un format que ce programme ne lit pas.";
    }
    if (!error.empty()) {
        server.db().rollback();
        return false;
    }
    return true;
}

// The references between the cup's tables, as statements that take them off and put them
// back: rows are published first and their references checked after, in one pass per table,
// where a check row by row would take most of a large cup's publication.
struct References
{
    QStringList drop;
    QStringList add;
};

References referencesOf(QSqlDatabase &db, const std::string &cup)
{
    References references;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral(
            "SELECT quote_ident(c.relname), quote_ident(k.conname), pg_get_constraintdef(k.oid) "
            "FROM pg_constraint k JOIN pg_class c ON c.oid = k.conrelid "
            "JOIN pg_namespace n ON n.oid = k.connamespace "
            "WHERE k.contype = 'f' AND n.nspname = ? ORDER BY k.oid")))
        return references;
    query.addBindValue(qs(cup));
    if (!query.exec())
        return references;
    while (query.next()) {
        const QString table = query.value(0).toString();
        const QString name = query.value(1).toString();
        references.drop << QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2").arg(table, name);
        references.add << QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 %3")
                              .arg(table, name, query.value(2).toString());
    }
    return references;
}

ServerAnswer finish(ServerConnection &server, Statements &sql, const std::string &doing)
{
    if (!sql.failed() && server.db().commit())
        return {};
    const QSqlError error = sql.failed() ? sql.error() : server.db().lastError();
    server.db().rollback();
    return failedAnswer(error, doing);
}

bool journalLine(Statements &sql, const std::string &what)
{
    return sql.run(QStringLiteral("INSERT INTO journal (at, what) VALUES (to_char(now() AT TIME "
                                  "ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), ?)"),
                   {qs(what)});
}

} // namespace

std::unique_ptr<ServerConnection> ServerConnection::open(const ServerAddress &address,
                                                         std::string &error)
{
    static QAtomicInt serial;
    const QString name = QStringLiteral("velmorin-server-%1").arg(serial.fetchAndAddRelaxed(1));
    std::unique_ptr<ServerConnection> server(new ServerConnection(address, name));
    QSqlDatabase &db = server->m_db;
    if (!db.isValid()) {
        error = "Le pilote PostgreSQL de Qt manque (paquet libqt6sql6-psql) : la coupe " +
                quoted(address.cup) + " ne peut pas être ouverte sur son serveur.";
        return nullptr;
    }
    db.setHostName(qs(address.host));
    if (!address.port.empty())
        db.setPort(std::stoi(address.port));
    db.setDatabaseName(qs(address.database));
    db.setUserName(qs(address.user));
    db.setConnectOptions(qs(connectionParameters(address)));
    if (!db.open()) {
        error = "Le serveur de la coupe " + quoted(shownAddress(address)) +
                " ne répond pas ou refuse la connexion : " +
                db.lastError().databaseText().trimmed().toStdString();
        while (!error.empty() && (error.back() == '.' || error.back() == ' '))
            error.pop_back();
        error += '.';
        return nullptr;
    }
    return server;
}

ServerConnection::ServerConnection(ServerAddress address, QString name)
    : m_address(std::move(address)), m_name(std::move(name)),
      m_db(QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name))
{}

ServerConnection::~ServerConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QString cupSchemaIdentifier(const std::string &cup)
{
    QString identifier = qs(cup);
    identifier.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

ServerAnswer publishCup(ServerConnection &server, const CupCopy &copy)
{
    const std::string &cup = server.address().cup;
    const std::string doing = "publier la coupe " + quoted(cup);
    if (!server.db().transaction())
        return failedAnswer(server.db().lastError(), doing);
    Statements sql(server.db());
    const QVariant there =
        sql.value(QStringLiteral("SELECT count(*) FROM pg_namespace WHERE nspname = ?"), {qs(cup)});
    if (!sql.failed() && there.toInt() > 0) {
        server.db().rollback();
        return refusedAnswer("Une coupe " + quoted(cup) +
                             " est déjà sur ce serveur : elle n'est pas remplacée.");
    }
    const QString schema = cupSchemaIdentifier(cup);
    sql.run(QStringLiteral("CREATE SCHEMA %1").arg(schema));
    sql.run(QStringLiteral("SET LOCAL search_path TO %1").arg(schema));
    for (const char *statement : cupSchemaStatements())
        sql.run(QString::fromUtf8(statement));
    for (const char *statement : kServerAdjustments)
        sql.run(QString::fromUtf8(statement));
    for (const QString &statement : rowSecurity())
        sql.run(statement);
    sql.run(QStringLiteral("INSERT INTO cup_format VALUES (1, ?)"), {cupSchemaVersion()});
    const References references = sql.failed() ? References() : referencesOf(server.db(), cup);
    for (const QString &statement : references.drop)
        sql.run(statement);
    insertCopy(sql, copy);
    for (const QString &statement : references.add)
        sql.run(statement);
    journalLine(sql, "Coupe publiée sur le serveur");
    return finish(server, sql, doing);
}

std::optional<CupCopy> readServerCup(ServerConnection &server, std::string &error)
{
    Statements sql(server.db());
    if (!enterCup(sql, server, true, error))
        return std::nullopt;
    const std::string &cup = server.address().cup;
    std::optional<CupSetup> setup = cupstoreprivate::readSetup(server.db());
    std::optional<CupRecords> records =
        setup ? readCupRecords(server.db()) : std::optional<CupRecords>();
    // One count for the settings and the play, as in the file: the journal's last entry.
    const std::optional<std::uint64_t> version =
        records ? cupstoreprivate::readVersion(server.db()) : std::nullopt;
    if (version)
        records->version = *version;
    CupCopy copy;
    if (version)
        copy.tokens = cupstoreprivate::readEntryTokens(server.db());
    QSqlQuery journal(server.db());
    journal.setForwardOnly(true);
    const bool read =
        version && journal.exec(QStringLiteral("SELECT at, what FROM journal ORDER BY entry"));
    while (read && journal.next())
        copy.journal.push_back(
            {journal.value(0).toString().toStdString(), journal.value(1).toString().toStdString()});
    server.db().commit();
    if (!read) {
        error = "La coupe " + quoted(cup) + " du serveur est endommagée : elle n'est pas lue.";
        return std::nullopt;
    }
    copy.setup = std::move(*setup);
    copy.records = std::move(*records);
    // Settings and records that do not make a cup are refused as a damaged file is.
    const bool nothingPlayed = copy.records.draws.empty() && copy.records.results.empty() &&
                               copy.records.chosenExempted.empty() &&
                               copy.records.withdrawals.empty();
    if (!nothingPlayed) {
        const CupCreation made = restoreCup(
            cupInputsOf(copy.setup, rebuildCup(copy.setup), InputsRules::Played), copy.records);
        if (!made.ok()) {
            error = "La coupe " + quoted(cup) + " du serveur ne fait pas une coupe : " + made.error;
            return std::nullopt;
        }
    }
    return copy;
}

ServerAnswer addVenue(ServerConnection &server, const std::string &venue, const std::string &role)
{
    const std::string doing = "ajouter la salle " + quoted(venue);
    if (venue.empty())
        return refusedAnswer("Une salle a un nom.");
    std::string error;
    Statements sql(server.db());
    if (!enterCup(sql, server, false, error))
        return refusedAnswer(error);
    const QVariant bypass =
        sql.value(QStringLiteral("SELECT rolsuper OR rolbypassrls OR rolname = current_user "
                                 "OR pg_has_role(rolname, current_user, 'MEMBER') "
                                 "FROM pg_roles WHERE rolname = ?"),
                  {qs(role)});
    const QVariant taken = sql.value(
        QStringLiteral("SELECT name FROM venue WHERE name = ? OR role = ?"), {qs(venue), qs(role)});
    std::string refusal;
    if (sql.failed())
        refusal = serverFailure(sql.error(), doing);
    else if (!bypass.isValid())
        refusal = "Le rôle " + quoted(role) +
                  " n'existe pas sur ce serveur : créez-le d'abord (CREATE ROLE).";
    else if (bypass.toBool())
        refusal = "Le rôle " + quoted(role) +
                  " a les droits de l'organisateur sur la coupe : une salle a un rôle à elle.";
    else if (taken.isValid())
        refusal = "La salle " + quoted(taken.toString().toStdString()) +
                  " existe déjà ou a déjà ce rôle : la salle n'est pas ajoutée.";
    if (!refusal.empty()) {
        server.db().rollback();
        return sql.failed() ? failedAnswer(sql.error(), doing) : refusedAnswer(refusal);
    }
    const QString grantee = cupSchemaIdentifier(role);
    const QString schema = cupSchemaIdentifier(server.address().cup);
    sql.run(QStringLiteral("INSERT INTO venue VALUES (?, ?)"), {qs(venue), qs(role)});
    // Reading the whole cup; writing only its results and withdrawals (the policies keep those
    // to its groups) and the journal's lines, whose last entry is the cup's version: a venue's
    // line moves it as the organiser's do. The teams kept and the entry tokens stay the
    // organiser's.
    sql.run(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(schema, grantee));
    sql.run(QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA %1 TO %2").arg(schema, grantee));
    sql.run(
        QStringLiteral("GRANT INSERT, UPDATE, DELETE ON result, withdrawal TO %1").arg(grantee));
    sql.run(QStringLiteral("GRANT INSERT ON journal TO %1").arg(grantee));
    journalLine(sql, "Salle ajoutée : " + venue + " (rôle " + role + ")");
    return finish(server, sql, doing);
}

ServerAnswer assignGroup(ServerConnection &server, int round, int pool, const std::string &venue)
{
    const std::string doing = "affecter la poule " + std::to_string(pool) + " du Tour " +
                              std::to_string(round) + " à la salle " + quoted(venue);
    std::string error;
    Statements sql(server.db());
    if (!enterCup(sql, server, false, error))
        return refusedAnswer(error);
    const QVariant pools =
        sql.value(QStringLiteral("SELECT max(pool) FROM draw_place WHERE round = ?"), {round});
    const QVariant known =
        sql.value(QStringLiteral("SELECT 1 FROM venue WHERE name = ?"), {qs(venue)});
    std::string refusal;
    if (sql.failed())
        refusal = serverFailure(sql.error(), doing);
    else if (pools.isNull())
        refusal = "Le Tour " + std::to_string(round) +
                  " n'est pas tiré : ses poules n'ont pas "
                  "encore de salle.";
    else if (pool < 1 || pool > pools.toInt())
        refusal = "Le Tour " + std::to_string(round) + " a " + std::to_string(pools.toInt()) +
                  " poules : il n'a pas de poule " + std::to_string(pool) + ".";
    else if (!known.isValid())
        refusal = "Il n'y a pas de salle " + quoted(venue) + " dans cette coupe.";
    if (!refusal.empty()) {
        server.db().rollback();
        return sql.failed() ? failedAnswer(sql.error(), doing) : refusedAnswer(refusal);
    }
    sql.run(QStringLiteral("INSERT INTO venue_pool VALUES (?, ?, ?) ON CONFLICT (round, pool) "
                           "DO UPDATE SET venue = excluded.venue"),
            {round, pool, qs(venue)});
    journalLine(sql, "Tour " + std::to_string(round) + ", poule " + std::to_string(pool) +
                         " : salle " + venue);
    return finish(server, sql, doing);
}

} // namespace velmorin
