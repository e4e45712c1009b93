// The cup file's tables: each table written, and read back checked.

#include "CupTables.h"

#include "CupMessages.h"
#include "CupSql.h"

#include "CupContents.h"
#include "CupRecordRows.h"
#include "CupSchema.h"
#include "Plan.h"
#include "TeamAssignment.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <limits>

namespace velmorin::cupstoreprivate {

std::optional<std::uint64_t> readVersion(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT coalesce(max(entry), 0) FROM journal")) ||
        !query.next())
        return std::nullopt;
    return static_cast<std::uint64_t>(query.value(0).toLongLong());
}

std::optional<std::vector<CupChange>> readChanges(QSqlDatabase &db, std::uint64_t version)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(
            QStringLiteral("SELECT entry, at, what FROM journal WHERE entry > ? ORDER BY entry")))
        return std::nullopt;
    query.addBindValue(static_cast<qlonglong>(version));
    if (!query.exec())
        return std::nullopt;
    std::vector<CupChange> changes;
    while (query.next())
        changes.push_back({static_cast<std::uint64_t>(query.value(0).toLongLong()),
                           query.value(1).toString().toStdString(),
                           query.value(2).toString().toStdString()});
    return changes;
}

bool eachRow(QSqlDatabase &db, const char *sql, const std::function<bool(sqlite3_stmt *)> &row)
{
    sqlite3 *handle = handleOf(db);
    sqlite3_stmt *statement = nullptr;
    if (handle == nullptr || sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK)
        return false;
    int status = SQLITE_ROW;
    bool accepted = true;
    while (accepted && (status = sqlite3_step(statement)) == SQLITE_ROW)
        accepted = row(statement);
    sqlite3_finalize(statement);
    return accepted && status == SQLITE_DONE;
}

// --- Writing the tables ---

bool writeCupRow(QSqlDatabase &db, const CupSetup &setup)
{
    QVariantList values{qs(setup.name), qs(setup.date), setup.registered, setup.finale,
                        setup.entrants1};
    for (int choice : setup.ratioChoices)
        values << choice;
    values << optionalValue(setup.classNumber) << optionalValue(setup.position)
           << (setup.seed ? QVariant(QString::number(*setup.seed)) : QVariant())
           << (setup.list ? QVariant(qs(setup.list->fileName)) : QVariant());
    return exec(db,
                QStringLiteral("INSERT INTO cup VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                               "?, ?, ?)"),
                values);
}

bool writeWish(QSqlDatabase &db, Quantity quantity, const Interval &interval)
{
    const auto index = static_cast<int>(quantityIndex(quantity));
    if (!exec(db, QStringLiteral("DELETE FROM wish WHERE quantity = ?"), {index}))
        return false;
    if (!interval.bounded())
        return true;
    return exec(db, QStringLiteral("INSERT INTO wish VALUES (?, ?, ?)"),
                {index, optionalValue(interval.lo), optionalValue(interval.hi)});
}

// A row's cells through `insert` (owner, column, text): a list's row, a team's other columns.
bool writeCells(QSqlQuery &insert, std::size_t owner, const std::vector<std::string> &cells)
{
    for (std::size_t c = 0; c < cells.size(); ++c) {
        insert.bindValue(0, static_cast<qint64>(owner));
        insert.bindValue(1, static_cast<qint64>(c));
        insert.bindValue(2, qs(cells[c]));
        if (!exec(insert))
            return false;
    }
    return true;
}

bool writeList(QSqlDatabase &db, const std::optional<ImportedList> &list)
{
    if (!exec(db, QStringLiteral("DELETE FROM list_cell")) ||
        !exec(db, QStringLiteral("DELETE FROM list_row")) ||
        !exec(db, QStringLiteral("UPDATE cup SET list_file = ?"),
              {list ? QVariant(qs(list->fileName)) : QVariant()}))
        return false;
    if (!list)
        return true;
    QSqlQuery row(db);
    QSqlQuery cell(db);
    if (!row.prepare(QStringLiteral("INSERT INTO list_row VALUES (?, ?)")) ||
        !cell.prepare(QStringLiteral("INSERT INTO list_cell VALUES (?, ?, ?)")))
        return false;
    for (std::size_t r = 0; r < list->rows.size(); ++r) {
        const SourceRow &source = list->rows[r];
        row.bindValue(0, static_cast<qint64>(r));
        row.bindValue(1, static_cast<qint64>(source.line));
        if (!exec(row))
            return false;
        if (!writeCells(cell, r, source.cells))
            return false;
    }
    return true;
}

bool writeLevelRounds(QSqlDatabase &db, const std::vector<LevelRoundChoice> &rounds)
{
    if (!exec(db, QStringLiteral("DELETE FROM level_round")))
        return false;
    for (const LevelRoundChoice &choice : rounds) {
        if (!exec(db, QStringLiteral("INSERT INTO level_round VALUES (?, ?)"),
                  {qs(choice.level), choice.round}))
            return false;
    }
    return true;
}

bool writeLevelOrder(QSqlDatabase &db, const std::vector<std::string> &levels)
{
    if (!exec(db, QStringLiteral("DELETE FROM level_order")))
        return false;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        if (!exec(db, QStringLiteral("INSERT INTO level_order VALUES (?, ?)"),
                  {static_cast<qint64>(k), qs(levels[k])}))
            return false;
    }
    return true;
}

bool writeTeams(QSqlDatabase &db, const std::optional<TeamList> &teams)
{
    if (!exec(db, QStringLiteral("DELETE FROM team_extra")) ||
        !exec(db, QStringLiteral("DELETE FROM team_column")) ||
        !exec(db, QStringLiteral("DELETE FROM team")))
        return false;
    if (!teams)
        return true;
    for (std::size_t c = 0; c < teams->extraColumns.size(); ++c) {
        if (!exec(db, QStringLiteral("INSERT INTO team_column VALUES (?, ?)"),
                  {static_cast<qint64>(c), qs(teams->extraColumns[c])}))
            return false;
    }
    QSqlQuery team(db);
    QSqlQuery extra(db);
    if (!team.prepare(QStringLiteral("INSERT INTO team VALUES (?, ?, ?, ?, ?, ?, ?, ?)")) ||
        !extra.prepare(QStringLiteral("INSERT INTO team_extra VALUES (?, ?, ?)")))
        return false;
    for (std::size_t k = 0; k < teams->teams.size(); ++k) {
        const Team &t = teams->teams[k];
        const bool number = t.level && t.level->isNumber();
        team.bindValue(0, static_cast<qint64>(k));
        team.bindValue(1, qs(t.name));
        team.bindValue(2, qs(t.club));
        team.bindValue(3, number ? QVariant(t.level->number()) : QVariant());
        team.bindValue(4, t.level && !number ? QVariant(qs(t.level->text())) : QVariant());
        team.bindValue(5, t.points ? QVariant(*t.points) : QVariant());
        team.bindValue(6, qs(t.pointsText));
        team.bindValue(7, static_cast<qint64>(t.line));
        if (!exec(team))
            return false;
        if (!writeCells(extra, k, t.extra))
            return false;
    }
    return true;
}

bool fillListTeams(QSqlDatabase &db)
{
    // A cup being made has no settings yet: its teams come with them (writeAll).
    QSqlQuery any(db);
    if (!select(any, QStringLiteral("SELECT COUNT(*) FROM cup")) || !any.next())
        return false;
    if (any.value(0).toLongLong() == 0)
        return true;
    const std::optional<CupSetup> setup = readSetup(db);
    return setup && writeTeams(db, withListTeams(*setup).teams);
}

bool writeAll(QSqlDatabase &db, const CupSetup &setup)
{
    if (!writeCupRow(db, setup) || !writeList(db, setup.list) ||
        !writeTeams(db, withListTeams(setup).teams) || !writeLevelRounds(db, setup.levelRounds) ||
        !writeLevelOrder(db, setup.levelOrder))
        return false;
    for (Quantity quantity : kQuantities) {
        if (!writeWish(db, quantity, setup.wishes[quantityIndex(quantity)]))
            return false;
    }
    return true;
}

bool writeJournal(QSqlDatabase &db, const std::string &what)
{
    const QString at = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    return exec(db, QStringLiteral("INSERT INTO journal (at, what) VALUES (?, ?)"), {at, qs(what)});
}

// --- Reading them back; anything out of place means a damaged file ---

std::optional<std::int32_t> int32Of(const QVariant &value)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

// A nullable column: none for NULL, nothing at all for a value out of range.
std::optional<std::optional<std::int32_t>> nullableInt32(const QVariant &value)
{
    if (value.isNull())
        return std::optional<std::int32_t>();
    const std::optional<std::int32_t> number = int32Of(value);
    if (!number)
        return std::nullopt;
    return number;
}

std::optional<std::uint64_t> parseSeed(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    std::uint64_t seed = 0;
    const auto [end, error] =
        std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), seed);
    if (bytes.isEmpty() || error != std::errc() || end != bytes.constData() + bytes.size())
        return std::nullopt;
    return seed;
}

bool readCupRow(QSqlDatabase &db, CupSetup &setup)
{
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT name, held_on, registered, finale, entrants1, rg1, "
                                      "rg2, rg3, rg4, rg5, rg6, "
                                      "class_number, position, seed, list_file FROM cup")) ||
        !query.next())
        return false;
    setup.name = query.value(0).toString().toStdString();
    setup.date = query.value(1).toString().toStdString();
    std::array<std::int32_t *, 3> counts{&setup.registered, &setup.finale, &setup.entrants1};
    for (int k = 0; k < 3; ++k) {
        const auto value = int32Of(query.value(2 + k));
        if (!value)
            return false;
        *counts[static_cast<std::size_t>(k)] = *value;
    }
    for (std::size_t k = 0; k < kRatioGroups; ++k) {
        const auto value = int32Of(query.value(5 + static_cast<int>(k)));
        if (!value)
            return false;
        setup.ratioChoices[k] = *value;
    }
    const auto classNumber = nullableInt32(query.value(11));
    const auto position = nullableInt32(query.value(12));
    if (!classNumber || !position || (*classNumber && (**classNumber < 1 || **classNumber > 3)) ||
        (*position && **position < 1))
        return false;
    setup.classNumber = *classNumber;
    setup.position = *position;
    if (!query.value(13).isNull()) {
        setup.seed = parseSeed(query.value(13).toString());
        if (!setup.seed)
            return false;
    }
    if (!query.value(14).isNull())
        setup.list = ImportedList{query.value(14).toString().toStdString(), {}};
    return !query.next(); // one row, never two
}

bool readWishes(QSqlDatabase &db, CupSetup &setup)
{
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT quantity, lo, hi FROM wish")))
        return false;
    while (query.next()) {
        const auto index = int32Of(query.value(0));
        const auto lo = nullableInt32(query.value(1));
        const auto hi = nullableInt32(query.value(2));
        if (!index || *index < 0 || *index >= static_cast<int>(kQuantityCount) || !lo || !hi)
            return false;
        const Interval interval{*lo, *hi};
        if (interval.empty())
            return false;
        setup.wishes[static_cast<std::size_t>(*index)] = interval;
    }
    return true;
}

// A cell's text as UTF-8; bytes that are not UTF-8 (a file written elsewhere) read as Qt
// reads them, with replacement characters.
std::string cellText(sqlite3_stmt *statement, int column)
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    const qsizetype size = sqlite3_column_bytes(statement, column);
    if (bytes == nullptr)
        return {};
    if (QByteArrayView(bytes, size).isValidUtf8())
        return std::string(bytes, static_cast<std::size_t>(size));
    return QString::fromUtf8(bytes, size).toStdString();
}

// The cells `sql` gives, each the next one of its row: false at the first out of place.
bool placeCells(QSqlDatabase &db, const char *sql, std::vector<SourceRow> &rows)
{
    return eachRow(db, sql, [&](sqlite3_stmt *cell) {
        const sqlite3_int64 row = sqlite3_column_int64(cell, 0);
        if (row < 0 || row >= static_cast<sqlite3_int64>(rows.size()))
            return false;
        std::vector<std::string> &line = rows[static_cast<std::size_t>(row)].cells;
        if (sqlite3_column_int64(cell, 1) != static_cast<sqlite3_int64>(line.size()))
            return false;
        line.push_back(cellText(cell, 2));
        return true;
    });
}

bool readList(QSqlDatabase &db, CupSetup &setup)
{
    std::vector<SourceRow> read;
    const bool rowsRead =
        eachRow(db, "SELECT row_no, line FROM list_row ORDER BY row_no", [&](sqlite3_stmt *row) {
            const sqlite3_int64 line = sqlite3_column_int64(row, 1);
            if (sqlite3_column_int64(row, 0) != static_cast<sqlite3_int64>(read.size()) || line < 0)
                return false;
            read.push_back(SourceRow{static_cast<std::size_t>(line), {}, {}});
            return true;
        });
    if (!rowsRead)
        return false;
    // Read in the order they are stored, which is the list's as we write it: walking the key's
    // index instead would look every cell up twice. Cells stored in another order (a file
    // written elsewhere) are read again through the key.
    if (!placeCells(db, "SELECT row_no, col_no, value FROM list_cell", read)) {
        for (SourceRow &row : read)
            row.cells.clear();
        if (!placeCells(db, "SELECT row_no, col_no, value FROM list_cell ORDER BY row_no, col_no",
                        read))
            return false;
    }
    if (!setup.list)
        return read.empty();
    setup.list->rows = std::move(read);
    return true;
}

// The teams kept with the list; a list whose teams are not kept (they did not read) has none.
bool readTeams(QSqlDatabase &db, CupSetup &setup)
{
    TeamList teams;
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT col_no, header FROM team_column ORDER BY col_no")))
        return false;
    while (query.next()) {
        if (query.value(0).toLongLong() != static_cast<qint64>(teams.extraColumns.size()))
            return false;
        teams.extraColumns.push_back(query.value(1).toString().toStdString());
    }
    if (!select(query, QStringLiteral("SELECT rank, name, club, level_number, level_name, points, "
                                      "points_text, line FROM team ORDER BY rank")))
        return false;
    while (query.next()) {
        if (query.value(0).toLongLong() != static_cast<qint64>(teams.teams.size()))
            return false;
        Team team;
        team.name = query.value(1).toString().toStdString();
        team.club = query.value(2).toString().toStdString();
        const std::optional<std::optional<std::int32_t>> number = nullableInt32(query.value(3));
        if (!number || (*number && **number < 1) || (*number && !query.value(4).isNull()))
            return false;
        if (*number)
            team.level = Level(**number);
        else if (!query.value(4).isNull())
            team.level = Level::named(query.value(4).toString().toStdString());
        if (!query.value(5).isNull()) {
            bool ok = false;
            team.points = query.value(5).toDouble(&ok);
            if (!ok)
                return false;
        }
        team.pointsText = query.value(6).toString().toStdString();
        const qint64 line = query.value(7).toLongLong();
        if (line < 0)
            return false;
        team.line = static_cast<std::size_t>(line);
        teams.teams.push_back(std::move(team));
    }
    if (!select(query,
                QStringLiteral("SELECT rank, col_no, value FROM team_extra ORDER BY rank, col_no")))
        return false;
    while (query.next()) {
        const qint64 rank = query.value(0).toLongLong();
        if (rank < 0 || rank >= static_cast<qint64>(teams.teams.size()))
            return false;
        std::vector<std::string> &extra = teams.teams[static_cast<std::size_t>(rank)].extra;
        if (query.value(1).toLongLong() != static_cast<qint64>(extra.size()))
            return false;
        extra.push_back(query.value(2).toString().toStdString());
    }
    if (teams.teams.empty())
        return teams.extraColumns.empty();
    if (!setup.list)
        return false;
    setup.teams = std::move(teams);
    return true;
}

bool readLevels(QSqlDatabase &db, CupSetup &setup)
{
    QSqlQuery query(db);
    if (!select(query, QStringLiteral("SELECT level, round FROM level_round ORDER BY level")))
        return false;
    while (query.next()) {
        const auto round = int32Of(query.value(1));
        if (!round || *round < 1 || *round > kEntryRounds)
            return false;
        setup.levelRounds.push_back({query.value(0).toString().toStdString(), *round});
    }
    if (!query.exec(QStringLiteral("SELECT rank, level FROM level_order ORDER BY rank")))
        return false;
    while (query.next()) {
        if (query.value(0).toLongLong() != static_cast<qint64>(setup.levelOrder.size()))
            return false;
        setup.levelOrder.push_back(query.value(1).toString().toStdString());
    }
    return true;
}

std::optional<CupSetup> readSetup(QSqlDatabase &db)
{
    CupSetup setup;
    if (!readCupRow(db, setup) || !readWishes(db, setup) || !readList(db, setup) ||
        !readTeams(db, setup) || !readLevels(db, setup))
        return std::nullopt;
    return setup;
}

// Level rounds kept in the key order the table reads them back in.
std::vector<LevelRoundChoice> sortedRounds(std::vector<LevelRoundChoice> rounds)
{
    std::sort(
        rounds.begin(), rounds.end(),
        [](const LevelRoundChoice &a, const LevelRoundChoice &b) { return a.level < b.level; });
    return rounds;
}

std::string intervalText(const Interval &interval)
{
    if (!interval.bounded())
        return "aucun";
    return (interval.lo ? std::to_string(*interval.lo) : "") + ".." +
           (interval.hi ? std::to_string(*interval.hi) : "");
}

} // namespace velmorin::cupstoreprivate
