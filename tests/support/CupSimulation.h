#pragma once

// Cups for the tests, the benchmarks and the fuzz target: invented plans and lists that fit
// each other, a cup played with random results, forfeits and corrections, and the check of
// every rule the cup must keep after any operation.

#include "Cup.h"
#include "CupCommand.h"
#include "TeamAssignment.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmorin::testing {

// The sizes of rounds 1 to 6 from the entrants of rounds 1 to 4 ([0] for round 1); none when
// a round before the final would not come out whole.
inline std::optional<CupLayout> layoutFor(const std::array<Count, kEntryRounds> &entrants,
                                          const std::array<Ratio, 3> &ratios, int exempted)
{
    CupLayout layout;
    layout.ratios = ratios;
    layout.exempted = exempted;
    Count size = 0;
    for (int round = 1; round <= kCupRounds; ++round) {
        size += round <= kEntryRounds ? entrants[static_cast<std::size_t>(round - 1)] : 0;
        layout.sizes[static_cast<std::size_t>(round - 1)] = size;
        const Count playing = size - layout.exemptedAt(round);
        const Count groupSize = layout.groupSize(round);
        if (playing < 0 || playing % groupSize != 0)
            return std::nullopt;
        size = playing / groupSize * (groupSize == 4 ? 3 : 1) + layout.exemptedAt(round);
    }
    return layout;
}

// Entrants adding up to `teams` whose rounds all come out whole, drawn at random; none when
// no try found any.
inline std::optional<std::array<Count, kEntryRounds>>
entrantsFor(Count teams, const std::array<Ratio, 3> &ratios, int exempted, SeededDraw &draw)
{
    for (int attempt = 0; attempt < 4000; ++attempt) {
        std::array<Count, kEntryRounds> entrants{};
        Count left = teams;
        Count through = 0; // the teams through the round before
        for (std::size_t r = 0; r + 1 < entrants.size(); ++r) {
            // Rounds 1 to 3 are in groups of four: their sizes are made multiples of 4.
            Count entering =
                static_cast<Count>(draw.below(static_cast<std::uint64_t>(left / 2 + 2)));
            entering += (4 - (through + entering) % 4) % 4;
            entrants[r] = std::min(entering, left);
            left -= entrants[r];
            through = (through + entrants[r]) / 4 * 3;
        }
        entrants[3] = left;
        if (layoutFor(entrants, ratios, exempted))
            return entrants;
    }
    return std::nullopt;
}

// `count` teams over `clubs` clubs (0: none has a club; the first club takes a third of them,
// so that it holds more teams than some rounds have groups), one in seven without a club.
inline std::vector<CupTeam> inventedTeams(const std::array<Count, kEntryRounds> &entrants,
                                          std::size_t clubs, SeededDraw &draw)
{
    std::vector<CupTeam> teams;
    for (int round = 1; round <= kEntryRounds; ++round) {
        for (Count k = 0; k < entrants[static_cast<std::size_t>(round - 1)]; ++k) {
            CupTeam team;
            team.name = "Équipe n° " + std::to_string(teams.size() + 1);
            if (clubs > 0 && draw.below(7) != 0)
                team.club = "Club " + std::to_string(draw.below(3) == 0 ? 0 : draw.below(clubs));
            team.entryRound = round;
            teams.push_back(std::move(team));
        }
    }
    std::vector<int> strengths(teams.size());
    for (std::size_t k = 0; k < strengths.size(); ++k)
        strengths[k] = static_cast<int>(k);
    draw.shuffle(strengths.data(), strengths.size());
    for (std::size_t k = 0; k < teams.size(); ++k)
        teams[k].strength = strengths[k];
    return teams;
}

// The commands as the tests give them: a round and a team where the organiser names a team.
inline CupAnswer drawRound(Cup &cup, int round)
{
    return cup.apply(DrawCommand{round});
}
inline CupAnswer redrawRound(Cup &cup, int round)
{
    return cup.apply(RedrawCommand{round});
}
inline CupAnswer cancelRound(Cup &cup, int round)
{
    return cup.apply(CancelDrawCommand{round});
}
inline CupAnswer chooseExempted(Cup &cup, std::vector<int> teams)
{
    return cup.apply(ExemptedCommand{std::move(teams)});
}
// The team's pending game won.
inline CupAnswer recordWinner(Cup &cup, int round, int team,
                              std::optional<Score> score = std::nullopt)
{
    const GameChoice game = cup.teamGame(round, team, std::nullopt, TeamGameUse::Result);
    if (!game.game)
        return CupAnswer::refused(game.refusal);
    return cup.apply(ResultCommand{*game.game, team, score, false});
}
inline CupAnswer declareForfeit(Cup &cup, int round, int team)
{
    return cup.apply(WithdrawalCommand{round, team});
}
inline CupAnswer correctResult(Cup &cup, const GameRef &game, int winner,
                               std::optional<Score> score, bool withdrawn = false)
{
    return cup.apply(CorrectionCommand{game, winner, score, withdrawn});
}

// Plays a drawn round to its end: winners with scores, forfeits one game in ten, and with
// `corrections` a correction after one result in eight.
inline void playRound(Cup &cup, int round, SeededDraw &draw, bool corrections)
{
    for (;;) {
        // One pass over the games pending, in random order; barrages come in the next.
        std::vector<PendingGame> pending = cup.pendingGames(round);
        if (pending.empty())
            return;
        draw.shuffle(pending.data(), pending.size());
        for (const PendingGame &game : pending) {
            const int team = draw.below(2) ? game.teamA : game.teamB;
            if (draw.below(10) == 0)
                declareForfeit(cup, round, team);
            else
                recordWinner(cup, round, team, Score{13, static_cast<int>(draw.below(13))});
            if (corrections && draw.below(8) == 0) {
                const GameRef &ref = game.game;
                if (const auto sides = cup.gameTeams(ref)) {
                    const bool withdrawn = draw.below(6) == 0;
                    correctResult(cup, ref, draw.below(2) ? sides->first : sides->second,
                                  withdrawn ? std::nullopt : std::optional<Score>(Score{13, 7}),
                                  withdrawn);
                }
            }
        }
    }
}

// A command an organiser could give now, at random: mostly results of pending games, then
// withdrawals, corrections, qualifications, roll-calls, draws, redraws, cancellations and
// exempted teams;
// some of them refused (a correction of a frozen round, a withdrawn team's second forfeit).
inline CupCommand randomCommand(const Cup &cup, SeededDraw &draw)
{
    const int last = cup.drawnRounds();
    const auto randomScore = [&]() -> std::optional<Score> {
        if (draw.below(3) == 0)
            return std::nullopt;
        return Score{13, static_cast<int>(draw.below(13))};
    };
    const auto pick = [&](const auto &items) { return items[draw.below(items.size())]; };
    if (last == 0 || (cup.isComplete(last) && last < kCupRounds && draw.below(8) != 0)) {
        if (last == 3 && cup.layout().exempted > 0 && draw.below(3) == 0) {
            const std::vector<int> playing = cup.participants(4);
            std::vector<int> chosen;
            for (int k = 0; k < cup.layout().exempted && !playing.empty(); ++k)
                chosen.push_back(pick(playing));
            return ExemptedCommand{chosen};
        }
        // The roll-call before the draw: a team in twelve absent.
        const std::vector<int> called = cup.rollCallTeams(last + 1);
        if (!called.empty() && draw.below(3) == 0)
            return RollCallCommand{last + 1, pick(called), draw.below(12) != 0};
        return DrawCommand{last + 1};
    }
    const std::vector<PendingGame> pending = cup.pendingGames(last);
    const std::uint64_t kind = draw.below(40);
    if (!pending.empty() && kind < 28) {
        const PendingGame game = pick(pending);
        const int winner = draw.below(2) ? game.teamA : game.teamB;
        const bool forfeit = draw.below(12) == 0;
        return ResultCommand{game.game, winner, forfeit ? std::nullopt : randomScore(), forfeit};
    }
    const std::vector<int> playing = cup.participants(last);
    if (kind < 32 && !playing.empty())
        return WithdrawalCommand{last, pick(playing)};
    // A decided game of the round, or of the one before (frozen then).
    const int round = draw.below(8) == 0 && last > 1 ? last - 1 : last;
    const DrawRecord &drawn = *cup.drawnRound(round);
    if (kind < 38 && !drawn.groups.empty()) {
        const GameRef game{round, 1 + static_cast<int>(draw.below(drawn.groups.size())),
                           1 + static_cast<int>(draw.below(
                                   static_cast<std::uint64_t>(cup.layout().gamesPerGroup(round))))};
        if (const auto sides = cup.gameTeams(game); sides && cup.result(game)) {
            const int winner = draw.below(2) ? sides->first : sides->second;
            if (kind < 36) {
                const bool forfeit = draw.below(5) == 0;
                return CorrectionCommand{game, winner, forfeit ? std::nullopt : randomScore(),
                                         forfeit};
            }
            return QualificationCommand{game, winner};
        }
    }
    if (kind == 38)
        return RedrawCommand{last};
    if (kind == 39 && draw.below(4) == 0)
        return CancelDrawCommand{last};
    return DrawCommand{last + 1};
}

// A cup of `teams` teams whose rounds all come out whole, the same every time.
inline Cup inventedCup(Count teams, std::size_t clubs, std::array<Ratio, 3> ratios, int exempted,
                       std::uint64_t seed)
{
    SeededDraw draw(seed);
    const auto entrants = entrantsFor(teams, ratios, exempted, draw);
    if (!entrants)
        throw std::logic_error("no plan for " + std::to_string(teams) + " teams");
    CupCreation made = Cup::create(inventedTeams(*entrants, clubs, draw),
                                   *layoutFor(*entrants, ratios, exempted), seed);
    if (!made.ok())
        throw std::logic_error(made.error);
    return std::move(*made.cup);
}

// The first rule the cup breaks, or nothing.
inline std::string cupProblem(const Cup &cup)
{
    const CupLayout &layout = cup.layout();
    const std::vector<CupTeam> &teams = cup.teams();
    if (cup.isFrozen() != (cup.drawnRounds() > 0))
        return "frozen without round 1 drawn, or the reverse";
    for (int round = 1; round <= cup.drawnRounds(); ++round) {
        const std::string at = "round " + std::to_string(round) + ": ";
        const DrawRecord &drawn = *cup.drawnRound(round);
        const std::vector<int> playing = cup.participants(round);
        if (static_cast<Count>(playing.size()) != layout.sizes[static_cast<std::size_t>(round - 1)])
            return at + "not the plan's size";
        if (std::adjacent_find(playing.begin(), playing.end()) != playing.end())
            return at + "a team plays twice";
        if (round > 1) {
            std::vector<int> expected = cup.qualified(round - 1);
            for (std::size_t t = 0; t < teams.size(); ++t) {
                if (teams[t].entryRound == round)
                    expected.push_back(static_cast<int>(t));
            }
            std::sort(expected.begin(), expected.end());
            if (expected != playing)
                return at + "not the teams through the round before and its entrants";
        }
        if (round < cup.drawnRounds() && !cup.isComplete(round))
            return at + "a later round was drawn before it was complete";
        const std::size_t groupSize = static_cast<std::size_t>(layout.groupSize(round));
        const std::size_t groups = drawn.groups.size();
        if (drawn.exempted.size() != static_cast<std::size_t>(layout.exemptedAt(round)) ||
            groups * groupSize + drawn.exempted.size() != playing.size())
            return at + "wrong number of groups or exempted teams";
        std::map<std::string, std::vector<int>> perClub; // club -> count per group
        std::vector<int> entering(groups, 0);
        for (std::size_t g = 0; g < groups; ++g) {
            if (drawn.groups[g].size() != groupSize)
                return at + "a group of the wrong size";
            for (const int team : drawn.groups[g]) {
                const CupTeam &cupTeam = teams[static_cast<std::size_t>(team)];
                entering[g] += cupTeam.entryRound == round;
                if (!cupTeam.club.empty()) {
                    perClub[cupTeam.club].resize(groups, 0);
                    ++perClub[cupTeam.club][g];
                }
            }
        }
        for (const auto &[club, counts] : perClub) {
            int total = 0;
            for (const int count : counts)
                total += count;
            const int g = static_cast<int>(groups);
            for (const int count : counts) {
                if (count < total / g || count > (total + g - 1) / g)
                    return at + "club " + club + " spread unevenly";
            }
        }
        if (!entering.empty() && *std::max_element(entering.begin(), entering.end()) -
                                         *std::min_element(entering.begin(), entering.end()) >
                                     2)
            return at + "entrants spread unevenly";
        if (drawn.meetings != clubMeetings(teams, drawn.groups))
            return at + "meetings are not the groups'";
        for (int group = 1; group <= static_cast<int>(groups); ++group) {
            for (int game = 1; game <= kBarrage; ++game) {
                const auto result = cup.result({round, group, game});
                if (!result)
                    continue;
                const auto sides = *cup.gameTeams({round, group, game});
                const int loser = result->winner == sides.first ? sides.second : sides.first;
                if (result->winner != sides.first && result->winner != sides.second)
                    return at + "a winner who did not play the game";
                if (result->withdrawn && *result->withdrawn != loser)
                    return at + "a forfeit of the winner";
                if (result->withdrawn && !cup.isWithdrawn(loser, round))
                    return at + "a forfeit lost by a team that did not withdraw";
            }
            for (int game = 1; game <= layout.gamesPerGroup(round); ++game) {
                const auto sides = cup.gameTeams({round, group, game});
                if (sides && !cup.result({round, group, game}) &&
                    (cup.isWithdrawn(sides->first, round) || cup.isWithdrawn(sides->second, round)))
                    return at + "a withdrawn team's game left open";
            }
            // A team that withdrew in an earlier round played none of this one's games.
            for (int game = 1; game <= layout.gamesPerGroup(round); ++game) {
                const auto sides = cup.gameTeams({round, group, game});
                const auto result = cup.result({round, group, game});
                if (!sides || !result)
                    continue;
                const auto before = [&](int team) {
                    const auto at = cup.withdrawalRound(team);
                    return at && *at < round;
                };
                if ((before(sides->first) || before(sides->second)) &&
                    (!result->withdrawn ||
                     (before(result->winner) && !cup.isWithdrawn(*result->withdrawn, round))))
                    return at + "a game played by a team that had withdrawn";
            }
        }
        if (cup.isComplete(round) && round < kCupRounds) {
            Count entrants = 0;
            for (const CupTeam &team : teams)
                entrants += team.entryRound == round + 1;
            if (static_cast<Count>(cup.qualified(round).size()) !=
                layout.sizes[static_cast<std::size_t>(round)] - entrants)
                return at + "qualified count is not the next round's size less its entrants";
        }
    }
    const CupCreation again = Cup::restore(cup.teams(), cup.layout(), cup.seed(), cup.records());
    if (!again.ok())
        return "its own records refused: " + again.error;
    if (!(again.cup->records() == cup.records()))
        return "its records restored differently";
    return {};
}

} // namespace velmorin::testing
