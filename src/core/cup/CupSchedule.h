#pragma once

// Each game of a round on a lane at a time: a group's two first games side by side, its
// barrage after them on the first game's lane; when lanes run short, games wait for the first
// lane free, in group order. Pure: the same draw, lanes and times give the same schedule.

#include "Cup.h"

#include <array>
#include <optional>
#include <vector>

namespace velmorin {

// The games of one group to place: [0] and [1] its first games, [2] its barrage; a game of
// two is [0] alone. A game lost by forfeit at the roll-call takes no lane.
struct GroupGames
{
    std::array<bool, 3> played{};
};

// A game's lane (0 for the first lane) and its start, in minutes after the round's start.
struct Placement
{
    int lane = 0;
    int offset = 0;
};

// The games of every group, by group then game, on `laneCount` lanes (at least one) for games
// of `gameMinutes`.
std::vector<std::array<std::optional<Placement>, 3>>
placeGames(const std::vector<GroupGames> &groups, int laneCount, int gameMinutes);

// The lanes of the cup's halls in order, the one hall first.
std::vector<LaneRef> cupLanes(const DayRecords &day);

struct GameSlot
{
    GameRef game;
    std::optional<LaneRef> lane;  // none without lanes, or for a game lost at the roll-call
    std::optional<DayTime> time;  // none without the round's start time
    bool moved = false;           // the organiser's lane or time
};

// Every game of a drawn round (its barrage too, before its teams are known), in group then
// game order, with the organiser's moves; empty for a round not drawn.
std::vector<GameSlot> roundSchedule(const Cup &cup, int round);

// "jeu 5", "samedi 14:00": a slot's two cells, empty when unknown.
std::string slotLaneText(const GameSlot &slot);
std::string slotTimeText(const GameSlot &slot);

} // namespace velmorin
