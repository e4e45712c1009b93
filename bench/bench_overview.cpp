// The round-1 overview of one problem, every row produced, against one calculation per E1.
// Arguments: N, then F (all ratios "1/2"). The window offers finals up to 32; a final near
// N / 8 is what gives a large N many rows.

#include "BenchProblem.h"
#include "Calculation.h"
#include "Overview.h"
#include "RoundOne.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using velmorin::Count;

using velmorin::bench::problemOf;

void overview(benchmark::State &state)
{
    const velmorin::Problem problem = problemOf(state);
    Count rows = 0;
    for (auto _ : state) {
        rows = 0;
        velmorin::Overview scan(problem);
        while (const auto row = scan.next()) {
            benchmark::DoNotOptimize(row->solutions);
            ++rows;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// What the overview spares: a calculation for each E1 up to the bound.
void calculationPerE1(benchmark::State &state)
{
    velmorin::Problem problem = problemOf(state);
    const Count bound = velmorin::entrants1Bound(problem.registered, problem.finale);
    for (auto _ : state) {
        for (Count e1 = 0; e1 <= bound; e1 += 4) {
            problem.entrants1 = static_cast<std::int32_t>(e1);
            const velmorin::Calculation calculation = velmorin::calculate(problem);
            benchmark::DoNotOptimize(calculation.classes);
        }
    }
}

} // namespace

BENCHMARK(overview)
    ->Args({71, 6})
    ->Args({600, 6})
    ->Args({600, 32})
    ->Args({600, 70})
    ->Args({2147483647, 6})
    ->Args({2147483647, 32})
    ->Args({2147483647, 268435450})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(calculationPerE1)
    ->Args({71, 6})
    ->Args({600, 6})
    ->Args({600, 70})
    ->Unit(benchmark::kMicrosecond);
