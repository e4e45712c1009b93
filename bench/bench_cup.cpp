// The cup as it is played: one draw of a round of 10 000 teams from 2 000 clubs (some of them
// entering at that round), and a whole cup of 20 000 teams drawn and played to the final.

#include "Cup.h"
#include "CupDraw.h"
#include "CupSimulation.h"

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

} // namespace

BENCHMARK_MAIN();
