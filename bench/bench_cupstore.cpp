// The cup file: opening a cup of 5 000 teams with its list and plan rebuilt (aim: under
// 150 ms), one change written (aim: under 10 ms, rollback journal with synchronous=FULL), and
// one result recorded in a drawn cup, with the model's records and the round's listing (aim:
// under 20 ms).

#include "CupContents.h"
#include "CupSetups.h"
#include "CupSimulation.h"
#include "CupStore.h"
#include "CupText.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using velmorin::CupStore;

QString benchCup(QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("bench.velmorin"));
    velmorin::CupSetup setup = velmorin::testing::inventedCup(1, 5000);
    setup.classNumber = 1;
    setup.position = 1;
    setup.entrants1 = 1200;
    CupStore::create(path, setup);
    return path;
}

void BM_OpenCup5000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = benchCup(dir);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        velmorin::CupOpening opening = CupStore::open(path, CupStore::Mode::ReadWrite);
        if (!opening.ok()) {
            state.SkipWithError(opening.message.c_str());
            break;
        }
        const velmorin::CupContents contents = velmorin::rebuildCup(opening.store->setup());
        benchmark::DoNotOptimize(contents.list->teams.size());
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_OpenCup5000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ChangeWrite(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = benchCup(dir);
    velmorin::CupOpening opening = CupStore::open(path, CupStore::Mode::ReadWrite);
    std::uint64_t seed = 0;
    for (auto _ : state) {
        const bool saved = state.range(0) == 0 ? opening.store->setSeed(++seed).saved
                                               : opening.store->setRatioChoice(4, ++seed % 2).saved;
        if (!saved)
            state.SkipWithError("not saved");
    }
}
BENCHMARK(BM_ChangeWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RecordResult5000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jouee.velmorin"));
    CupStore::create(path, velmorin::testing::playableCup(1, 5000));
    velmorin::CupOpening opening = CupStore::open(path, CupStore::Mode::ReadWrite);
    velmorin::CupCreation made = opening.ok() ? opening.store->cup() : velmorin::CupCreation{};
    if (!made.ok() || !velmorin::testing::drawRound(*made.cup, 1).done ||
        !opening.store->saveRecords(made.cup->records(), "Tour 1").saved) {
        state.SkipWithError(made.ok() ? "no draw" : made.error.c_str());
        return;
    }
    velmorin::Cup &cup = *made.cup;
    for (auto _ : state) {
        const auto pending = cup.pendingGames(1);
        if (pending.empty()) {
            state.SkipWithError("round 1 played out");
            break;
        }
        const velmorin::CupAnswer answer =
            velmorin::testing::recordWinner(cup, 1, pending.front().teamA, velmorin::Score{13, 5});
        if (!opening.store->saveRecords(cup.records(), answer.text).saved)
            state.SkipWithError("not saved");
        benchmark::DoNotOptimize(velmorin::roundTable(cup, 1).size());
    }
}
BENCHMARK(BM_RecordResult5000)->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
