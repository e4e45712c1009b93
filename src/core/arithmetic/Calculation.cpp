#include "Calculation.h"

namespace velmorin {

const ClassResult &Calculation::of(ExemptionClass exemptionClass) const
{
    // Run order is 3, 2, 1.
    return classes[2 - classIndex(exemptionClass)];
}

bool Calculation::anySolution() const
{
    return totalSolutions() > 0;
}

Count Calculation::totalSolutions() const
{
    Count total = 0;
    for (const ClassResult &c : classes)
        total += c.solutions.count();
    return total;
}

BackwardChain backwardChain(const Problem &problem)
{
    return backwardChain(problem.finale, problem.semiFinal, problem.quarterFinal);
}

ClassResult solveClass(const Problem &problem, const BackwardChain &chain,
                       ExemptionClass exemptionClass)
{
    ClassResult result;
    result.exemptionClass = exemptionClass;
    result.tour4 = RequiredTour4(exemptionClass, chain.T5, problem.round4);
    result.solutions = searchClass(problem.registered, problem.entrants1, result.tour4);
    return result;
}

Calculation calculate(const Problem &problem)
{
    Calculation result;
    result.problem = problem;
    result.chain = backwardChain(problem);
    for (std::size_t i = 0; i < kRunOrder.size(); ++i)
        result.classes[i] = solveClass(problem, result.chain, kRunOrder[i]);
    return result;
}

} // namespace velmorin
