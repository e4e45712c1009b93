#pragma once

// What the core benchmarks share: the problem their arguments name.

#include "Calculation.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace velmorin::bench {

// Arguments 0 and 1: N and F; every ratio "1/2".
inline Problem problemOf(const benchmark::State &state)
{
    Problem problem;
    problem.registered = static_cast<std::int32_t>(state.range(0));
    problem.finale = static_cast<std::int32_t>(state.range(1));
    return problem;
}

} // namespace velmorin::bench
