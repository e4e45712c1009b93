#pragma once

// The round arithmetic of the cup, the solution search and the per-class solution lists.
//
// Rounds: 1, 2, 3, 4 (the eighth-final), quarter-final, semi-final, final. Teams enter at
// round 1, 2, 3 or 4; from round to round three quarters or one half of the teams go through
// (always three quarters after rounds 1 to 3). Counts come in as 32-bit integers; every
// intermediate value is computed in 64 bits so that no input can overflow.

#include "ExemptionClass.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmorin {

using Count = std::int64_t;

// Qualification ratio of a round: a radio group index, 0 is "1/2" and anything else "3/4".
enum class Ratio { Half, ThreeQuarters };

constexpr Ratio ratioFromIndex(int itemIndex)
{
    return itemIndex == 0 ? Ratio::Half : Ratio::ThreeQuarters;
}

// One accepted solution. The round-4 size is not stored: see tour4().
struct TSolution
{
    Count Tour1 = 0;    // teams playing round 1 (the round-1 entrants)
    Count Entrant2 = 0; // teams entering at round 2
    Count Entrant3 = 0;
    Count Entrant4 = 0;
    Count Tour2 = 0; // teams playing round 2
    Count Tour3 = 0;

    // Three quarters of round 3 go through, and the round-4 entrants join them.
    Count tour4() const { return (3 * Tour3) / 4 + Entrant4; }

    friend bool operator==(const TSolution &a, const TSolution &b)
    {
        return a.Tour1 == b.Tour1 && a.Entrant2 == b.Entrant2 && a.Entrant3 == b.Entrant3 &&
               a.Entrant4 == b.Entrant4 && a.Tour2 == b.Tour2 && a.Tour3 == b.Tour3;
    }
    friend bool operator!=(const TSolution &a, const TSolution &b) { return !(a == b); }
};

// Sizes of the rounds before the final, going backwards.
struct BackwardChain
{
    Count T7 = 0; // final
    Count T6 = 0; // semi-final
    Count T5 = 0; // quarter-final
};

BackwardChain backwardChain(Count finale, Ratio semiFinal, Ratio quarterFinal);

// The size round 4 must have in exemption class k; 0 when "3/4" cannot give a whole round.
Count RequiredTour4(ExemptionClass exemptionClass, Count quarterFinal, Ratio round4);

// Whether round 4 can be whole in class k: at "3/4" the quarter-final places its games fill
// must be three quarters of a whole number of teams.
bool tour4CanBeWhole(ExemptionClass exemptionClass, Count quarterFinal, Ratio round4);

// All solutions of one class, in discovery order (ascending Entrant2, then Entrant3).
// They form an arithmetic progression in their position, so the count and the p-th
// solution are computed in constant time, whatever the inputs.
class ClassSolutions
{
public:
    ClassSolutions() = default;

    Count count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    Count tour4() const { return m_tour4; }

    // The solution at a zero-based index; index must be below count().
    TSolution at(Count index) const;

private:
    friend ClassSolutions searchClass(std::int32_t registered, std::int32_t entrants1, Count tour4);

    Count m_entrants1 = 0;
    Count m_remaining = 0; // registered - entrants1
    Count m_tour4 = 0;
    Count m_firstEntrant2 = 0;
    Count m_count = 0;
};

// The search for N registered teams, E1 round-1 entrants and a required round-4 size R.
ClassSolutions searchClass(std::int32_t registered, std::int32_t entrants1, Count tour4);

// The round-1 entrant counts E1 = 4e at which the search can find solutions for N registered
// teams and a required round-4 size R, as e from first to last (empty when first > last).
// Every e with a solution lies inside; at the band's ends a few e may still have none.
struct Entrants1Band
{
    Count first = 0;
    Count last = -1;

    bool empty() const { return first > last; }
};

// The band, cut at e = lastE (the last E1 examined over 4).
Entrants1Band entrants1Band(Count registered, Count tour4, Count lastE);

// Exactly the e in [0, lastE] at which the search finds solutions: they are never split, and
// only up to two e at each end of the band have none, so a few searches trim it.
Entrants1Band entrants1WithSolutions(std::int32_t registered, Count tour4, Count lastE);

// The three classes' solution lists, their counts and cursors.
//
// A count and its list are kept apart on purpose: releasing a list leaves its count alone,
// and the caller sets the count. The cursor is an index into the class's records.
class SolutionLists
{
public:
    Count NbSolutions(ExemptionClass exemptionClass) const;
    void setNbSolutions(ExemptionClass exemptionClass, Count count);

    // Adds a record after the last one and moves the cursor onto it.
    void append(ExemptionClass exemptionClass, const TSolution &solution);

    // Releases every record of the class; the cursor then designates none.
    void FreeSolutionList(ExemptionClass exemptionClass);

    // A run's replacement of the class: its old records released, then every solution found
    // appended in discovery order and counted. The cursor ends on the last one.
    void replace(ExemptionClass exemptionClass, const ClassSolutions &found);

    bool hasRecords(ExemptionClass exemptionClass) const;
    std::size_t recordCount(ExemptionClass exemptionClass) const;

    // The record the cursor designates, if any.
    std::optional<TSolution> SolutionCursor(ExemptionClass exemptionClass) const;
    // One-based position of the cursor, 0 when the class has no records.
    std::size_t cursorPosition(ExemptionClass exemptionClass) const;

    // Moves the cursor to the p-th record found (1-based) and returns it; a class without
    // records, or a position outside its records, leaves the cursor alone and gives nothing.
    std::optional<TSolution> moveCursorTo(ExemptionClass exemptionClass, Count position);

private:
    struct ClassList
    {
        Count count = 0;
        std::vector<TSolution> records;
        std::size_t cursor = 0; // index into records, meaningless when empty
    };

    ClassList &list(ExemptionClass exemptionClass);
    const ClassList &list(ExemptionClass exemptionClass) const;

    std::array<ClassList, 3> m_lists;
};

} // namespace velmorin
