#include "TeamAssignment.h"

#include "CsvWriter.h"
#include "Plan.h"
#include "VisibleText.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace velmorin {

namespace {

// Teams without points after every score.
double pointsKey(const Team &team)
{
    return team.points ? *team.points : -std::numeric_limits<double>::infinity();
}

// A table row's cells, aligned, without the spaces a row would end with.
class AlignedRow
{
public:
    AlignedRow &left(std::string_view text, std::size_t width)
    {
        m_row += text;
        return spaces(width - std::min(width, displayWidth(text)));
    }
    AlignedRow &right(std::string_view text, std::size_t width)
    {
        spaces(width - std::min(width, displayWidth(text)));
        m_row += text;
        return *this;
    }
    AlignedRow &spaces(std::size_t count)
    {
        m_row.append(count, ' ');
        return *this;
    }
    bool writeTo(LineBuffer &line)
    {
        m_row.erase(m_row.find_last_not_of(' ') + 1);
        line.text(m_row);
        m_row.clear();
        return line.endLine();
    }

private:
    std::string m_row;
};

std::string teamCount(Count count)
{
    return std::to_string(count) + (count > 1 ? " équipes" : " équipe");
}

} // namespace

LevelMapping LevelMapping::defaults(const TeamList &list)
{
    return defaults(list, LevelOrder::ofList(list));
}

LevelMapping LevelMapping::defaults(const TeamList &list, LevelOrder order)
{
    LevelMapping mapping;
    const std::size_t ranked = order.levels().size();
    for (const Level &level : order.levels())
        mapping.m_levels.push_back(LevelRound{level, 0, 1});
    for (const Team &team : list.teams) {
        const std::size_t rank = order.rankOf(team.level);
        if (rank < ranked) {
            ++mapping.m_levels[rank].teams;
            continue;
        }
        // Without a level (or in no order: counted with them, as the weakest).
        if (mapping.m_levels.size() == ranked)
            mapping.m_levels.push_back(LevelRound{std::nullopt, 0, 1});
        ++mapping.m_levels.back().teams;
    }
    // A level of the order that no team has is no row.
    mapping.m_levels.erase(std::remove_if(mapping.m_levels.begin(), mapping.m_levels.end(),
                                          [](const LevelRound &l) { return l.teams == 0; }),
                           mapping.m_levels.end());
    std::vector<Level> kept;
    for (const LevelRound &l : mapping.m_levels) {
        if (l.level)
            kept.push_back(*l.level);
    }
    mapping.m_order = LevelOrder(std::move(kept), order.chosen());
    int round = kEntryRounds;
    for (LevelRound &level : mapping.m_levels) {
        // Teams without a level are the weakest: they start at round 1 whatever the others do.
        level.round = level.level ? std::max(round, 1) : 1;
        --round;
    }
    return mapping;
}

int LevelMapping::roundOf(const std::optional<Level> &level) const
{
    const std::size_t rank = m_order.rankOf(level);
    if (rank < m_order.levels().size())
        return m_levels[rank].round;
    if (!level && !m_levels.empty() && !m_levels.back().level)
        return m_levels.back().round;
    return 1;
}

bool LevelMapping::setRound(const std::optional<Level> &level, int round)
{
    if (round < 1 || round > kEntryRounds)
        return false;
    for (LevelRound &l : m_levels) {
        if (l.level == level) {
            l.round = round;
            return true;
        }
    }
    return false;
}

bool LevelMapping::swapWithNext(std::size_t index)
{
    if (!m_order.swapWithNext(index))
        return false;
    LevelRound &stronger = m_levels[index];
    LevelRound &weaker = m_levels[index + 1];
    std::swap(stronger.level, weaker.level);
    std::swap(stronger.teams, weaker.teams);
    return true;
}

std::array<Count, kEntryRounds> LevelMapping::entrantsPerRound() const
{
    std::array<Count, kEntryRounds> entrants{};
    for (const LevelRound &l : m_levels)
        entrants[static_cast<std::size_t>(l.round - 1)] += l.teams;
    return entrants;
}

Wishes wishesFor(const LevelMapping &levels)
{
    Wishes wishes;
    const std::array<Count, kEntryRounds> entrants = levels.entrantsPerRound();
    for (std::size_t r = 0; r < kEntryRounds; ++r) {
        const auto count = static_cast<std::int32_t>(entrants[r]);
        wishes.set(kQuantities[quantityIndex(Quantity::Entrants1) + r], Interval{count, count});
    }
    return wishes;
}

std::string levelLabel(const std::optional<Level> &level)
{
    if (!level)
        return "Sans niveau";
    return level->isNumber() ? "Niveau " + level->text() : level->text();
}

std::array<Count, kEntryRounds> planEntrants(const Plan &plan)
{
    std::array<Count, kEntryRounds> entrants{};
    for (std::size_t r = 0; r < entrants.size(); ++r)
        entrants[r] = plan.rounds[r].entering;
    return entrants;
}

std::uint64_t SeededDraw::next()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t SeededDraw::below(std::uint64_t bound)
{
    // Values under 2^64 mod bound would come up once more than the others: draw again.
    const std::uint64_t threshold = (0 - bound) % bound;
    for (;;) {
        const std::uint64_t value = next();
        if (value >= threshold)
            return value % bound;
    }
}

std::vector<std::size_t> Assignment::rows() const
{
    std::vector<std::size_t> result;
    result.reserve(ranking.size());
    for (int round = kEntryRounds; round >= 1; --round) {
        for (const std::size_t team : ranking) {
            if (roundOfTeam[team] == round)
                result.push_back(team);
        }
    }
    return result;
}

std::vector<std::size_t> rankTeams(const TeamList &list, std::uint64_t seed)
{
    return rankTeams(list, LevelOrder::ofList(list), seed);
}

std::vector<std::size_t> rankTeams(const TeamList &list, const LevelOrder &order,
                                   std::uint64_t seed)
{
    const std::vector<Team> &teams = list.teams;
    // Each team's level rank looked up once, not at every comparison.
    std::vector<std::size_t> levelRank(teams.size());
    for (std::size_t k = 0; k < teams.size(); ++k)
        levelRank[k] = order.rankOf(teams[k].level);
    const auto tied = [&](std::size_t a, std::size_t b) {
        return levelRank[a] == levelRank[b] && pointsKey(teams[a]) == pointsKey(teams[b]);
    };
    std::vector<std::size_t> ranking(teams.size());
    std::iota(ranking.begin(), ranking.end(), std::size_t{0});
    // Stable: the draw starts from the file's order, so the seed alone decides it.
    std::stable_sort(ranking.begin(), ranking.end(), [&](std::size_t a, std::size_t b) {
        if (levelRank[a] != levelRank[b])
            return levelRank[a] < levelRank[b];
        return pointsKey(teams[a]) > pointsKey(teams[b]);
    });
    SeededDraw draw(seed);
    for (std::size_t first = 0; first < ranking.size();) {
        std::size_t end = first + 1;
        while (end < ranking.size() && tied(ranking[first], ranking[end]))
            ++end;
        draw.shuffle(ranking.data() + first, end - first);
        first = end;
    }
    return ranking;
}

AssignmentResult assignTeams(const TeamList &list, const LevelMapping &mapping,
                             const std::array<Count, kEntryRounds> &entrants, std::uint64_t seed)
{
    AssignmentResult result;
    Count planned = 0;
    for (const Count count : entrants) {
        if (count < 0) {
            result.error = "Le plan donne un nombre négatif d'équipes entrantes : les entrées "
                           "ne peuvent pas être réparties.";
            return result;
        }
        planned += count;
    }
    const auto listed = static_cast<Count>(list.teams.size());
    if (planned != listed) {
        result.error = "Le plan est fait pour " + teamCount(planned) + " et la liste en compte " +
                       std::to_string(listed) +
                       " : les entrées ne peuvent être réparties que si les deux nombres sont "
                       "égaux.";
        return result;
    }

    Assignment assignment;
    assignment.seed = seed;
    assignment.ranking = rankTeams(list, mapping.order(), seed);
    assignment.roundOfTeam.assign(list.teams.size(), 1);
    assignment.outOfLevel.assign(list.teams.size(), false);
    std::size_t at = 0;
    for (int round = kEntryRounds; round >= 1; --round) {
        const auto count = static_cast<std::size_t>(entrants[static_cast<std::size_t>(round - 1)]);
        for (std::size_t k = 0; k < count; ++k, ++at) {
            const std::size_t team = assignment.ranking[at];
            assignment.roundOfTeam[team] = round;
            if (mapping.roundOf(list.teams[team].level) != round) {
                assignment.outOfLevel[team] = true;
                ++assignment.outOfLevelCount;
            }
        }
        assignment.perRound[static_cast<std::size_t>(round - 1)] = static_cast<Count>(count);
    }
    result.assignment = std::move(assignment);
    return result;
}

bool writeAssignmentTable(const TeamList &list, const Assignment &assignment, ByteSink &sink)
{
    const std::array<std::string_view, 5> headers{"Tour", "Équipe", "Club", "Niveau", "Points"};
    std::array<std::size_t, 5> widths{};
    for (std::size_t c = 0; c < headers.size(); ++c)
        widths[c] = displayWidth(headers[c]);
    for (const Team &team : list.teams) {
        widths[1] = std::max(widths[1], displayWidth(tableCellText(team.name)));
        widths[2] = std::max(widths[2], displayWidth(tableCellText(team.club)));
        widths[3] = std::max(widths[3], displayWidth(tableCellText(levelText(team.level))));
        widths[4] = std::max(widths[4], displayWidth(team.pointsText));
    }

    LineBuffer line(sink);
    line.text("Graine du tirage : ").text(std::to_string(assignment.seed));
    if (!line.endLine())
        return false;
    AlignedRow row;
    row.right(headers[0], widths[0]).spaces(2).left(headers[1], widths[1]).spaces(2);
    row.left(headers[2], widths[2]).spaces(2).right(headers[3], widths[3]).spaces(2);
    if (!row.right(headers[4], widths[4]).writeTo(line))
        return false;
    for (const std::size_t index : assignment.rows()) {
        const Team &team = list.teams[index];
        row.right(std::to_string(assignment.roundOfTeam[index]), widths[0]).spaces(2);
        row.left(tableCellText(team.name), widths[1]).spaces(2);
        row.left(tableCellText(team.club), widths[2]).spaces(2);
        row.right(tableCellText(levelText(team.level)), widths[3]).spaces(2);
        row.right(team.pointsText, widths[4]);
        if (assignment.outOfLevel[index])
            row.spaces(2).left(kOutOfLevel, 0);
        if (!row.writeTo(line))
            return false;
    }
    if (!line.endLine())
        return false;
    for (int round = kEntryRounds; round >= 1; --round) {
        line.text("Tour ").number(round).text(" : ").text(
            teamCount(assignment.perRound[static_cast<std::size_t>(round - 1)]));
        if (!line.endLine())
            return false;
    }
    line.text("Hors niveau : ").text(teamCount(assignment.outOfLevelCount));
    if (!line.endLine())
        return false;
    return line.flush();
}

bool writeLevelsTable(const LevelMapping &mapping, ByteSink &sink)
{
    const std::array<std::string_view, 3> headers{"Niveau", "Équipes", "Tour"};
    std::array<std::size_t, 3> widths{};
    for (std::size_t c = 0; c < headers.size(); ++c)
        widths[c] = displayWidth(headers[c]);
    for (const LevelRound &level : mapping.levels()) {
        widths[0] = std::max(widths[0], displayWidth(tableCellText(levelLabel(level.level))));
        widths[1] = std::max(widths[1], decimalWidth(level.teams));
    }

    LineBuffer line(sink);
    AlignedRow row;
    row.left(headers[0], widths[0]).spaces(2).right(headers[1], widths[1]).spaces(2);
    if (!row.right(headers[2], widths[2]).writeTo(line))
        return false;
    for (const LevelRound &level : mapping.levels()) {
        row.left(tableCellText(levelLabel(level.level)), widths[0]).spaces(2);
        row.right(std::to_string(level.teams), widths[1]).spaces(2);
        if (!row.right(std::to_string(level.round), widths[2]).writeTo(line))
            return false;
    }
    const std::array<Count, kEntryRounds> entrants = mapping.entrantsPerRound();
    line.text("Entrantes voulues :");
    for (int round = 1; round <= kEntryRounds; ++round)
        line.text(round > 1 ? "," : "")
            .text(" tour ")
            .number(round)
            .text(" ")
            .number(entrants[static_cast<std::size_t>(round - 1)]);
    if (!line.endLine())
        return false;
    return line.flush();
}

bool writeLevelsCsv(const LevelMapping &mapping, ByteSink &sink, char separator)
{
    CsvWriter csv(sink, separator);
    if (!csv.header(std::array<std::string_view, 3>{"niveau", "equipes", "tour"}))
        return false;
    for (const LevelRound &level : mapping.levels()) {
        if (!csv.text(levelText(level.level)).number(level.teams).number(level.round).endRow())
            return false;
    }
    return csv.flush();
}

} // namespace velmorin
