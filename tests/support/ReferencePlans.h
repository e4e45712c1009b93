#pragma once

// The plans ranked the slow way: every E1 up to the registered teams, every class, every
// solution, each with its deviation, all sorted. Callers keep N small.

#include "Calculation.h"
#include "PlanSearch.h"
#include "RoundOne.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace velmorin::reference {

// The problem with the ratios of round 4, quarter and semi-final given by bits 0, 1, 2.
inline Problem problemWithRatios(std::int32_t registered, std::int32_t finale, int ratios)
{
    const auto ratio = [ratios](int bit) {
        return (ratios >> bit) & 1 ? Ratio::ThreeQuarters : Ratio::Half;
    };
    Problem p;
    p.registered = registered;
    p.finale = finale;
    p.round4 = ratio(0);
    p.quarterFinal = ratio(1);
    p.semiFinal = ratio(2);
    return p;
}

inline std::vector<RankedPlan> plans(Problem problem, const Wishes &wishes, std::size_t limit,
                                     bool strict)
{
    std::vector<RankedPlan> all;
    // Beyond N no search finds anything.
    const Count last = lastExaminedEntrants1(problem.registered);
    for (Count e1 = 0; e1 <= last; e1 += 4) {
        problem.entrants1 = static_cast<std::int32_t>(e1);
        const Calculation calculation = calculate(problem);
        for (const ClassResult &c : calculation.classes) {
            for (Count i = 0; i < c.solutions.count(); ++i) {
                RankedPlan plan;
                plan.solution = c.solutions.at(i);
                plan.deviation = wishes.deviation(plan.solution, c.tour4);
                plan.exemptionClass = c.exemptionClass;
                plan.position = i + 1;
                plan.solutions = c.solutions.count();
                plan.tour4 = c.tour4;
                if (!strict || plan.deviation == 0)
                    all.push_back(plan);
            }
        }
    }
    const auto key = [](const RankedPlan &p) {
        return std::make_tuple(p.deviation, classNumber(p.exemptionClass), p.solution.Tour1,
                               p.position);
    };
    std::sort(all.begin(), all.end(),
              [&key](const RankedPlan &a, const RankedPlan &b) { return key(a) < key(b); });
    if (all.size() > limit)
        all.resize(limit);
    return all;
}

} // namespace velmorin::reference
