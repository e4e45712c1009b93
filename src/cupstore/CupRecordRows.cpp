#include "CupRecordRows.h"

#include "CupMessages.h"
#include "CupSql.h"
#include "CupTables.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>


#include <algorithm>
#include <array>
#include <limits>
#include <tuple>

namespace velmorin {

namespace {

QVariant optionalInt(const std::optional<int> &value)
{
    return value ? QVariant(*value) : QVariant();
}

bool run(QSqlDatabase &db, const char *sql, const QVariantList &values)
{
    QSqlQuery query(db);
    if (!query.prepare(QString::fromLatin1(sql)))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

// A stored number: within int, and not below `low`.
std::optional<int> number(const QVariant &value, long long low = 0)
{
    bool ok = false;
    const long long read = value.toLongLong(&ok);
    if (!ok || read < low || read > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(read);
}

std::optional<std::optional<int>> nullableNumber(const QVariant &value)
{
    if (value.isNull())
        return std::optional<int>();
    const std::optional<int> read = number(value);
    if (!read)
        return std::nullopt;
    return read;
}

bool deleteDraw(QSqlDatabase &db, int round)
{
    for (const char *sql :
         {"DELETE FROM result WHERE round = ?", "DELETE FROM draw_place WHERE round = ?",
          "DELETE FROM draw_exempted WHERE round = ?", "DELETE FROM draw_meeting WHERE round = ?",
          "DELETE FROM draw WHERE round = ?"}) {
        if (!run(db, sql, {round}))
            return false;
    }
    return true;
}

bool insertDraw(QSqlDatabase &db, const DrawRecord &draw)
{
    if (!run(db, "INSERT INTO draw VALUES (?, ?)", {draw.round, draw.attempt}))
        return false;
    QSqlQuery place(db);
    if (!place.prepare(QStringLiteral("INSERT INTO draw_place VALUES (?, ?, ?, ?)")))
        return false;
    for (std::size_t g = 0; g < draw.groups.size(); ++g) {
        for (std::size_t p = 0; p < draw.groups[g].size(); ++p) {
            place.bindValue(0, draw.round);
            place.bindValue(1, static_cast<int>(g + 1));
            place.bindValue(2, static_cast<int>(p));
            place.bindValue(3, draw.groups[g][p]);
            if (!place.exec())
                return false;
        }
    }
    for (std::size_t k = 0; k < draw.exempted.size(); ++k) {
        if (!run(db, "INSERT INTO draw_exempted VALUES (?, ?, ?)",
                 {draw.round, static_cast<int>(k), draw.exempted[k]}))
            return false;
    }
    for (std::size_t k = 0; k < draw.meetings.size(); ++k) {
        const Meeting &m = draw.meetings[k];
        if (!run(db, "INSERT INTO draw_meeting VALUES (?, ?, ?, ?, ?)",
                 {draw.round, static_cast<int>(k), m.group, m.teamA, m.teamB}))
            return false;
    }
    return true;
}

bool gameBefore(const ResultRecord &a, const ResultRecord &b)
{
    return std::tie(a.round, a.group, a.game) < std::tie(b.round, b.group, b.game);
}

std::vector<ResultRecord> byGame(std::vector<ResultRecord> results)
{
    std::stable_sort(results.begin(), results.end(), gameBefore);
    return results;
}

bool insertResult(QSqlDatabase &db, const ResultRecord &result)
{
    return run(db, "INSERT OR REPLACE INTO result VALUES (?, ?, ?, ?, ?, ?, ?)",
               {result.round, result.group, result.game, result.winner,
                optionalInt(result.winnerScore), optionalInt(result.loserScore),
                optionalInt(result.withdrawn)});
}

bool readDraws(QSqlDatabase &db, CupRecords &records)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT round, attempt FROM draw ORDER BY round")))
        return false;
    while (query.next()) {
        const auto round = number(query.value(0), 1);
        const auto attempt = number(query.value(1), 1);
        if (!round || !attempt)
            return false;
        DrawRecord draw;
        draw.round = *round;
        draw.attempt = *attempt;
        records.draws.push_back(std::move(draw));
    }
    // Rows for a round that is not drawn cannot be: the tables' references forbid them.
    const auto drawOf = [&](const QVariant &round) -> DrawRecord * {
        const auto read = number(round, 1);
        for (DrawRecord &draw : records.draws) {
            if (read && draw.round == *read)
                return &draw;
        }
        return nullptr;
    };
    // The largest table of a drawn cup (four rows a group), read without Qt's copies.
    const auto within = [](std::optional<long long> value, long long low) -> std::optional<int> {
        if (!value || *value < low || *value > std::numeric_limits<int>::max())
            return std::nullopt;
        return static_cast<int>(*value);
    };
    const bool placesRead = cupstoreprivate::eachRow(
        db, "SELECT round, pool, place, team FROM draw_place ORDER BY round, pool, place",
        [&](const cupstoreprivate::RowValues &row) {
            const auto round = within(row.integer(0), 1);
            DrawRecord *draw = nullptr;
            for (DrawRecord &candidate : records.draws) {
                if (round && candidate.round == *round)
                    draw = &candidate;
            }
            const auto pool = within(row.integer(1), 1);
            const auto place = within(row.integer(2), 0);
            const auto team = within(row.integer(3), 0);
            if (!draw || !pool || !place || !team)
                return false;
            if (*place == 0 && static_cast<std::size_t>(*pool) == draw->groups.size() + 1)
                draw->groups.emplace_back();
            if (static_cast<std::size_t>(*pool) != draw->groups.size() ||
                static_cast<std::size_t>(*place) != draw->groups.back().size())
                return false;
            draw->groups.back().push_back(*team);
            return true;
        });
    if (!placesRead)
        return false;
    if (!query.exec(
            QStringLiteral("SELECT round, rank, team FROM draw_exempted ORDER BY round, rank")))
        return false;
    while (query.next()) {
        DrawRecord *draw = drawOf(query.value(0));
        const auto rank = number(query.value(1));
        const auto team = number(query.value(2));
        if (!draw || !rank || !team || static_cast<std::size_t>(*rank) != draw->exempted.size())
            return false;
        draw->exempted.push_back(*team);
    }
    if (!query.exec(QStringLiteral("SELECT round, rank, pool, team_a, team_b FROM draw_meeting "
                                   "ORDER BY round, rank")))
        return false;
    while (query.next()) {
        DrawRecord *draw = drawOf(query.value(0));
        const auto rank = number(query.value(1));
        const auto pool = number(query.value(2), 1);
        const auto a = number(query.value(3));
        const auto b = number(query.value(4));
        if (!draw || !rank || !pool || !a || !b ||
            static_cast<std::size_t>(*rank) != draw->meetings.size())
            return false;
        draw->meetings.push_back({*pool, *a, *b});
    }
    return true;
}

QVariant optionalDay(const std::optional<DayTime> &time)
{
    return time && time->day ? QVariant(*time->day) : QVariant();
}

// A moment as stored: a day or none, a minute of the day. None when out of place.
std::optional<DayTime> dayTime(const QVariant &day, const QVariant &minute)
{
    const auto readDay = nullableNumber(day);
    const auto readMinute = number(minute);
    if (!readDay || !readMinute)
        return std::nullopt;
    const DayTime time{*readDay, *readMinute};
    return isValid(time) ? std::optional<DayTime>(time) : std::nullopt;
}

bool readDay(QSqlDatabase &db, DayRecords &day)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT round, team, present FROM roll_call ORDER BY round, "
                                   "team")))
        return false;
    while (query.next()) {
        const auto round = number(query.value(0), 1);
        const auto team = number(query.value(1));
        const auto present = number(query.value(2));
        if (!round || !team || !present || *present > 1)
            return false;
        day.rollCalls.push_back({*round, *team, *present == 1});
    }
    if (!query.exec(QStringLiteral("SELECT hall, first_lane, last_lane FROM hall_lanes ORDER BY "
                                   "hall")))
        return false;
    while (query.next()) {
        const auto first = number(query.value(1), 1);
        const auto last = number(query.value(2), 1);
        if (!first || !last)
            return false;
        day.lanes.push_back({query.value(0).toString().toStdString(), *first, *last});
    }
    if (!query.exec(QStringLiteral("SELECT round, day, minute FROM round_start")))
        return false;
    while (query.next()) {
        const auto round = number(query.value(0), 1);
        const auto time = dayTime(query.value(1), query.value(2));
        if (!round || *round > kCupRounds || !time)
            return false;
        day.starts[static_cast<std::size_t>(*round - 1)] = time;
    }
    if (!query.exec(QStringLiteral("SELECT minutes FROM game_length")))
        return false;
    if (query.next()) {
        const auto minutes = number(query.value(0), 1);
        if (!minutes)
            return false;
        day.gameMinutes = *minutes;
    }
    if (!query.exec(QStringLiteral("SELECT round, pool, game, hall, lane, day, minute FROM "
                                   "game_move ORDER BY round, pool, game")))
        return false;
    while (query.next()) {
        const auto round = number(query.value(0), 1);
        const auto pool = number(query.value(1), 1);
        const auto game = number(query.value(2), 1);
        const auto lane = nullableNumber(query.value(4));
        if (!round || !pool || !game || !lane)
            return false;
        SlotRecord move{*round, *pool, *game, std::nullopt, std::nullopt};
        if (*lane)
            move.lane = LaneRef{query.value(3).toString().toStdString(), **lane};
        if (!query.value(6).isNull()) {
            move.time = dayTime(query.value(5), query.value(6));
            if (!move.time)
                return false;
        }
        day.moves.push_back(std::move(move));
    }
    return true;
}

// The roll-call in (round, team) order on both sides: one walk writes the answers that
// changed, so that a toggle writes one row.
bool writeRollCalls(QSqlDatabase &db, const std::vector<RollCallRecord> &before,
                    const std::vector<RollCallRecord> &after)
{
    const auto key = [](const RollCallRecord &call) { return std::tie(call.round, call.team); };
    auto o = before.begin();
    auto n = after.begin();
    while (o != before.end() || n != after.end()) {
        if (n == after.end() || (o != before.end() && key(*o) < key(*n))) {
            if (!run(db, "DELETE FROM roll_call WHERE round = ? AND team = ?", {o->round, o->team}))
                return false;
            ++o;
            continue;
        }
        const bool same = o != before.end() && !(key(*n) < key(*o));
        if ((!same || !(*o == *n)) &&
            !run(db, "INSERT OR REPLACE INTO roll_call VALUES (?, ?, ?)",
                 {n->round, n->team, n->present ? 1 : 0}))
            return false;
        if (same)
            ++o;
        ++n;
    }
    return true;
}

// The lanes, the starts, the length: a few rows, written again whole when they change.
bool writeSchedule(QSqlDatabase &db, const DayRecords &before, const DayRecords &after)
{
    if (!(before.lanes == after.lanes)) {
        if (!run(db, "DELETE FROM hall_lanes", {}))
            return false;
        for (const LaneRange &range : after.lanes) {
            if (!run(db, "INSERT INTO hall_lanes VALUES (?, ?, ?)",
                     {QString::fromStdString(range.hall), range.first, range.last}))
                return false;
        }
    }
    if (before.starts != after.starts) {
        if (!run(db, "DELETE FROM round_start", {}))
            return false;
        for (std::size_t r = 0; r < after.starts.size(); ++r) {
            if (const auto &start = after.starts[r];
                start && !run(db, "INSERT INTO round_start VALUES (?, ?, ?)",
                              {static_cast<int>(r + 1), optionalDay(start), start->minute}))
                return false;
        }
    }
    if (before.gameMinutes != after.gameMinutes &&
        !run(db, "INSERT OR REPLACE INTO game_length VALUES (1, ?)", {after.gameMinutes}))
        return false;
    return true;
}

bool insertMoves(QSqlDatabase &db, const std::vector<SlotRecord> &moves)
{
    for (const SlotRecord &move : moves) {
        if (!run(db, "INSERT INTO game_move VALUES (?, ?, ?, ?, ?, ?, ?)",
                 {move.round, move.group, move.game,
                  move.lane ? QVariant(QString::fromStdString(move.lane->hall)) : QVariant(),
                  move.lane ? QVariant(move.lane->number) : QVariant(), optionalDay(move.time),
                  move.time ? QVariant(move.time->minute) : QVariant()}))
            return false;
    }
    return true;
}

} // namespace

std::optional<CupRecords> readCupRecords(QSqlDatabase &db)
{
    CupRecords records;
    if (!readDraws(db, records))
        return std::nullopt;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT round, pool, game, winner, winner_score, loser_score, "
                                   "withdrawn FROM result ORDER BY round, pool, game")))
        return std::nullopt;
    while (query.next()) {
        const auto round = number(query.value(0), 1);
        const auto pool = number(query.value(1), 1);
        const auto game = number(query.value(2), 1);
        const auto winner = number(query.value(3));
        const auto winnerScore = nullableNumber(query.value(4));
        const auto loserScore = nullableNumber(query.value(5));
        const auto withdrawn = nullableNumber(query.value(6));
        if (!round || !pool || !game || !winner || !winnerScore || !loserScore || !withdrawn)
            return std::nullopt;
        records.results.push_back(
            {*round, *pool, *game, *winner, *winnerScore, *loserScore, *withdrawn});
    }
    if (!query.exec(QStringLiteral("SELECT rank, team FROM chosen_exempted ORDER BY rank")))
        return std::nullopt;
    while (query.next()) {
        const auto rank = number(query.value(0));
        const auto team = number(query.value(1));
        if (!rank || !team || static_cast<std::size_t>(*rank) != records.chosenExempted.size())
            return std::nullopt;
        records.chosenExempted.push_back(*team);
    }
    if (!query.exec(QStringLiteral("SELECT team, round FROM withdrawal ORDER BY team")))
        return std::nullopt;
    while (query.next()) {
        const auto team = number(query.value(0));
        const auto round = number(query.value(1), 1);
        if (!team || !round)
            return std::nullopt;
        records.withdrawals.push_back({*team, *round});
    }
    if (!readDay(db, records.day))
        return std::nullopt;
    return records;
}

bool writeCupRecords(QSqlDatabase &db, const CupRecords &before, const CupRecords &after)
{
    // A round drawn again, cancelled or new: its rows go and come whole, its results too.
    std::array<bool, kCupRounds + 1> rewritten{};
    for (const CupRecords *records : {&before, &after}) {
        for (const DrawRecord &draw : records->draws) {
            if (draw.round < 1 || draw.round > kCupRounds)
                return false;
        }
        for (const ResultRecord &result : records->results) {
            if (result.round < 1 || result.round > kCupRounds)
                return false;
        }
    }
    // Withdrawals go before the draws their rounds refer to, and come back after.
    const bool withdrawalsChange =
        !(before.withdrawals == after.withdrawals) || !(before.draws == after.draws);
    if (withdrawalsChange && !run(db, "DELETE FROM withdrawal", {}))
        return false;
    // The games moved, like withdrawals, refer to their rounds' draws.
    const bool movesChange = !(before.day.moves == after.day.moves) || withdrawalsChange;
    if (movesChange && !run(db, "DELETE FROM game_move", {}))
        return false;
    for (std::size_t k = 0; k < std::max(before.draws.size(), after.draws.size()); ++k) {
        const bool had = k < before.draws.size();
        const bool has = k < after.draws.size();
        if (had && has && before.draws[k] == after.draws[k])
            continue;
        if (had && !deleteDraw(db, before.draws[k].round))
            return false;
        if (had)
            rewritten[static_cast<std::size_t>(before.draws[k].round)] = true;
        if (has && !insertDraw(db, after.draws[k]))
            return false;
        if (has)
            rewritten[static_cast<std::size_t>(after.draws[k].round)] = true;
    }
    // The results in game order on both sides: one walk finds the games that changed.
    const std::vector<ResultRecord> old = byGame(before.results);
    const std::vector<ResultRecord> now = byGame(after.results);
    auto o = old.begin();
    auto n = now.begin();
    while (o != old.end() || n != now.end()) {
        if (n == now.end() || (o != old.end() && gameBefore(*o, *n))) {
            if (!rewritten[static_cast<std::size_t>(o->round)] &&
                !run(db, "DELETE FROM result WHERE round = ? AND pool = ? AND game = ?",
                     {o->round, o->group, o->game}))
                return false;
            ++o;
            continue;
        }
        const bool same = o != old.end() && !gameBefore(*n, *o);
        if ((!same || !(*o == *n) || rewritten[static_cast<std::size_t>(n->round)]) &&
            !insertResult(db, *n))
            return false;
        if (same)
            ++o;
        ++n;
    }
    if (before.chosenExempted != after.chosenExempted) {
        if (!run(db, "DELETE FROM chosen_exempted", {}))
            return false;
        for (std::size_t k = 0; k < after.chosenExempted.size(); ++k) {
            if (!run(db, "INSERT INTO chosen_exempted VALUES (?, ?)",
                     {static_cast<int>(k), after.chosenExempted[k]}))
                return false;
        }
    }
    if (withdrawalsChange) {
        for (const WithdrawalRecord &withdrawal : after.withdrawals) {
            if (!run(db, "INSERT INTO withdrawal VALUES (?, ?)",
                     {withdrawal.team, withdrawal.round}))
                return false;
        }
    }
    return writeRollCalls(db, before.day.rollCalls, after.day.rollCalls) &&
           writeSchedule(db, before.day, after.day) &&
           (!movesChange || insertMoves(db, after.day.moves));
}

} // namespace velmorin
