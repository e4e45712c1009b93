#pragma once

// The plans that best fit an organiser's wishes: over every round-1 entrant count (E1 = 0, 4,
// ... up to the registered teams, past the window's round-1 bound too), every exemption class
// and every solution, the few of smallest deviation.

#include "Calculation.h"
#include "Wishes.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace velmorin {

struct RankedPlan
{
    Count deviation = 0;
    ExemptionClass exemptionClass = ExemptionClass::Class1;
    Count position = 0;  // 1-based, where the class's slider shows it
    Count solutions = 0; // the class's count at this E1: "Solution : position/solutions"
    TSolution solution;  // its Tour1 is E1
    Count tour4 = 0;

    Count entrants1() const { return solution.Tour1; }

    friend bool operator==(const RankedPlan &a, const RankedPlan &b)
    {
        return a.deviation == b.deviation && a.exemptionClass == b.exemptionClass &&
               a.position == b.position && a.solutions == b.solutions && a.solution == b.solution &&
               a.tour4 == b.tour4;
    }
    friend bool operator!=(const RankedPlan &a, const RankedPlan &b) { return !(a == b); }
};

// The `limit` plans of smallest deviation, ordered by deviation, then class 1, 2, 3 (fewer
// exempted teams first), then E1, then position; with `strict`, only those of deviation 0.
// The problem's own entrants1 is not read. The cost grows with the limit, not with the
// number of E1 values.
std::vector<RankedPlan> findPlans(const Problem &problem, const Wishes &wishes, std::size_t limit,
                                  bool strict = false);

// The smallest deviation of any plan (how far the nearest one is when none fits every wish);
// nothing when no E1 gives a solution at all.
std::optional<Count> bestDeviation(const Problem &problem, const Wishes &wishes);

} // namespace velmorin
