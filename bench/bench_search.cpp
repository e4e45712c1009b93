// One calculation = the three exemption classes, as the "Calcul" button runs them, with
// all ratios "1/2" and E1 = (N div 12) x 4. Arguments: N, then F. N = 71 is the window's
// default input (E1 = 20, 21 solutions); with F = 6 every larger N has no solution at all,
// so a large final is added to time the closed form producing thousands of them.

#include "Calculation.h"
#include "ReferenceSearch.h"
#include "VlmDec.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using velmorin::Count;

std::int32_t entrants1For(std::int32_t registered)
{
    return (registered / 12) * 4;
}

velmorin::Problem problemFor(const benchmark::State &state)
{
    velmorin::Problem problem;
    problem.registered = static_cast<std::int32_t>(state.range(0));
    problem.entrants1 = entrants1For(problem.registered);
    problem.finale = static_cast<std::int32_t>(state.range(1));
    return problem;
}

// The literal loops, fed with the required round-4 size of each class.
void referenceSearch(benchmark::State &state)
{
    const velmorin::Problem problem = problemFor(state);
    Count solutions = 0;
    for (auto _ : state) {
        solutions = 0;
        const velmorin::BackwardChain chain = velmorin::backwardChain(problem);
        for (velmorin::ExemptionClass k : velmorin::kRunOrder) {
            const auto found =
                velmorin::reference::search(problem.registered, problem.entrants1,
                                            velmorin::RequiredTour4(k, chain.T5, problem.round4));
            benchmark::DoNotOptimize(found.data());
            solutions += static_cast<Count>(found.size());
        }
    }
    state.counters["solutions"] = static_cast<double>(solutions);
}

// The whole calculation, producing every solution as the window's lists would store them.
void closedForm(benchmark::State &state)
{
    const velmorin::Problem problem = problemFor(state);
    Count solutions = 0;
    for (auto _ : state) {
        const velmorin::Calculation calculation = velmorin::calculate(problem);
        for (const velmorin::ClassResult &c : calculation.classes) {
            for (Count i = 0; i < c.solutions.count(); ++i) {
                velmorin::TSolution s = c.solutions.at(i);
                benchmark::DoNotOptimize(s);
            }
        }
        solutions = calculation.totalSolutions();
    }
    state.counters["solutions"] = static_cast<double>(solutions);
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
