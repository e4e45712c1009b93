#pragma once

// Whether a plan's cup can be played up to its final: every round's teams, its exempted
// teams set aside, must split into its groups of four ("3/4") or its games of two ("1/2").
// The calculation's backward chain rounds down ("3/4" of 16 is 21 teams before it), so a
// plan can have a later round that splits into nothing; such a cup is refused when it is made
// and whenever its plan changes before round 1 is drawn, with the nearest plans that work.

#include "Cup.h"
#include "Plan.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmorin {

// The first round (1 to 6) whose teams do not split into its groups or games; none when the
// cup reaches its final.
std::optional<int> unplayableRound(const CupLayout &layout);

// "Le Tour 5 compte 21 équipes : il ne se joue pas en poules de quatre", without the period.
std::string unplayableRoundText(const CupLayout &layout, int round);

// A plan that works, and how far it lies from the one asked: the sum over the seven rounds
// (the final included) of the differences of their numbers of teams.
struct NearPlan
{
    Problem problem; // the registered teams kept; the final, the ratios and E1 may differ
    ExemptionClass exemptionClass = ExemptionClass::Class1;
    Count position = 0;
    Count distance = 0;
};

// The `count` plans that work nearest to `plan`, nearest first (then fewer teams in the
// final, then the ratios, class and solution in the plan search's order). The final is looked
// for within kNearFinaleSteps teams of the one asked.
constexpr Count kNearFinaleSteps = 64;
std::vector<NearPlan> nearestPlayablePlans(const Plan &plan, std::size_t count);

// How a near plan is named to the organiser: "finale à 9 (Tour 4 en 1/2, quart en 3/4, demi
// en 3/4), 52 entrantes au Tour 1, classe 1, solution 4".
std::string nearPlanText(const NearPlan &plan);

// Empty when the plan's cup reaches its final; otherwise one sentence naming the round, its
// size, and the nearest plans that work.
std::string planRefusal(const Plan &plan);

} // namespace velmorin
