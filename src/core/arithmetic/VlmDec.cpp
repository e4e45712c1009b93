#include "VlmDec.h"

#include "Division.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace velmorin {

namespace {

Count mod4(Count a)
{
    return ((a % 4) + 4) % 4;
}

// Size of the round that leaves `next` teams: 2x for "1/2", (4x) div 3 for "3/4".
Count previousRoundSize(Count next, Ratio ratio)
{
    return ratio == Ratio::Half ? 2 * next : (4 * next) / 3;
}

} // namespace

BackwardChain backwardChain(Count finale, Ratio semiFinal, Ratio quarterFinal)
{
    BackwardChain chain;
    chain.T7 = finale;
    chain.T6 = previousRoundSize(chain.T7, semiFinal);
    chain.T5 = previousRoundSize(chain.T6, quarterFinal);
    return chain;
}

Count RequiredTour4(ExemptionClass exemptionClass, Count quarterFinal, Ratio round4)
{
    const Count exempted = exemptedTeams(exemptionClass);
    // The quarter-final places that round 4's games must fill.
    const Count places = quarterFinal - exempted;
    if (round4 == Ratio::Half)
        return 2 * places + exempted;
    if (!tour4CanBeWhole(exemptionClass, quarterFinal, round4))
        return 0;
    return (4 * places) / 3 + exempted;
}

bool tour4CanBeWhole(ExemptionClass exemptionClass, Count quarterFinal, Ratio round4)
{
    return round4 == Ratio::Half || (4 * (quarterFinal - exemptedTeams(exemptionClass))) % 3 == 0;
}

// The search is the exhaustive loop over E2 in [0, M], E3 in [0, M - E2], E4 in
// [0, M - E2 - E3] (M = N - E1), keeping the candidates with T2 = (3 E1) div 4 + E2 and
// T3 = (3 T2) div 4 + E3 multiples of 4 that pass, in 64ths:
//   a. E1 + E2 + E3 + E4 = N                       -> E4 = M - E2 - E3 (the loop's last E4)
//   b. 36 E1 + 48 E2 + 64 E3 = 64 T3               -> 4 (3 E1 div 4) = 3 E1, i.e. E1 = 4e
//   c. 27 E1 + 36 E2 + 48 E3 + 64 E4 = 64 R        -> 16 E3 = 108 e + 64 (M - R) - 28 E2
// so E3 = 4 (M - R) + (27 e - 7 E2) / 4, whole exactly when E2 = e (mod 4); that same
// residue makes T2 = 3e + E2 a multiple of 4, and then T3 = 8e - 4j + 4 (M - R) is one too
// (E2 = e + 4j). The bounds of the loops become E3 >= 0 and E4 >= 0:
//   7 E2 <= 27 e + 16 (M - R)        and        3 E2 >= 12 M - 16 R + 27 e.
// The solutions are therefore the E2 of one residue class modulo 4 in an interval, in
// ascending order, with one E3 each: an arithmetic progression with step 4 in E2.
ClassSolutions searchClass(std::int32_t registered, std::int32_t entrants1, Count tour4)
{
    ClassSolutions result;
    result.m_entrants1 = entrants1;
    result.m_remaining = Count{registered} - Count{entrants1};
    result.m_tour4 = tour4;

    const Count m = result.m_remaining;
    // With E2, E3 in [0, M] and M < 2^32, E3 = 4 (M - R) + ... bounds |R| below 2^34; a larger
    // R (only a caller's own value can be one) has no solution, and this keeps the sums
    // below far from 64-bit overflow.
    constexpr Count kTour4Limit = Count{1} << 40;
    if (m < 0 || entrants1 % 4 != 0 || tour4 > kTour4Limit || tour4 < -kTour4Limit)
        return result;

    const Count e = entrants1 / 4;
    const Count low = std::max<Count>(0, ceilDiv(12 * m - 16 * tour4 + 27 * e, 3));
    const Count high = std::min<Count>(m, floorDiv(27 * e + 16 * (m - tour4), 7));
    const Count first = low + mod4(e - low);
    if (first > high)
        return result;

    result.m_firstEntrant2 = first;
    result.m_count = (high - first) / 4 + 1;
    return result;
}

// With E1 = 4e and M = N - E1, the search finds solutions for E2 in [low, high] with
//   low  = max(0, ceil((12 M - 16 R + 27 e) / 3)) = max(0, A - 7 e),  A = 4 N - floor(16 R / 3)
//   high = min(M, floor((27 e + 16 (M - R)) / 7)) = min(N - 4 e, floor((16 (N - R) - 37 e) / 7))
// and one E2 of each residue modulo 4 matches e. low <= high is four linear conditions on e:
//   0 <= N - 4 e,  0 <= 16 (N - R) - 37 e,  A - 7 e <= N - 4 e,  7 (A - 7 e) <= 16 (N - R) - 37 e
// Inside the band the residue leaves out at most a few e at its ends, where high - low < 3.
// R comes from 32-bit counts (|R| < 2^36), so every product here stays far inside 64 bits.
Entrants1Band entrants1Band(Count registered, Count tour4, Count lastE)
{
    const Count n = registered;
    const Count a = 4 * n - floorDiv(16 * tour4, 3);
    Entrants1Band band;
    band.first = std::max({Count{0}, ceilDiv(a - n, 3), ceilDiv(7 * a - 16 * (n - tour4), 12)});
    band.last = std::min({lastE, floorDiv(n, 4), floorDiv(16 * (n - tour4), 37)});
    return band;
}

Entrants1Band entrants1WithSolutions(std::int32_t registered, Count tour4, Count lastE)
{
    Entrants1Band band = entrants1Band(registered, tour4, lastE);
    const auto solved = [&](Count e) {
        return !searchClass(registered, static_cast<std::int32_t>(4 * e), tour4).empty();
    };
    // Inside the band 4e <= N, so E1 fits in 32 bits.
    for (int trimmed = 0; trimmed < 3 && !band.empty() && !solved(band.first); ++trimmed)
        ++band.first;
    for (int trimmed = 0; trimmed < 3 && !band.empty() && !solved(band.last); ++trimmed)
        --band.last;
    return band;
}

TSolution ClassSolutions::at(Count index) const
{
    if (index < 0 || index >= m_count)
        throw std::out_of_range("solution index " + std::to_string(index));
    const Count e = m_entrants1 / 4;
    TSolution s;
    s.Tour1 = m_entrants1;
    s.Entrant2 = m_firstEntrant2 + 4 * index;
    s.Entrant3 = 4 * (m_remaining - m_tour4) + (27 * e - 7 * s.Entrant2) / 4;
    s.Entrant4 = m_remaining - s.Entrant2 - s.Entrant3;
    s.Tour2 = (3 * m_entrants1) / 4 + s.Entrant2;
    s.Tour3 = (3 * s.Tour2) / 4 + s.Entrant3;
    return s;
}

SolutionLists::ClassList &SolutionLists::list(ExemptionClass exemptionClass)
{
    return m_lists[classIndex(exemptionClass)];
}

const SolutionLists::ClassList &SolutionLists::list(ExemptionClass exemptionClass) const
{
    return m_lists[classIndex(exemptionClass)];
}

Count SolutionLists::NbSolutions(ExemptionClass exemptionClass) const
{
    return list(exemptionClass).count;
}

void SolutionLists::setNbSolutions(ExemptionClass exemptionClass, Count count)
{
    list(exemptionClass).count = count;
}

void SolutionLists::append(ExemptionClass exemptionClass, const TSolution &solution)
{
    ClassList &l = list(exemptionClass);
    l.records.push_back(solution);
    l.cursor = l.records.size() - 1;
}

void SolutionLists::FreeSolutionList(ExemptionClass exemptionClass)
{
    ClassList &l = list(exemptionClass);
    std::vector<TSolution>().swap(l.records);
    l.cursor = 0;
}

void SolutionLists::replace(ExemptionClass exemptionClass, const ClassSolutions &found)
{
    if (NbSolutions(exemptionClass) > 0)
        FreeSolutionList(exemptionClass);
    setNbSolutions(exemptionClass, 0);
    for (Count i = 0; i < found.count(); ++i)
        append(exemptionClass, found.at(i));
    setNbSolutions(exemptionClass, found.count());
}

bool SolutionLists::hasRecords(ExemptionClass exemptionClass) const
{
    return !list(exemptionClass).records.empty();
}

std::size_t SolutionLists::recordCount(ExemptionClass exemptionClass) const
{
    return list(exemptionClass).records.size();
}

std::optional<TSolution> SolutionLists::SolutionCursor(ExemptionClass exemptionClass) const
{
    const ClassList &l = list(exemptionClass);
    if (l.records.empty())
        return std::nullopt;
    return l.records[l.cursor];
}

std::size_t SolutionLists::cursorPosition(ExemptionClass exemptionClass) const
{
    const ClassList &l = list(exemptionClass);
    return l.records.empty() ? 0 : l.cursor + 1;
}

std::optional<TSolution> SolutionLists::moveCursorTo(ExemptionClass exemptionClass, Count position)
{
    ClassList &l = list(exemptionClass);
    if (position < 1 || static_cast<std::size_t>(position) > l.records.size())
        return std::nullopt;
    l.cursor = static_cast<std::size_t>(position - 1);
    return l.records[l.cursor];
}

} // namespace velmorin
