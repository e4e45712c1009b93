#include "CupSchedule.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

namespace velmorin {

std::vector<std::array<std::optional<Placement>, 3>>
placeGames(const std::vector<GroupGames> &groups, int laneCount, int gameMinutes)
{
    std::vector<std::array<std::optional<Placement>, 3>> placed(groups.size());
    if (laneCount < 1)
        return placed;
    // The lanes by the moment they are free, then by number: the first free is on top.
    using Free = std::pair<long long, int>;
    std::priority_queue<Free, std::vector<Free>, std::greater<>> lanes;
    for (int lane = 0; lane < laneCount; ++lane)
        lanes.push({0, lane});
    const long long length = gameMinutes;
    const auto take = [&] {
        const Free free = lanes.top();
        lanes.pop();
        return free;
    };
    const auto at = [](int lane, long long offset) {
        return Placement{lane, static_cast<int>(offset)};
    };
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const auto &played = groups[g].played;
        auto &games = placed[g];
        if (played[0] && played[1]) {
            const Free first = take();
            if (lanes.empty()) { // one lane: the group's games one after the other
                games[0] = at(first.second, first.first);
                games[1] = at(first.second, first.first + length);
                long long end = first.first + 2 * length;
                if (played[2]) {
                    games[2] = at(first.second, end);
                    end += length;
                }
                lanes.push({end, first.second});
                continue;
            }
            const Free second = take();
            const long long start = std::max(first.first, second.first);
            const int left = std::min(first.second, second.second);
            const int right = std::max(first.second, second.second);
            games[0] = at(left, start);
            games[1] = at(right, start);
            if (played[2])
                games[2] = at(left, start + length);
            lanes.push({start + (played[2] ? 2 : 1) * length, left});
            lanes.push({start + length, right});
            continue;
        }
        // One game alone: a game of two, or the one first game played of a group.
        for (std::size_t k = 0; k < 2; ++k) {
            if (!played[k])
                continue;
            const Free free = take();
            games[k] = at(free.second, free.first);
            lanes.push({free.first + length, free.second});
        }
    }
    return placed;
}

std::vector<LaneRef> cupLanes(const DayRecords &day)
{
    std::vector<LaneRef> lanes;
    for (const LaneRange &range : day.lanes) {
        for (int number = range.first; number <= range.last; ++number)
            lanes.push_back({range.hall, number});
    }
    return lanes;
}

std::vector<GameSlot> roundSchedule(const Cup &cup, int round)
{
    std::vector<GameSlot> games;
    const DrawRecord *drawn = cup.drawnRound(round);
    if (!drawn)
        return games;
    const int perGroup = cup.layout().gamesPerGroup(round);
    std::vector<GroupGames> groups(drawn->groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::vector<int> &group = drawn->groups[g];
        const auto present = [&](std::size_t a, std::size_t b) {
            return !cup.isAbsent(round, group[a]) && !cup.isAbsent(round, group[b]);
        };
        auto &played = groups[g].played;
        played[0] = group.size() >= 2 && present(0, 1);
        if (perGroup == 3 && group.size() == 4) {
            played[1] = present(2, 3);
            // The losers of the first games meet: a team absent loses one of them.
            played[2] = played[0] && played[1];
        }
    }
    const DayRecords &day = cup.day();
    const std::vector<LaneRef> lanes = cupLanes(day);
    const auto placed = placeGames(groups, static_cast<int>(lanes.size()), day.gameMinutes);
    const std::optional<DayTime> &start = day.starts[static_cast<std::size_t>(round - 1)];
    games.reserve(groups.size() * static_cast<std::size_t>(perGroup));
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (int game = 1; game <= perGroup; ++game) {
            GameSlot slot;
            slot.game = {round, static_cast<int>(g + 1), game};
            if (const auto &place = placed[g][static_cast<std::size_t>(game - 1)]) {
                slot.lane = lanes[static_cast<std::size_t>(place->lane)];
                if (start)
                    slot.time = later(*start, place->offset);
            }
            games.push_back(std::move(slot));
        }
    }
    // The organiser's moves, in game order as the records keep them.
    for (const SlotRecord &moved : day.moves) {
        if (moved.round != round || moved.group < 1 ||
            moved.group > static_cast<int>(groups.size()) || moved.game < 1 ||
            moved.game > perGroup)
            continue;
        GameSlot &slot = games[static_cast<std::size_t>((moved.group - 1) * perGroup +
                                                        moved.game - 1)];
        if (moved.lane)
            slot.lane = moved.lane;
        if (moved.time)
            slot.time = moved.time;
        slot.moved = true;
    }
    return games;
}

std::string slotLaneText(const GameSlot &slot)
{
    return slot.lane ? laneText(*slot.lane) : std::string();
}

std::string slotTimeText(const GameSlot &slot)
{
    return slot.time ? dayTimeText(*slot.time) : std::string();
}

} // namespace velmorin
