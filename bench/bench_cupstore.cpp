// The cup file: opening a cup of 5 000 teams with its list and plan rebuilt (aim: under
// 150 ms), and one change written (aim: under 5 ms, WAL with synchronous=FULL).

#include "CupContents.h"
#include "CupSetups.h"
#include "CupStore.h"

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
