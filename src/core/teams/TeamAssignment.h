#pragma once

// From a team list to each team's entry round: the levels mapped to rounds (which give the
// plan search its wishes), and the assignment of the teams to a chosen plan's entrants.

#include "ByteSink.h"
#include "Level.h"
#include "TeamList.h"
#include "VlmDec.h"
#include "Wishes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmorin {

struct Plan;

constexpr int kEntryRounds = 4; // teams enter at round 1, 2, 3 or 4

// One level of a list, with the number of its teams and the round it enters at.
struct LevelRound
{
    std::optional<Level> level; // none: the teams without a level
    Count teams = 0;
    int round = 1; // 1 to 4
};

// The levels found in a list, strongest first by their order and the teams without a level
// last, each with the round its teams should enter at.
class LevelMapping
{
public:
    LevelMapping() = default;

    // The strongest level enters at round 4, the next at round 3, the next at round 2, every
    // other at round 1; the teams without a level enter at round 1. Without an order, the
    // list's own (LevelOrder::ofList); `order` must hold every level of the list.
    static LevelMapping defaults(const TeamList &list);
    static LevelMapping defaults(const TeamList &list, LevelOrder order);

    const std::vector<LevelRound> &levels() const { return m_levels; }
    const LevelOrder &order() const { return m_order; }

    // The round of a level; round 1 for a level the list does not have.
    int roundOf(const std::optional<Level> &level) const;
    // Sends a level's teams to another round (1 to 4); false, and nothing changes, for a level
    // the list does not have or a round outside 1 to 4.
    bool setRound(const std::optional<Level> &level, int round);
    // Makes the level at `index` the weaker of it and the next one; the rounds stay in their
    // places, so the level now stronger takes the stronger round. The teams without a level
    // stay last: false for them.
    bool swapWithNext(std::size_t index);

    // The entrants per round this mapping gives, [0] for round 1 to [3] for round 4: the
    // wishes for the plan search.
    std::array<Count, kEntryRounds> entrantsPerRound() const;

private:
    std::vector<LevelRound> m_levels;
    LevelOrder m_order;
};

// What the levels' rounds wish of a plan: exactly their entrants at rounds 1 to 4.
Wishes wishesFor(const LevelMapping &levels);

// "Niveau 2", "Régionale", or "Sans niveau".
std::string levelLabel(const std::optional<Level> &level);

// A plan's entrants at rounds 1 to 4 ([0] for round 1).
std::array<Count, kEntryRounds> planEntrants(const Plan &plan);

// The draw among tied teams. Its own generator and bounded draw, so that a seed gives the same
// order with every compiler and standard library (std::shuffle and the standard
// distributions do not promise that).
class SeededDraw
{
public:
    explicit SeededDraw(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next(); // splitmix64
    // Uniform in [0, bound) for bound > 0, without the bias of a plain modulo.
    std::uint64_t below(std::uint64_t bound);

    template <typename T> void shuffle(T *first, std::size_t count)
    {
        for (std::size_t i = count; i > 1; --i) {
            const std::size_t j = static_cast<std::size_t>(below(i));
            std::swap(first[i - 1], first[j]);
        }
    }

private:
    std::uint64_t m_state;
};

struct Assignment
{
    std::uint64_t seed = 0;
    // Team indices, strongest first: by level, then points, then the draw among ties.
    std::vector<std::size_t> ranking;
    std::vector<int> roundOfTeam;               // by team index: 1 to 4
    std::vector<bool> outOfLevel;               // by team index: "hors niveau"
    std::array<Count, kEntryRounds> perRound{}; // [0] for round 1
    Count outOfLevelCount = 0;

    // Team indices as the entry lists give them: round 4 first, then 3, 2, 1, each in the
    // ranking's order.
    std::vector<std::size_t> rows() const;
};

struct AssignmentResult
{
    std::optional<Assignment> assignment;
    std::string error; // the French refusal, empty when assigned

    bool ok() const { return assignment.has_value(); }
};

// The ranking alone: it does not depend on the plan or the rounds, only on the levels' order
// (the list's own when not given).
std::vector<std::size_t> rankTeams(const TeamList &list, std::uint64_t seed);
std::vector<std::size_t> rankTeams(const TeamList &list, const LevelOrder &order,
                                   std::uint64_t seed);

// The first E4 teams of the ranking (by the mapping's order) enter at round 4, the next E3 at round
// 3, the next E2 at round 2, the rest at round 1. Refused when the entrants do not add up to the
// list's teams.
AssignmentResult assignTeams(const TeamList &list, const LevelMapping &mapping,
                             const std::array<Count, kEntryRounds> &entrants, std::uint64_t seed);

// The assignment as an aligned table: the seed, per round its count and its teams ("hors
// niveau" marked), then the counts per round and of "hors niveau".
bool writeAssignmentTable(const TeamList &list, const Assignment &assignment, ByteSink &sink);

// The levels, their team counts and their rounds, one per line.
bool writeLevelsTable(const LevelMapping &mapping, ByteSink &sink);

// The same as CSV: "niveau,equipes,tour", the level empty for the teams without one.
bool writeLevelsCsv(const LevelMapping &mapping, ByteSink &sink, char separator = ',');

// "hors niveau", the mark of a team entering at another round than its level's.
constexpr std::string_view kOutOfLevel = "hors niveau";

} // namespace velmorin
