#pragma once

// The overview of one problem: for every round-1 entrant count (E1 = 0, 4, 8, ... up to the
// registered teams), how many solutions each exemption class has, exactly as a calculation
// with that E1 would find them. The values past the window's round-1 bound, which its
// up-down does not reach, are examined too: with "3/4" ratios many of them have solutions.
//
// Whether a class has solutions at all comes down to conditions that are linear in E1, so
// each class's band of possible E1 values (entrants1Band, beside the search) is found directly and
// only those values are visited: the cost depends on the number of rows, not on the registered
// teams.

#include "ByteSink.h"
#include "Calculation.h"

#include <array>
#include <optional>
#include <string>

namespace velmorin {

struct OverviewRow
{
    Count entrants1 = 0;
    std::array<Count, 3> solutions{}; // indexed by classIndex

    Count count(ExemptionClass exemptionClass) const
    {
        return solutions[classIndex(exemptionClass)];
    }
    Count total() const { return solutions[0] + solutions[1] + solutions[2]; }

    friend bool operator==(const OverviewRow &a, const OverviewRow &b)
    {
        return a.entrants1 == b.entrants1 && a.solutions == b.solutions;
    }
    friend bool operator!=(const OverviewRow &a, const OverviewRow &b) { return !(a == b); }
};

// The rows of one problem, one at a time in ascending E1, in constant memory however many
// there are.
class Overview
{
public:
    // The problem's own entrants1 is not read: the overview covers every E1.
    explicit Overview(const Problem &problem);

    // The largest E1 examined, the largest multiple of 4 up to N; below 0 when none is.
    Count lastEntrants1() const { return m_last; }
    // How many E1 values are examined: 0, 4, ... up to the last.
    Count examined() const { return m_last < 0 ? 0 : m_last / 4 + 1; }
    // The window's round-1 bound: the up-down's maximum for E1.
    Count upDownBound() const { return m_bound; }
    bool beyondUpDown(Count entrants1) const { return entrants1 > m_bound; }

    // The next E1 with a solution in at least one class; nothing once every row was given.
    std::optional<OverviewRow> next();

private:
    std::int32_t m_registered = 0;
    std::array<Count, 3> m_tour4{}; // indexed by classIndex
    Count m_bound = 0;
    Count m_last = 0;
    std::array<Entrants1Band, 3> m_walk{}; // the E1 values to visit, as e, ascending and disjoint
    std::size_t m_walkSize = 0;
    std::size_t m_walkAt = 0;
    Count m_nextE = 0;
};

// "18 valeurs de E1 examinées (de 0 à 68 ; la fenêtre propose jusqu'à 48), 11 avec au moins
// une solution": how many E1 values the overview examines, up to which one, where the
// window's up-down stops, and how many of them have a solution.
std::string overviewSummary(const Overview &overview, Count withSolutions);

// The solutions axis of the overview's chart for a highest bar of `highest` solutions: from 0
// to `top` in whole steps of 1, 2, 5, 10, 20, 50... the smallest giving at most
// kMostSolutionsSteps of them, so that every tick is an integer and none repeats; the same
// highest bar always gives the same axis. With no bar, 0 to 1.
constexpr Count kMostSolutionsSteps = 8;
struct SolutionsScale
{
    Count top = 1;
    Count step = 1;

    friend bool operator==(const SolutionsScale &a, const SolutionsScale &b)
    {
        return a.top == b.top && a.step == b.step;
    }
};
SolutionsScale solutionsScale(Count highest);

// "entrant1,classe3,classe2,classe1", then one line per row of the overview; the separator
// is ',' or, for French spreadsheets, ';'.
bool writeOverviewCsv(const Problem &problem, ByteSink &sink, char separator = ',');
// The rows in aligned columns, then a line saying how many E1 values were examined and how
// many have solutions.
bool writeOverviewTable(const Problem &problem, ByteSink &sink);

} // namespace velmorin
