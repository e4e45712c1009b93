#include "CupPlayable.h"

#include "CupPrivate.h"
#include "PlanSearch.h"

#include <algorithm>
#include <array>
#include <limits>

namespace velmorin {

using namespace cupprivate;

namespace {

constexpr std::size_t kNamedPlans = 3;

Count absolute(Count value)
{
    return value < 0 ? -value : value;
}

Interval exactly(Count value)
{
    const auto bounded = static_cast<std::int32_t>(std::clamp<Count>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    return {bounded, bounded};
}

} // namespace

std::optional<int> unplayableRound(const CupLayout &layout)
{
    for (int round = 1; round <= kCupRounds; ++round) {
        const Count size = layout.sizes[static_cast<std::size_t>(round - 1)];
        if (!throughCount(layout, round, size))
            return round;
    }
    return std::nullopt;
}

std::string unplayableRoundText(const CupLayout &layout, int round)
{
    const Count exempted = layout.exemptedAt(round);
    return "Le " + roundName(round) + " compte " +
           counted(layout.sizes[static_cast<std::size_t>(round - 1)] - exempted, "équipe") +
           (exempted > 0 ? " hors exemptées" : "") + " : il ne se joue pas en " +
           (layout.groupSize(round) == 4 ? "poules de quatre" : "parties de deux");
}

std::vector<NearPlan> nearestPlayablePlans(const Plan &plan, std::size_t count)
{
    std::vector<NearPlan> nearest;
    if (count == 0)
        return nearest;
    const Problem &asked = plan.problem;
    const auto playing = [&plan](std::size_t r) { return plan.rounds[r].playing; };
    // Rounds 1 to 4 through the plan search's deviation, the others here.
    Wishes wishes;
    wishes.set(Quantity::Entrants1, exactly(playing(0)));
    wishes.set(Quantity::Tour2, exactly(playing(1)));
    wishes.set(Quantity::Tour3, exactly(playing(2)));
    wishes.set(Quantity::Tour4, exactly(playing(3)));
    const auto farthest = [&] {
        return nearest.size() < count ? std::numeric_limits<Count>::max() : nearest.back().distance;
    };
    const Count lastStep = std::min<Count>(kNearFinaleSteps, asked.registered);
    for (Count step = 0; step <= lastStep && step <= farthest(); ++step) {
        for (const Count side : {-1, 1}) {
            const Count finale = asked.finale + side * step;
            if (finale < 1 || finale > asked.registered || (step == 0 && side > 0))
                continue;
            for (int ratios = 0; ratios < 8; ++ratios) {
                Problem problem = asked;
                problem.finale = static_cast<std::int32_t>(finale);
                problem.round4 = ratioFromIndex(ratios & 4);
                problem.quarterFinal = ratioFromIndex(ratios & 2);
                problem.semiFinal = ratioFromIndex(ratios & 1);
                const BackwardChain chain = backwardChain(problem);
                const Count outside =
                    step + absolute(chain.T6 - playing(5)) + absolute(chain.T5 - playing(4));
                if (outside > farthest())
                    continue;
                for (const RankedPlan &ranked : findPlans(problem, wishes, count)) {
                    const Count distance = outside + ranked.deviation;
                    if (distance > farthest() ||
                        (distance == farthest() && nearest.size() == count))
                        break;
                    Problem withEntrants = problem;
                    withEntrants.entrants1 = static_cast<std::int32_t>(ranked.entrants1());
                    const std::optional<Plan> made =
                        makePlan(calculate(withEntrants), ranked.exemptionClass, ranked.position);
                    if (!made || unplayableRound(layoutFromPlan(*made)))
                        continue;
                    const NearPlan near{withEntrants, ranked.exemptionClass, ranked.position,
                                        distance};
                    const auto at =
                        std::upper_bound(nearest.begin(), nearest.end(), near,
                                         [](const NearPlan &a, const NearPlan &b) {
                                             return a.distance != b.distance
                                                        ? a.distance < b.distance
                                                        : a.problem.finale < b.problem.finale;
                                         });
                    nearest.insert(at, near);
                    if (nearest.size() > count)
                        nearest.pop_back();
                }
            }
        }
    }
    return nearest;
}

std::string nearPlanText(const NearPlan &plan)
{
    const Problem &p = plan.problem;
    return "finale à " + number(p.finale) + " (Tour 4 en " + std::string(ratioText(p.round4)) +
           ", quart en " + std::string(ratioText(p.quarterFinal)) + ", demi en " +
           std::string(ratioText(p.semiFinal)) + "), " + number(p.entrants1) +
           " entrantes au Tour 1, classe " + number(classNumber(plan.exemptionClass)) +
           ", solution " + number(plan.position);
}

std::string planRefusal(const Plan &plan)
{
    const CupLayout layout = layoutFromPlan(plan);
    const std::optional<int> round = unplayableRound(layout);
    if (!round)
        return {};
    std::string text =
        unplayableRoundText(layout, *round) + " et la coupe n'irait pas jusqu'à sa finale";
    const std::vector<NearPlan> near = nearestPlayablePlans(plan, kNamedPlans);
    if (near.empty())
        return text + " ; aucun plan proche de ces nombres ne s'y joue.";
    text += near.size() > 1 ? " ; plans possibles : " : " ; plan possible : ";
    for (std::size_t k = 0; k < near.size(); ++k)
        text += (k > 0 ? " ; " : "") + nearPlanText(near[k]);
    return text + '.';
}

} // namespace velmorin
