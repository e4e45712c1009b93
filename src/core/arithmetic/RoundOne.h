#pragma once

// What the window proposes for round 1 from the registered teams and the final size.
// Computed in 64 bits: the bound of the largest inputs does not fit in 32.

#include <cstdint>

namespace velmorin {

// A third of the registered teams, rounded down to a multiple of 4: (N div 12) x 4.
std::int64_t proposedEntrants1(std::int32_t registered);

// The largest round-1 entry offered: the registered teams less four per team in the final,
// rounded down to a multiple of 4, plus 4: 4 x ((N - 4 x P) div 4 + 1). Negative when too
// few teams are registered; divisions truncate toward zero.
std::int64_t entrants1Bound(std::int32_t registered, std::int32_t finale);

// The largest round-1 entry the overview and the plan search examine: every multiple of 4 up
// to the registered teams, 4 x (N div 4); below 0 when N is. With "3/4" ratios many E1 past
// the window's bound have solutions, so the bound only marks them.
std::int64_t lastExaminedEntrants1(std::int32_t registered);

} // namespace velmorin
