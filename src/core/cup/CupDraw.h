#pragma once

// The draw of one round's groups or games of two, apart from the cup's bookkeeping.

#include "Cup.h"

#include <cstdint>
#include <vector>

namespace velmorin {

// The players (team indices) in groups of `groupSize`, places in A, B, C, D order. Players
// must divide into whole groups. In order of importance: a club's teams (one identityKey, one
// club) are spread as evenly as the groups allow (never two in one group when the club has no
// more teams than there are groups); the teams entering at `round` are spread evenly, as far
// as the clubs let them; the rest, places included, is left to the seed.
std::vector<std::vector<int>> drawGroups(const std::vector<CupTeam> &teams,
                                         std::vector<int> players, int groupSize, int round,
                                         std::uint64_t seed);

} // namespace velmorin
