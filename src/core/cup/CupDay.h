#pragma once

// The cup on its day, beside its draws and results: who answered the roll-call before each
// round, the lanes ("jeux") of each hall, each round's start time, a game's length, and the
// games the organiser moved to another lane or time. Plain values and the readers of what the
// organiser types ("samedi 14:00", "1-24", "1 h 30").

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

constexpr int kDefaultGameMinutes = 90;
constexpr int kMaxGameMinutes = 24 * 60;
constexpr int kMaxLane = 9999;
constexpr int kMinutesPerDay = 24 * 60;

// A moment of the cup's week: a day (0 for lundi to 6 for dimanche) when one was given, and
// the minute of that day.
struct DayTime
{
    std::optional<int> day;
    int minute = 0; // 0 to 1439

    friend bool operator==(const DayTime &a, const DayTime &b)
    {
        return a.day == b.day && a.minute == b.minute;
    }
    friend bool operator!=(const DayTime &a, const DayTime &b) { return !(a == b); }
};

// A day of the week and a minute of the day.
inline bool isValid(const DayTime &moment)
{
    return moment.minute >= 0 && moment.minute < kMinutesPerDay &&
           (!moment.day || (*moment.day >= 0 && *moment.day < 7));
}

// Minutes after `from`: the day goes round the week; without a day, the clock goes round.
DayTime later(const DayTime &from, int minutes);
// The minutes from the week's start (or from midnight without a day): what orders moments.
int minuteOfWeek(const DayTime &moment);

// "samedi 14:00", "14:05" without a day.
std::string dayTimeText(const DayTime &moment);
// "1 h 30", "45 min", "2 h".
std::string durationText(int minutes);

template <typename T> struct Reading
{
    std::optional<T> value;
    std::string refusal; // one French sentence when there is no value
};

// "samedi 14:00", "Samedi 14h", "sam. 9h30", "14 h 05", "14:00": a day (optional, its name
// or its first three letters) and a time.
Reading<DayTime> readDayTime(std::string_view text);
// "1 h 30", "1h30", "90", "90 min", "1:30", "2h": 1 minute to 24 hours.
Reading<int> readDuration(std::string_view text);

// The lanes of one hall: numbered `first` to `last`. The one hall has no name.
struct LaneRange
{
    std::string hall;
    int first = 1;
    int last = 1;

    friend bool operator==(const LaneRange &a, const LaneRange &b)
    {
        return a.hall == b.hall && a.first == b.first && a.last == b.last;
    }
};

// "1-24", "1 à 24", "7" (one lane): numbers from 1 to kMaxLane, the first not above the last.
Reading<LaneRange> readLaneRange(std::string_view text);

struct LaneRef
{
    std::string hall;
    int number = 0;

    friend bool operator==(const LaneRef &a, const LaneRef &b)
    {
        return a.hall == b.hall && a.number == b.number;
    }
};

// "jeu 5", "jeu 5 de la salle B".
std::string laneText(const LaneRef &lane);

// A team's answer at the roll-call of a round.
struct RollCallRecord
{
    int round = 0;
    int team = 0;
    bool present = true;

    friend bool operator==(const RollCallRecord &a, const RollCallRecord &b)
    {
        return a.round == b.round && a.team == b.team && a.present == b.present;
    }
};

// One game moved by the organiser: its lane, its time, or both.
struct SlotRecord
{
    int round = 0;
    int group = 0;
    int game = 1;
    std::optional<LaneRef> lane;
    std::optional<DayTime> time;

    friend bool operator==(const SlotRecord &a, const SlotRecord &b)
    {
        return a.round == b.round && a.group == b.group && a.game == b.game && a.lane == b.lane &&
               a.time == b.time;
    }
};

struct DayRecords
{
    std::vector<RollCallRecord> rollCalls; // by round, team
    std::vector<LaneRange> lanes;          // by hall, the one hall first
    std::array<std::optional<DayTime>, 6> starts{}; // rounds 1 to 6
    int gameMinutes = kDefaultGameMinutes;
    std::vector<SlotRecord> moves;  // by round, group, game

    friend bool operator==(const DayRecords &a, const DayRecords &b)
    {
        return a.rollCalls == b.rollCalls && a.lanes == b.lanes && a.starts == b.starts &&
               a.gameMinutes == b.gameMinutes && a.moves == b.moves;
    }
};

} // namespace velmorin
