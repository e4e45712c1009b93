#pragma once

// What Cup.cpp, CupRoundDraws.cpp and CupResults.cpp share: the words of their sentences and
// the counts of a round. Private to the cup's sources.

#include "Cup.h"
#include "CupPlayText.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace velmorin::cupprivate {

inline std::string number(long long value)
{
    return std::to_string(value);
}

inline std::string roundName(int round)
{
    return roundLabel(round);
}

// "3 résultats", "1 résultat".
inline std::string counted(long long count, std::string_view noun)
{
    return countOf(count, noun, std::string(noun) + "s");
}

// The teams that go through a round of `size` teams, when its games come out whole.
inline std::optional<Count> throughCount(const CupLayout &layout, int round, Count size)
{
    const Count exempted = layout.exemptedAt(round);
    const Count groupSize = layout.groupSize(round);
    const Count playing = size - exempted;
    if (playing < 0 || playing % groupSize != 0)
        return std::nullopt;
    return playing / groupSize * (groupSize == 4 ? 3 : 1) + exempted;
}

// The pairs of teams of one club in one group, in group then team order; `clubOf(team)` is
// asked once for each team (empty: no club).
template <typename ClubOf>
std::vector<Meeting> meetingsOf(const std::vector<std::vector<int>> &groups, ClubOf clubOf)
{
    std::vector<Meeting> meetings;
    std::vector<std::string> clubs;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::vector<int> &group = groups[g];
        clubs.clear();
        for (const int team : group)
            clubs.push_back(clubOf(team));
        for (std::size_t i = 0; i < group.size(); ++i) {
            for (std::size_t j = i + 1; j < group.size(); ++j) {
                if (!clubs[i].empty() && clubs[i] == clubs[j])
                    meetings.push_back({static_cast<int>(g + 1), std::min(group[i], group[j]),
                                        std::max(group[i], group[j])});
            }
        }
    }
    std::sort(meetings.begin(), meetings.end(), [](const Meeting &a, const Meeting &b) {
        return std::tie(a.group, a.teamA, a.teamB) < std::tie(b.group, b.teamA, b.teamB);
    });
    return meetings;
}

inline bool scoreValid(const Score &score)
{
    return score.loser >= 0 && score.winner > score.loser && score.winner <= kMaxScore;
}

inline constexpr std::string_view kScoreRule = "Un score donne d'abord les points du gagnant, "
                                               "plus hauts que ceux du perdant, entre 0 et 999.";

// "La partie…" from "la partie…": a game's name at the start of a sentence.
inline std::string capitalized(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

inline int other(const std::pair<int, int> &sides, int team)
{
    return sides.first == team ? sides.second : sides.first;
}

inline bool contains(const std::vector<int> &teams, int team)
{
    return std::find(teams.begin(), teams.end(), team) != teams.end();
}

} // namespace velmorin::cupprivate
