// The cup's day: the roll-call before each draw, the lanes of its halls, each round's start,
// a game's length, and the games the organiser moves.

#include "Cup.h"

#include "CupCommand.h"
#include "CupPrivate.h"
#include "CupSchedule.h"
#include "VisibleText.h"

#include <algorithm>
#include <tuple>

namespace velmorin {

using namespace cupprivate;

namespace {

bool rollCallBefore(const RollCallRecord &a, int round, int team)
{
    return std::tie(a.round, a.team) < std::tie(round, team);
}

bool slotBefore(const SlotRecord &a, const SlotRecord &b)
{
    return std::tie(a.round, a.group, a.game) < std::tie(b.round, b.group, b.game);
}

std::string hallName(const std::string &hall)
{
    return hall.empty() ? std::string("la salle") : "la salle « " + withVisibleControls(hall) + " »";
}

} // namespace

std::optional<bool> Cup::rollCall(int round, int team) const
{
    const auto &calls = m_day.rollCalls;
    const auto found = std::lower_bound(
        calls.begin(), calls.end(), std::make_pair(round, team),
        [](const RollCallRecord &a, const std::pair<int, int> &key) {
            return rollCallBefore(a, key.first, key.second);
        });
    if (found == calls.end() || found->round != round || found->team != team)
        return std::nullopt;
    return found->present;
}

std::vector<int> Cup::rollCallTeams(int round) const
{
    if (isDrawn(round))
        return participants(round);
    if (round < 1 || round > kCupRounds)
        return {};
    return comingTo(round);
}

CupAnswer Cup::markRollCall(const RollCallCommand &command)
{
    const int round = command.round;
    const int team = command.team;
    if (round < 1 || round > kCupRounds)
        return CupAnswer::refused("Il n'y a pas de Tour " + number(round) +
                                  " : les tours vont de 1 à 6.");
    if (team < 0 || team >= static_cast<int>(m_teams.size()))
        return CupAnswer::refused("Il n'y a pas d'équipe n° " + number(team + 1LL) + ".");
    if (isDrawn(round))
        return CupAnswer::refused("Le " + roundName(round) +
                                  " est tiré : une équipe qui ne vient pas y déclare forfait.");
    const std::vector<int> called = rollCallTeams(round);
    if (!std::binary_search(called.begin(), called.end(), team))
        return CupAnswer::refused(teamName(team) + " ne joue pas le " + roundName(round) + ".");
    const std::string text = teamName(team) + " est pointée " +
                             (command.present ? "présente" : "absente") + " au " +
                             roundName(round);
    if (rollCall(round, team) == command.present)
        return CupAnswer::unchanged(text + " : rien ne change.");
    auto &calls = m_day.rollCalls;
    const auto at = std::lower_bound(calls.begin(), calls.end(), std::make_pair(round, team),
                                     [](const RollCallRecord &a, const std::pair<int, int> &key) {
                                         return rollCallBefore(a, key.first, key.second);
                                     });
    if (at != calls.end() && at->round == round && at->team == team)
        at->present = command.present;
    else
        calls.insert(at, {round, team, command.present});
    return CupAnswer::ok(text + (command.present ? "."
                                                 : " : tirée comme les autres, elle perdra ses "
                                                   "parties par forfait."));
}

void Cup::withdrawAbsentees(int round)
{
    for (const RollCallRecord &call : m_day.rollCalls) {
        if (call.round != round || call.present)
            continue;
        const RoundState &state = m_rounds[static_cast<std::size_t>(round - 1)];
        const bool plays = state.groupOf[static_cast<std::size_t>(call.team)] >= 0 ||
                           contains(state.draw.exempted, call.team);
        if (plays && !withdrawalRound(call.team))
            m_withdrawnAt[static_cast<std::size_t>(call.team)] = round;
    }
}

void Cup::pruneRollCalls(int first)
{
    auto &calls = m_day.rollCalls;
    if (calls.empty())
        return;
    std::array<std::vector<int>, kCupRounds + 1> called;
    std::array<bool, kCupRounds + 1> known{};
    calls.erase(std::remove_if(calls.begin(), calls.end(),
                               [&](const RollCallRecord &call) {
                                   if (call.round < first || call.round > kCupRounds)
                                       return false;
                                   const auto r = static_cast<std::size_t>(call.round);
                                   if (!known[r]) {
                                       called[r] = rollCallTeams(call.round);
                                       known[r] = true;
                                   }
                                   return !std::binary_search(called[r].begin(),
                                                              called[r].end(), call.team);
                               }),
                calls.end());
}

void Cup::dropMovedGames(int round)
{
    auto &moves = m_day.moves;
    moves.erase(std::remove_if(moves.begin(), moves.end(),
                               [round](const SlotRecord &slot) { return slot.round == round; }),
                moves.end());
}

bool Cup::settledByDraw(const ResultRecord &result) const
{
    return result.withdrawn && (isWithdrawn(*result.withdrawn, result.round - 1) ||
                                isAbsent(result.round, *result.withdrawn));
}

CupAnswer Cup::setLanes(const LanesCommand &command)
{
    const bool none = command.last < command.first;
    if (!none && (command.first < 1 || command.last > kMaxLane))
        return CupAnswer::refused("Les jeux vont du premier au dernier, numérotés de 1 à " +
                                  number(kMaxLane) + ".");
    auto &lanes = m_day.lanes;
    const auto same = std::find_if(lanes.begin(), lanes.end(), [&](const LaneRange &range) {
        return range.hall == command.hall;
    });
    const std::string hall = hallName(command.hall);
    std::string text;
    if (none) {
        if (same == lanes.end())
            return CupAnswer::unchanged(capitalized(hall) + " n'a pas de jeux : rien ne change.");
        lanes.erase(same);
        text = capitalized(hall) + " n'a plus de jeux.";
    } else {
        const LaneRange range{command.hall, command.first, command.last};
        text = "Jeux de " + hall + " : " +
               (range.first == range.last ? "le " + number(range.first)
                                          : number(range.first) + " à " + number(range.last));
        if (same != lanes.end() && *same == range)
            return CupAnswer::unchanged(text + " : rien ne change.");
        text += ".";
        if (same != lanes.end())
            *same = range;
        else
            lanes.insert(std::upper_bound(lanes.begin(), lanes.end(), range,
                                          [](const LaneRange &a, const LaneRange &b) {
                                              return a.hall < b.hall;
                                          }),
                         range);
    }
    // A game moved to a lane that is no more goes back to the schedule's lane.
    const std::vector<LaneRef> all = cupLanes(m_day);
    int dropped = 0;
    for (SlotRecord &slot : m_day.moves) {
        if (slot.lane && std::find(all.begin(), all.end(), *slot.lane) == all.end()) {
            slot.lane.reset();
            ++dropped;
        }
    }
    m_day.moves.erase(std::remove_if(m_day.moves.begin(), m_day.moves.end(),
                                     [](const SlotRecord &slot) { return !slot.lane && !slot.time; }),
                      m_day.moves.end());
    if (dropped > 0)
        text += " " + counted(dropped, "partie") + " déplacée" + (dropped > 1 ? "s" : "") +
                " sur un jeu qui n'existe plus " + (dropped > 1 ? "reprennent" : "reprend") +
                " le jeu prévu.";
    return CupAnswer::ok(std::move(text));
}

CupAnswer Cup::setStart(int round, const std::optional<DayTime> &time)
{
    if (round < 1 || round > kCupRounds)
        return CupAnswer::refused("Il n'y a pas de Tour " + number(round) +
                                  " : les tours vont de 1 à 6.");
    if (time && !isValid(*time))
        return CupAnswer::refused("Cette heure n'existe pas.");
    auto &start = m_day.starts[static_cast<std::size_t>(round - 1)];
    const std::string text =
        time ? "Le " + roundName(round) + " commence " + dayTimeText(*time)
             : "Le " + roundName(round) + " n'a plus d'heure de début";
    if (start == time)
        return CupAnswer::unchanged(text + " : rien ne change.");
    start = time;
    return CupAnswer::ok(text + ".");
}

CupAnswer Cup::setGameLength(int minutes)
{
    if (minutes < 1 || minutes > kMaxGameMinutes)
        return CupAnswer::refused("Une partie dure de 1 minute à 24 heures.");
    const std::string text = "Une partie dure " + durationText(minutes);
    if (m_day.gameMinutes == minutes)
        return CupAnswer::unchanged(text + " : rien ne change.");
    m_day.gameMinutes = minutes;
    return CupAnswer::ok(text + ".");
}

CupAnswer Cup::moveGame(const SlotCommand &command)
{
    const GameRef &ref = command.game;
    if (!isDrawn(ref.round))
        return CupAnswer::refused("Le " + roundName(ref.round) + " n'est pas tiré.");
    const DrawRecord &drawn = *drawnRound(ref.round);
    if (ref.group < 1 || ref.group > static_cast<int>(drawn.groups.size()) || ref.game < 1 ||
        ref.game > m_layout.gamesPerGroup(ref.round))
        return CupAnswer::refused("Le " + roundName(ref.round) + " n'a pas de partie " +
                                  number(ref.game) + " en poule " + number(ref.group) + ".");
    const std::vector<LaneRef> lanes = cupLanes(m_day);
    if (command.lane && std::find(lanes.begin(), lanes.end(), *command.lane) == lanes.end())
        return CupAnswer::refused("Il n'y a pas de " + laneText(*command.lane) +
                                  " : les jeux se donnent avec --jeux.");
    if (command.time && !isValid(*command.time))
        return CupAnswer::refused("Cette heure n'existe pas.");

    SlotRecord record{ref.round, ref.group, ref.game, command.lane, command.time};
    auto &moves = m_day.moves;
    const auto at = std::lower_bound(moves.begin(), moves.end(), record, slotBefore);
    const bool had = at != moves.end() && !slotBefore(record, *at);
    const std::string game = capitalized(gameName(ref));
    if (!command.lane && !command.time) {
        if (!had)
            return CupAnswer::unchanged(game + " a le jeu et l'heure prévus : rien ne change.");
        moves.erase(at);
        return CupAnswer::ok(game + " reprend le jeu et l'heure prévus.");
    }
    if (had && *at == record)
        return CupAnswer::unchanged(game + " a déjà ce jeu et cette heure : rien ne change.");

    // Applied, then checked against the other games of the round: no lane holds two at once.
    const DayRecords before = m_day;
    if (had)
        *at = record;
    else
        moves.insert(at, record);
    const std::vector<GameSlot> schedule = roundSchedule(*this, ref.round);
    const int perGroup = m_layout.gamesPerGroup(ref.round);
    const GameSlot &mine =
        schedule[static_cast<std::size_t>((ref.group - 1) * perGroup + ref.game - 1)];
    if (mine.lane && mine.time) {
        const int from = minuteOfWeek(*mine.time);
        for (const GameSlot &slot : schedule) {
            if (&slot == &mine || !slot.lane || !slot.time || !(*slot.lane == *mine.lane))
                continue;
            const int other = minuteOfWeek(*slot.time);
            if (other < from + m_day.gameMinutes && from < other + m_day.gameMinutes) {
                m_day = before;
                return CupAnswer::refused("Le " + laneText(*mine.lane) + " est pris à " +
                                          dayTimeText(*slot.time) + " par " +
                                          gameName(slot.game) + ".");
            }
        }
    }
    std::string text = game + " se joue";
    if (mine.lane)
        text += " au " + laneText(*mine.lane);
    if (mine.time)
        text += " à " + dayTimeText(*mine.time);
    return CupAnswer::ok(text + ".");
}

std::optional<std::string> Cup::checkDayRecords(const DayRecords &day) const
{
    for (std::size_t k = 0; k < day.rollCalls.size(); ++k) {
        const RollCallRecord &call = day.rollCalls[k];
        if (call.round < 1 || call.round > kCupRounds || call.team < 0 ||
            call.team >= static_cast<int>(m_teams.size()) ||
            (k > 0 && !rollCallBefore(day.rollCalls[k - 1], call.round, call.team)))
            return "un pointage ne désigne pas une équipe d'un tour.";
        // An absent team that came after all keeps its answer: its forfeit was taken back by
        // a correction, and the round's lanes stay as the roll-call made them.
        if (isDrawn(call.round)) {
            const std::vector<int> playing = participants(call.round);
            if (!std::binary_search(playing.begin(), playing.end(), call.team))
                return "un pointage du " + roundName(call.round) +
                       " est celui d'une équipe qui ne joue pas ce tour.";
        }
    }
    for (std::size_t k = 0; k < day.lanes.size(); ++k) {
        const LaneRange &range = day.lanes[k];
        if (range.first < 1 || range.last > kMaxLane || range.first > range.last ||
            (k > 0 && !(day.lanes[k - 1].hall < range.hall)))
            return "les jeux d'une salle sont impossibles.";
    }
    for (const auto &start : day.starts) {
        if (start && !isValid(*start))
            return "l'heure de début d'un tour est impossible.";
    }
    if (day.gameMinutes < 1 || day.gameMinutes > kMaxGameMinutes)
        return "la durée d'une partie est impossible.";
    const std::vector<LaneRef> lanes = cupLanes(day);
    for (std::size_t k = 0; k < day.moves.size(); ++k) {
        const SlotRecord &slot = day.moves[k];
        const DrawRecord *drawn = drawnRound(slot.round);
        if (!drawn || slot.group < 1 || slot.group > static_cast<int>(drawn->groups.size()) ||
            slot.game < 1 || slot.game > m_layout.gamesPerGroup(slot.round) ||
            (!slot.lane && !slot.time) ||
            (slot.lane && std::find(lanes.begin(), lanes.end(), *slot.lane) == lanes.end()) ||
            (slot.time && !isValid(*slot.time)) ||
            (k > 0 && !slotBefore(day.moves[k - 1], slot)))
            return "une partie déplacée n'est pas une partie d'un tour tiré.";
    }
    return std::nullopt;
}

} // namespace velmorin
