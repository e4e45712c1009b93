// The 20 best plans for wishes on E4 and round 2, over every E1 up to the round-1 bound.
// Arguments: N, F (all ratios "1/2"). With N = 2^31 - 1 and F = 200 000 000 the band holds
// some 2.4 x 10^8 E1 values; the cost must not follow it.

#include "BenchProblem.h"
#include "PlanSearch.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <limits>

namespace {

using velmorin::bench::problemOf;

// The organiser's wishes: the 8 top-division teams enter at round 4, round 2 holds at most 60.
velmorin::Wishes organiserWishes()
{
    velmorin::Wishes wishes;
    wishes.set(velmorin::Quantity::Entrants4, velmorin::Interval{8, 8});
    wishes.set(velmorin::Quantity::Tour2, velmorin::Interval{std::nullopt, 60});
    return wishes;
}

void bestPlans(benchmark::State &state)
{
    const velmorin::Problem problem = problemOf(state);
    const velmorin::Wishes wishes = organiserWishes();
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<velmorin::RankedPlan> plans = velmorin::findPlans(problem, wishes, 20);
        found = plans.size();
        benchmark::DoNotOptimize(plans.data());
    }
    state.counters["plans"] = static_cast<double>(found);
}

// Only the plans that fit every wish: a search that must prove there are few.
void strictPlans(benchmark::State &state)
{
    const velmorin::Problem problem = problemOf(state);
    const velmorin::Wishes wishes = organiserWishes();
    for (auto _ : state) {
        const std::vector<velmorin::RankedPlan> plans =
            velmorin::findPlans(problem, wishes, 20, true);
        benchmark::DoNotOptimize(plans.data());
    }
}

// A wish that no plan meets and that every E1 comes within 2 of (round 3 is a multiple of 4):
// the bound must know it, or the walk would open the whole band.
void offLatticePlans(benchmark::State &state)
{
    const velmorin::Problem problem = problemOf(state);
    velmorin::Wishes wishes;
    const auto tour3 = static_cast<std::int32_t>(state.range(2));
    wishes.set(velmorin::Quantity::Tour3, velmorin::Interval{tour3, tour3});
    for (auto _ : state) {
        const std::vector<velmorin::RankedPlan> plans = velmorin::findPlans(problem, wishes, 20);
        benchmark::DoNotOptimize(plans.data());
    }
}

// Round 3 as large as can be: the best plans lie on the edge where E4 = 0, which the bound
// must place on whole steps, or it would fall short by the same amount at every E1.
void largestRound3Plans(benchmark::State &state)
{
    const velmorin::Problem problem = problemOf(state);
    velmorin::Wishes wishes;
    wishes.set(velmorin::Quantity::Tour3,
               velmorin::Interval{std::numeric_limits<std::int32_t>::max(), std::nullopt});
    for (auto _ : state) {
        const std::vector<velmorin::RankedPlan> plans = velmorin::findPlans(problem, wishes, 20);
        benchmark::DoNotOptimize(plans.data());
    }
}

} // namespace

// A final of 700 leaves 10 000 teams some 1 750 E1 values with solutions; a final of 6 none.
BENCHMARK(bestPlans)
    ->Args({71, 6})
    ->Args({10000, 6})
    ->Args({10000, 700})
    ->Args({2147483647, 6})
    ->Args({2147483647, 200000000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(strictPlans)
    ->Args({71, 6})
    ->Args({10000, 700})
    ->Args({2147483647, 200000000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(largestRound3Plans)
    ->Args({10000, 700})
    ->Args({2147483647, 200000000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(offLatticePlans)
    ->Args({10000, 700, 2002})
    ->Args({2147483647, 200000000, 2133333330})
    ->Unit(benchmark::kMicrosecond);
