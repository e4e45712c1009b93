// How long opening a cup takes in the window: its inputs restored, the calculation run and its
// plan shown, for a cup of 5 000 teams.

#include "CupFile.h"
#include "CupSession.h"
#include "CupSetups.h"
#include "CupStore.h"
#include "Features.h"
#include "VlmPrg.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void openCup(benchmark::State &state)
{
    QTemporaryDir dir;
    velmorin::CupSetup setup = velmorin::testing::inventedCup(7, std::size_t(state.range(0)));
    setup.levelOrder.clear();
    setup.classNumber = 1;
    setup.position = 1;
    const QString path = dir.filePath(QStringLiteral("coupe.velmorin"));
    if (!velmorin::CupStore::create(path, setup).ok()) {
        state.SkipWithError("la coupe n'est pas créée");
        return;
    }
    TVlmFPrg window;
    velmorin::installFeatures(window);
    window.show();
    velmorin::CupSession &session = velmorin::CupSession::of(window);
    for (auto _ : state) {
        if (!session.open(path) || !window.shownPlan()) {
            state.SkipWithError("la coupe ne s'ouvre pas");
            return;
        }
        state.PauseTiming();
        session.close();
        state.ResumeTiming();
    }
}

BENCHMARK(openCup)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
