// One calculation = the three exemption classes, as the "Calcul" button runs them, with
// F = 6, all ratios "1/2" and E1 = (N div 12) x 4.

#include "ReferenceSearch.h"
#include "VlmDec.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using velmorin::Count;
using velmorin::Ratio;

constexpr std::int32_t kFinale = 6;

std::int32_t entrants1For(std::int32_t registered)
{
    return (registered / 12) * 4;
}

Count requiredTour4(int exemptionClass)
{
    const velmorin::BackwardChain chain =
        velmorin::backwardChain(kFinale, Ratio::Half, Ratio::Half);
    return velmorin::RequiredTour4(exemptionClass, chain.T5, Ratio::Half);
}

// Times whole calculations; `search` runs one class and returns its number of solutions.
template <typename Search> void perCalculation(benchmark::State &state, Search search)
{
    const auto registered = static_cast<std::int32_t>(state.range(0));
    const std::int32_t entrants1 = entrants1For(registered);
    Count solutions = 0;
    for (auto _ : state) {
        solutions = 0;
        for (int k : velmorin::kRunOrder)
            solutions += search(registered, entrants1, requiredTour4(k));
    }
    state.counters["solutions"] = static_cast<double>(solutions);
}

void referenceSearch(benchmark::State &state)
{
    perCalculation(state, [](std::int32_t registered, std::int32_t entrants1, Count tour4) {
        const auto found = velmorin::reference::search(registered, entrants1, tour4);
        benchmark::DoNotOptimize(found.data());
        return static_cast<Count>(found.size());
    });
}

// The closed form also produces every solution, as the window's lists would store them.
void closedForm(benchmark::State &state)
{
    perCalculation(state, [](std::int32_t registered, std::int32_t entrants1, Count tour4) {
        const velmorin::ClassSolutions found = velmorin::searchClass(registered, entrants1, tour4);
        for (Count i = 0; i < found.count(); ++i) {
            velmorin::TSolution s = found.at(i);
            benchmark::DoNotOptimize(s);
        }
        return found.count();
    });
}

} // namespace

BENCHMARK(referenceSearch)->Arg(100)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(closedForm)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(100000)
    ->Arg(10000000)
    ->Arg(2147483647)
    ->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
