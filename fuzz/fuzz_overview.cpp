// The round-1 overview: for any 32-bit inputs its rows are exactly the E1 values whose
// calculation finds solutions, in ascending order, with the same counts. Registered counts
// up to a few thousand are compared over every E1 up to the bound; larger ones row by row and
// at E1 values that the input picks.
//
// Input layout (missing bytes read as 0):
//   [N: 4][F: 4][RG4][RG5][RG6][mode][E1 probes: 4 each ...]   integers little-endian
// mode bit 0: 0 keeps N within the exhaustive range, 1 takes it as it is.

#include "Calculation.h"
#include "FuzzInput.h"
#include "Overview.h"
#include "RoundOne.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

using velmorin::Count;

constexpr std::int32_t kExhaustiveRange = 6000;
constexpr int kRowsChecked = 4000;

using velmorin::fuzz::check;
using velmorin::fuzz::take;

std::array<Count, 3> countsAt(velmorin::Problem problem, Count entrants1)
{
    problem.entrants1 = static_cast<std::int32_t>(entrants1);
    const velmorin::Calculation c = velmorin::calculate(problem);
    std::array<Count, 3> counts{};
    for (velmorin::ExemptionClass k : velmorin::kRunOrder)
        counts[velmorin::classIndex(k)] = c.of(k).solutions.count();
    return counts;
}

bool any(const std::array<Count, 3> &counts)
{
    return counts[0] + counts[1] + counts[2] > 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmorin::Problem problem;
    problem.registered = take<std::int32_t>(data, size);
    problem.finale = take<std::int32_t>(data, size);
    problem.round4 = velmorin::ratioFromIndex(take<std::int8_t>(data, size));
    problem.quarterFinal = velmorin::ratioFromIndex(take<std::int8_t>(data, size));
    problem.semiFinal = velmorin::ratioFromIndex(take<std::int8_t>(data, size));
    const bool exhaustive = (take<std::uint8_t>(data, size) & 1) == 0;
    if (exhaustive)
        problem.registered %= kExhaustiveRange;

    velmorin::Overview overview(problem);
    const Count bound = velmorin::lastExaminedEntrants1(problem.registered);
    check(overview.lastEntrants1() == bound, "the last E1 examined is not the last up to N");
    check(overview.upDownBound() == velmorin::entrants1Bound(problem.registered, problem.finale),
          "bound differs from the window's");

    std::set<Count> rows;
    Count previous = -4;
    for (int i = 0; i < kRowsChecked; ++i) {
        const std::optional<velmorin::OverviewRow> row = overview.next();
        if (!row)
            break;
        check(row->entrants1 > previous && row->entrants1 % 4 == 0, "rows out of order");
        check(row->entrants1 <= bound, "row beyond the bound");
        check(row->solutions == countsAt(problem, row->entrants1), "row counts differ");
        check(any(row->solutions), "row without solution");
        previous = row->entrants1;
        rows.insert(row->entrants1);
    }
    const bool complete = !overview.next();

    // Every E1 with solutions is a row: all of them when N is small, the probes otherwise.
    // Beyond N no search finds anything (no team is left for rounds 2 to 4).
    const Count last = bound;
    if (exhaustive && complete) {
        for (Count e1 = 0; e1 <= last; e1 += 4)
            check(any(countsAt(problem, e1)) == (rows.count(e1) == 1), "row missing");
    }
    while (size > 0 && last >= 0) {
        const Count e1 = 4 * (take<std::uint32_t>(data, size) % (last / 4 + 1));
        if (complete || e1 <= previous)
            check(any(countsAt(problem, e1)) == (rows.count(e1) == 1), "probe missing");
    }
    return 0;
}
