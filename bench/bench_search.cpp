// One calculation = the three exemption classes, as the "Calcul" button runs them, with
// all ratios "1/2" and E1 = (N div 12) x 4. Arguments: N, then F. N = 71 is the window's
// default input (E1 = 20, 21 solutions); with F = 6 every larger N has no solution at all,
// so a large final is added to time the closed form producing thousands of them.

#include "ReferenceSearch.h"
#include "VlmDec.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using velmorin::Count;
using velmorin::Ratio;

std::int32_t entrants1For(std::int32_t registered)
{
    return (registered / 12) * 4;
}

Count requiredTour4(int exemptionClass, Count finale)
{
    const velmorin::BackwardChain chain = velmorin::backwardChain(finale, Ratio::Half, Ratio::Half);
    return velmorin::RequiredTour4(exemptionClass, chain.T5, Ratio::Half);
}

// Times whole calculations; `search` runs one class and returns its number of solutions.
template <typename Search> void perCalculation(benchmark::State &state, Search search)
{
    const auto registered = static_cast<std::int32_t>(state.range(0));
    const std::int32_t entrants1 = entrants1For(registered);
    const Count finale = state.range(1);
    Count solutions = 0;
    for (auto _ : state) {
        solutions = 0;
        for (int k : velmorin::kRunOrder)
            solutions += search(registered, entrants1, requiredTour4(k, finale));
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

BENCHMARK(referenceSearch)
    ->Args({71, 6})
    ->Args({100, 6})
    ->Args({1000, 6})
    ->Args({3000, 6})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(closedForm)
    ->Args({71, 6})
    ->Args({100, 6})
    ->Args({1000, 6})
    ->Args({3000, 6})
    ->Args({100000, 6})
    ->Args({10000000, 6})
    ->Args({2147483647, 6})
    ->Args({2147483647, 216703706})
    ->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
