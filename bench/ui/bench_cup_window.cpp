// How long opening a cup takes in the window: its inputs restored, the calculation run and its
// plan shown, for a cup of 80 teams and one of 5 000.

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
    TVlmFPrg window;
    velmorin::installFeatures(window);
    window.show();
    // A plan the window itself shows for these teams (not every round-1 count has one): the
    // cup keeps it.
    // The final's up-down stops at 32: about 600 teams is the largest list a plan of the
    // window holds, with a final of 32.
    const std::int32_t teams = std::int32_t(state.range(0));
    window.restoreInputs(teams, teams > 100 ? 32 : 6, window.ratioChoices());
    std::optional<velmorin::Plan> plan;
    for (std::int32_t e1 = teams - teams % 4; !plan && e1 >= 0; e1 -= 4) {
        if (window.showPlan(e1))
            plan = window.shownPlan();
    }
    if (!plan) {
        state.SkipWithError("pas de plan pour ces équipes");
        return;
    }
    velmorin::CupSetup setup =
        velmorin::testing::inventedCup(1, std::size_t(plan->problem.registered));
    setup.levelOrder.clear();
    setup.registered = plan->problem.registered;
    setup.finale = plan->problem.finale;
    setup.entrants1 = plan->problem.entrants1;
    setup.ratioChoices = window.ratioChoices();
    setup.classNumber = velmorin::classNumber(plan->exemptionClass);
    setup.position = std::int32_t(plan->position);
    const QString path = dir.filePath(QStringLiteral("coupe.velmorin"));
    if (!velmorin::CupStore::create(path, setup).ok()) {
        state.SkipWithError("la coupe n'est pas créée");
        return;
    }
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

BENCHMARK(openCup)->Arg(80)->Arg(600)->Unit(benchmark::kMillisecond);

} // namespace
