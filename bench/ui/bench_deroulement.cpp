// The cup's window: a result entered on a round of 5 000 teams until the window has shown it,
// and the window opened on a cup of 20 000 teams until it shows the current round.

#include "CupSimulation.h"
#include "CupPlayWindow.h"
#include "MemoryCup.h"
#include "RoundGamesModel.h"
#include "VlmPrg.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using velmorin::Cup;

// Every team enters at round 1 but a few, so that each round comes out whole.
Cup cupOf(const std::array<velmorin::Count, 4> &entrants, int playedRounds)
{
    velmorin::SeededDraw draw(17);
    constexpr std::array<velmorin::Ratio, 3> halves{velmorin::Ratio::Half, velmorin::Ratio::Half,
                                                    velmorin::Ratio::Half};
    velmorin::CupCreation made =
        Cup::create(velmorin::testing::inventedTeams(entrants, 40, draw),
                    *velmorin::testing::layoutFor(entrants, halves, 0), 17);
    Cup cup = std::move(*made.cup);
    for (int round = 1; round <= playedRounds; ++round) {
        velmorin::testing::drawRound(cup, round);
        velmorin::testing::playRound(cup, round, draw, false);
    }
    velmorin::testing::drawRound(cup, playedRounds + 1);
    return cup;
}

void enterResult(benchmark::State &state)
{
    TVlmFPrg host;
    velmorin::testing::MemoryCup source(cupOf({5000, 2, 2, 0}, 0));
    auto *window = velmorin::openCupPlay(host, [&] { return &source; });
    QCoreApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        window->markWinner(row, row % 2);
        QCoreApplication::processEvents(); // the table and the banner painted
        row += row % 3 == 1 ? 2 : 1;       // games 1 and 2 of each group: never a barrage
    }
    state.counters["games"] = window->model(1)->rowCount();
}

void openOnLargeCup(benchmark::State &state)
{
    TVlmFPrg host;
    velmorin::testing::MemoryCup source(cupOf({20000, 0, 2, 1}, 2));
    for (auto _ : state) {
        auto window = std::make_unique<velmorin::CupPlayWindow>(
            host, [&]() -> velmorin::CupRunSource * { return &source; });
        window->show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window->shownRound());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(enterResult)->Unit(benchmark::kMillisecond)->Iterations(400);
BENCHMARK(openOnLargeCup)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
