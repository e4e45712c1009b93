#include "WhyNoSolution.h"

#include "Division.h"
#include "IntText.h"
#include "RoundOne.h"

#include <algorithm>

namespace velmorin {

namespace {

Count lastEOf(const Problem &problem)
{
    return lastExaminedEntrants1(problem.registered) / 4;
}

// The E1 values of a class's range nearest the problem's E1 (which may be no multiple of 4).
NearestEntrants1 nearestIn(const Entrants1Band &range, Count entrants1)
{
    NearestEntrants1 nearest;
    if (range.empty())
        return nearest;
    const Count below = std::min(range.last, ceilDiv(entrants1, 4) - 1);
    const Count above = std::max(range.first, floorDiv(entrants1, 4) + 1);
    if (below >= range.first)
        nearest.below = 4 * below;
    if (above <= range.last)
        nearest.above = 4 * above;
    return nearest;
}

std::string nearestText(const NearestEntrants1 &nearest, const char *where)
{
    if (!nearest.below && !nearest.above)
        return std::string("aucune valeur de E1 ne donne de solution") + where;
    const auto side = [](const std::optional<Count> &value, const char *none, const char *name) {
        return (value ? IntToStr(*value) : std::string(none)) + name;
    };
    return std::string("valeurs de E1 les plus proches avec une solution") + where + " : " +
           side(nearest.below, "aucune", " en dessous, ") +
           side(nearest.above, "aucune", " au-dessus");
}

// Round-4 sizes a calculation could reach at E1 = 4e with N - E1 teams left, whatever the
// class: with E2 = e + 4j the solutions need j >= -e/4 and, for round 4 of R teams,
// 3 N - 6 e - 3 j <= 4 R <= 4 N - 11 e - 7 j. Each j gives an interval of R that shrinks as j
// grows; they leave no gap between them, so the sizes run from the last interval's low end to
// the first one's high end.
struct Tour4Range
{
    bool any = false;
    Count least = 0;
    Count most = 0;
};

Tour4Range tour4Range(Count registered, Count e)
{
    const Count n = registered;
    const auto low = [&](Count j) { return ceilDiv(3 * n - 6 * e - 3 * j, 4); };
    const auto high = [&](Count j) { return floorDiv(4 * n - 11 * e - 7 * j, 4); };
    // From j = (N - 5e) / 4 on the interval is empty; an interval a quarter wide holds an
    // integer, so only the last few j can be empty.
    const Count first = ceilDiv(-e, 4);
    const Count last = floorDiv(n - 5 * e, 4);
    Tour4Range range;
    for (Count j = first; j <= last && j <= first + 3; ++j) {
        if (low(j) <= high(j)) {
            range.any = true;
            range.most = high(j);
            break;
        }
    }
    for (Count j = last; j >= first && j >= last - 3; --j) {
        if (low(j) <= high(j)) {
            range.least = low(j);
            break;
        }
    }
    return range;
}

std::string condition(const Problem &problem, ExemptionClass exemptionClass)
{
    const Count e1 = problem.entrants1;
    if (e1 > problem.registered)
        return "E1 = " + IntToStr(e1) + " dépasse le nombre d'équipes inscrites (" +
               IntToStr(problem.registered) + ")";
    if (e1 % 4 != 0)
        return "E1 = " + IntToStr(e1) +
               " n'est pas un multiple de 4 : les trois quarts du tour 1 ne font pas un nombre "
               "entier d'équipes";
    const BackwardChain chain = backwardChain(problem);
    if (!tour4CanBeWhole(exemptionClass, chain.T5, problem.round4))
        return "un tour 4 à 3/4 ne peut pas être entier avec cette finale et ces rapports : les "
               "places qu'il doit pourvoir en quart de finale (" +
               IntToStr(chain.T5 - exemptedTeams(exemptionClass)) +
               ") ne sont pas un multiple de 3";
    const Count tour4 = RequiredTour4(exemptionClass, chain.T5, problem.round4);
    const Tour4Range range = tour4Range(problem.registered, e1 / 4);
    if (!range.any)
        return "avec E1 = " + IntToStr(e1) + ", les équipes qui restent pour les tours 2 à 4 (" +
               IntToStr(Count{problem.registered} - e1) +
               ") ne permettent pas des tours 2 et 3 entiers";
    if (tour4 < range.least)
        return "il reste trop d'équipes pour les tours 2 à 4 : le tour 4 en compterait au moins " +
               IntToStr(range.least) + ", il en faut " + IntToStr(tour4);
    return "il reste trop peu d'équipes pour les tours 2 à 4 : le tour 4 en compterait au plus " +
           IntToStr(range.most) + ", il en faut " + IntToStr(tour4);
}

std::string sentence(std::string text)
{
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z')
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    return text + '.';
}

} // namespace

NearestEntrants1 nearestEntrants1(const Problem &problem,
                                  std::optional<ExemptionClass> exemptionClass)
{
    const BackwardChain chain = backwardChain(problem);
    NearestEntrants1 nearest;
    for (ExemptionClass k : kRunOrder) {
        if (exemptionClass && k != *exemptionClass)
            continue;
        const Entrants1Band range = entrants1WithSolutions(
            problem.registered, RequiredTour4(k, chain.T5, problem.round4), lastEOf(problem));
        const NearestEntrants1 own = nearestIn(range, problem.entrants1);
        if (own.below && (!nearest.below || *own.below > *nearest.below))
            nearest.below = own.below;
        if (own.above && (!nearest.above || *own.above < *nearest.above))
            nearest.above = own.above;
    }
    return nearest;
}

std::string whyNoSolution(const Problem &problem, ExemptionClass exemptionClass)
{
    const BackwardChain chain = backwardChain(problem);
    if (!solveClass(problem, chain, exemptionClass).solutions.empty())
        return {};
    return sentence(condition(problem, exemptionClass) + " ; " +
                    nearestText(nearestEntrants1(problem, exemptionClass), " dans cette classe"));
}

std::string whyNoClassSolution(const Problem &problem)
{
    if (calculate(problem).anySolution())
        return {};
    const NearestEntrants1 nearest = nearestEntrants1(problem);
    if (!nearest.below && !nearest.above)
        return "Aucune valeur de E1 ne donne de solution avec ces équipes inscrites, cette "
               "finale et ces rapports.";
    return sentence("aucune classe n'a de solution avec E1 = " + IntToStr(problem.entrants1) +
                    " ; " + nearestText(nearest, ""));
}

} // namespace velmorin
