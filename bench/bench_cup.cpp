// The cup as it is played: one draw of a round of 10 000 teams from 2 000 clubs (some of them
// entering at that round), a whole cup of 20 000 teams drawn and played to the final, and the
// cup's day: a roll-call's filtering, a round's lanes and times.

#include "Cup.h"
#include "CupDraw.h"
#include "CupSchedule.h"
#include "CupSimulation.h"
#include "CupText.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <numeric>

namespace {

using namespace velmorin;

void drawTenThousand(benchmark::State &state)
{
    std::vector<CupTeam> teams(10000);
    for (std::size_t k = 0; k < teams.size(); ++k)
        teams[k] = {"Équipe " + std::to_string(k), "Club " + std::to_string(k % 2000),
                    k % 3 == 0 ? 2 : 1, static_cast<int>(k)};
    std::vector<int> players(teams.size());
    std::iota(players.begin(), players.end(), 0);
    const int groupSize = static_cast<int>(state.range(0));
    std::uint64_t seed = 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(drawGroups(teams, players, groupSize, 2, seed++));
}
BENCHMARK(drawTenThousand)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);

void wholeCup(benchmark::State &state)
{
    const std::array<Ratio, 3> ratios{Ratio::Half, Ratio::Half, Ratio::Half};
    SeededDraw draw(20000);
    const auto entrants = testing::entrantsFor(20000, ratios, 2, draw);
    if (!entrants)
        std::abort();
    const std::vector<CupTeam> teams = testing::inventedTeams(*entrants, 2000, draw);
    const CupLayout layout = *testing::layoutFor(*entrants, ratios, 2);
    std::uint64_t seed = 1;
    for (auto _ : state) {
        CupCreation made = Cup::create(teams, layout, seed);
        SeededDraw play(seed++);
        for (int round = 1; round <= kCupRounds; ++round) {
            if (!velmorin::testing::drawRound(*made.cup, round).done)
                std::abort();
            testing::playRound(*made.cup, round, play, true);
        }
        benchmark::DoNotOptimize(made.cup->finalTeams());
    }
}
BENCHMARK(wholeCup)->Unit(benchmark::kMillisecond);

// The roll-call of 5 000 teams as the organiser types a team's first letters: one key's
// filtering.
void rollCallKey(benchmark::State &state)
{
    std::vector<CupTeam> teams(5000);
    std::vector<int> called(teams.size());
    for (std::size_t k = 0; k < teams.size(); ++k) {
        teams[k] = {"Les Pointeurs n° " + std::to_string(k), "Club de Sainte-Élodie " +
                    std::to_string(k % 700), 1, static_cast<int>(k)};
        called[k] = static_cast<int>(k);
    }
    const std::string typed = "Pointeurs n° 12";
    std::size_t length = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(teamsMatching(teams, called, typed.substr(0, length)));
        length = length % typed.size() + 1;
    }
}
BENCHMARK(rollCallKey)->Unit(benchmark::kMillisecond);

// Lanes and times for a round of 5 000 teams (1 250 groups) on 300 lanes, a tenth of the
// groups with a game lost at the roll-call.
void laneSchedule(benchmark::State &state)
{
    std::vector<GroupGames> groups(1250);
    for (std::size_t g = 0; g < groups.size(); ++g)
        groups[g].played = g % 10 == 0 ? std::array<bool, 3>{true, false, false}
                                       : std::array<bool, 3>{true, true, true};
    for (auto _ : state)
        benchmark::DoNotOptimize(placeGames(groups, 300, 90));
}
BENCHMARK(laneSchedule)->Unit(benchmark::kMillisecond);

// The same through the cup: a drawn round of 5 000 teams, its roll-call and its lanes.
void roundScheduleOfCup(benchmark::State &state)
{
    const std::array<Ratio, 3> ratios{Ratio::Half, Ratio::Half, Ratio::Half};
    SeededDraw draw(5000);
    const auto entrants = testing::entrantsFor(5000, ratios, 0, draw);
    if (!entrants)
        std::abort();
    CupCreation made = Cup::create(testing::inventedTeams(*entrants, 700, draw),
                                   *testing::layoutFor(*entrants, ratios, 0), 1);
    Cup &cup = *made.cup;
    for (const int team : cup.rollCallTeams(1))
        cup.apply(RollCallCommand{1, team, team % 20 != 0});
    cup.apply(LanesCommand{"", 1, 300});
    cup.apply(StartCommand{1, DayTime{5, 14 * 60}});
    if (!testing::drawRound(cup, 1).done)
        std::abort();
    for (auto _ : state)
        benchmark::DoNotOptimize(roundSchedule(cup, 1));
}
BENCHMARK(roundScheduleOfCup)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
