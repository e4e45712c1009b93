#include "CupDraw.h"

#include "TeamAssignment.h"
#include "TeamKey.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace velmorin {

namespace {

// A club's players, or a team without a club on its own.
struct Block
{
    std::vector<int> members;
    int entrants = 0;
    std::uint64_t tie = 0;
};

class Groups
{
public:
    Groups(const std::vector<CupTeam> &teams, int groupCount, int round)
        : m_teams(teams), m_groupCount(groupCount), m_round(round), m_groups(groupCount),
          m_entrants(static_cast<std::size_t>(groupCount), 0)
    {}

    std::vector<std::vector<int>> &groups() { return m_groups; }

    // Dealt in turn, block after block: a run of c consecutive turns reaches every group
    // c / g or c / g + 1 times, whatever the blocks before it.
    void deal(const std::vector<Block> &blocks)
    {
        std::size_t turn = 0;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            for (const int team : blocks[b].members) {
                m_clubOf[team] = static_cast<int>(b);
                const std::size_t group = turn++ % m_groups.size();
                m_groups[group].push_back(team);
                m_entrants[group] += entering(team);
            }
            m_clubSize.push_back(static_cast<int>(blocks[b].members.size()));
        }
    }

    // Entrants moved from the fullest groups to the emptiest by swaps that keep every club's
    // spread, until their numbers differ by at most one or no such swap is left.
    void balanceEntrants()
    {
        for (;;) {
            const auto [low, high] = std::minmax_element(m_entrants.begin(), m_entrants.end());
            if (*high - *low <= 1)
                return;
            const int highest = *high;
            bool swapped = false;
            for (std::size_t h = 0; h < m_groups.size() && !swapped; ++h) {
                if (m_entrants[h] != highest)
                    continue;
                for (std::size_t l = 0; l < m_groups.size() && !swapped; ++l) {
                    if (m_entrants[l] <= highest - 2)
                        swapped = trySwap(h, l);
                }
            }
            if (!swapped)
                return;
        }
    }

private:
    int entering(int team) const
    {
        return m_teams[static_cast<std::size_t>(team)].entryRound == m_round ? 1 : 0;
    }

    int clubCount(std::size_t group, int club) const
    {
        int count = 0;
        for (const int team : m_groups[group])
            count += m_clubOf.at(team) == club;
        return count;
    }

    // The club's count in `to` may grow by one and in `from` shrink by one.
    bool mayMove(int club, std::size_t from, std::size_t to) const
    {
        const int size = m_clubSize[static_cast<std::size_t>(club)];
        const int most = (size + m_groupCount - 1) / m_groupCount;
        const int least = size / m_groupCount;
        return clubCount(to, club) + 1 <= most && clubCount(from, club) - 1 >= least;
    }

    bool trySwap(std::size_t high, std::size_t low)
    {
        for (int &x : m_groups[high]) {
            if (!entering(x))
                continue;
            for (int &y : m_groups[low]) {
                if (entering(y))
                    continue;
                const int cx = m_clubOf.at(x);
                const int cy = m_clubOf.at(y);
                if (cx != cy && !(mayMove(cx, high, low) && mayMove(cy, low, high)))
                    continue;
                std::swap(x, y);
                --m_entrants[high];
                ++m_entrants[low];
                return true;
            }
        }
        return false;
    }

    const std::vector<CupTeam> &m_teams;
    int m_groupCount;
    int m_round;
    std::vector<std::vector<int>> m_groups;
    std::vector<int> m_entrants;           // by group
    std::unordered_map<int, int> m_clubOf; // team -> block
    std::vector<int> m_clubSize;           // by block
};

} // namespace

std::vector<std::vector<int>> drawGroups(const std::vector<CupTeam> &teams,
                                         std::vector<int> players, int groupSize, int round,
                                         std::uint64_t seed)
{
    if (players.empty() || groupSize <= 0)
        return {};
    SeededDraw draw(seed);
    std::sort(players.begin(), players.end());

    std::vector<Block> blocks;
    std::unordered_map<std::string, std::size_t> blockOfClub; // by the club's key
    blockOfClub.reserve(players.size());
    for (const int team : players) {
        const CupTeam &cupTeam = teams[static_cast<std::size_t>(team)];
        std::size_t b = blocks.size();
        std::string club = identityKey(cupTeam.club);
        if (!club.empty()) {
            // try_emplace: no node made for a club already met.
            const auto [at, inserted] = blockOfClub.try_emplace(std::move(club), b);
            b = at->second;
            if (!inserted) {
                blocks[b].members.push_back(team);
                blocks[b].entrants += cupTeam.entryRound == round;
                continue;
            }
        }
        blocks.push_back({{team}, cupTeam.entryRound == round ? 1 : 0, 0});
    }
    for (Block &block : blocks) {
        draw.shuffle(block.members.data(), block.members.size());
        std::stable_partition(block.members.begin(), block.members.end(), [&](int team) {
            return teams[static_cast<std::size_t>(team)].entryRound == round;
        });
        block.tie = draw.next();
    }
    // The blocks with the most entrants first, so that the entrants come in nearly one run
    // of turns and fall evenly over the groups.
    std::sort(blocks.begin(), blocks.end(), [](const Block &a, const Block &b) {
        const auto left =
            static_cast<long long>(a.entrants) * static_cast<long long>(b.members.size());
        const auto right =
            static_cast<long long>(b.entrants) * static_cast<long long>(a.members.size());
        return left != right ? left > right : a.tie < b.tie;
    });

    const int groupCount = static_cast<int>(players.size()) / groupSize;
    Groups groups(teams, groupCount, round);
    groups.deal(blocks);
    groups.balanceEntrants();

    std::vector<std::vector<int>> result = std::move(groups.groups());
    draw.shuffle(result.data(), result.size());
    for (std::vector<int> &group : result)
        draw.shuffle(group.data(), group.size());
    return result;
}

} // namespace velmorin
