#pragma once

// One calculation of a whole problem: the backward chain from the final, then for each
// exemption class in run order its required round-4 size and its solutions. The window, the
// calculator, the tests' model of the window and the benchmarks all calculate through here.

#include "ExemptionClass.h"
#include "VlmDec.h"

#include <array>
#include <cstdint>

namespace velmorin {

// The inputs: the three counts and the ratios of round 4, the quarter- and the semi-final
// (rounds 1 to 3 always let three quarters through).
struct Problem
{
    std::int32_t registered = 0; // N, the registered teams
    std::int32_t finale = 0;     // F, the teams in the final
    std::int32_t entrants1 = 0;  // E1, the round-1 entrants
    Ratio round4 = Ratio::Half;
    Ratio quarterFinal = Ratio::Half;
    Ratio semiFinal = Ratio::Half;

    friend bool operator==(const Problem &a, const Problem &b)
    {
        return a.registered == b.registered && a.finale == b.finale && a.entrants1 == b.entrants1 &&
               a.round4 == b.round4 && a.quarterFinal == b.quarterFinal &&
               a.semiFinal == b.semiFinal;
    }
    friend bool operator!=(const Problem &a, const Problem &b) { return !(a == b); }
};

// One class of a calculation.
struct ClassResult
{
    ExemptionClass exemptionClass = ExemptionClass::Class1;
    Count tour4 = 0; // the required round-4 size
    ClassSolutions solutions;
};

struct Calculation
{
    Problem problem;
    BackwardChain chain;
    std::array<ClassResult, 3> classes; // in run order: 3, 2, 1

    const ClassResult &of(ExemptionClass exemptionClass) const;
    bool anySolution() const;
    Count totalSolutions() const;
};

BackwardChain backwardChain(const Problem &problem);

// One class on its own, from the problem's chain: the window runs the classes one by one,
// reading its inputs afresh for each.
ClassResult solveClass(const Problem &problem, const BackwardChain &chain,
                       ExemptionClass exemptionClass);

// Constant time whatever the inputs: the solutions themselves are produced on demand.
Calculation calculate(const Problem &problem);

} // namespace velmorin
