#pragma once

// Why a class shows "0 solution", or the window "FIN", in one plain French sentence: the
// condition that fails and the nearest round-1 entrant counts (among 0, 4, ... up to the
// registered teams) that would give a solution. UTF-8, for tooltips and the calculator.

#include "Calculation.h"

#include <optional>
#include <string>

namespace velmorin {

// The nearest E1 values below and above the problem's own with a solution.
struct NearestEntrants1
{
    std::optional<Count> below;
    std::optional<Count> above;
};

// For one class, or for any class when none is given.
NearestEntrants1 nearestEntrants1(const Problem &problem,
                                  std::optional<ExemptionClass> exemptionClass = std::nullopt);

// Empty when the class has a solution at the problem's E1.
std::string whyNoSolution(const Problem &problem, ExemptionClass exemptionClass);

// Empty when some class has a solution at the problem's E1.
std::string whyNoClassSolution(const Problem &problem);

} // namespace velmorin
