// What the organiser types on the cup's day: a time ("samedi 14:00"), a game's length
// ("1 h 30"), lanes ("1-24"). The readers never crash, accept only values in range, read back
// what they write, and quote a refused text without letting it drive the terminal; the lanes
// given to any round's games never hold two games at once.

#include "CupSchedule.h"
#include "FuzzInput.h"

#include <algorithm>
#include <string>
#include <vector>

using velmorin::fuzz::check;
using velmorin::fuzz::drivesNoTerminal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);

    const auto time = velmorin::readDayTime(text);
    check(time.value.has_value() == time.refusal.empty(), "a time both read and refused");
    if (time.value) {
        check(velmorin::isValid(*time.value), "a time out of the week");
        const auto again = velmorin::readDayTime(velmorin::dayTimeText(*time.value));
        check(again.value == time.value, "a time that does not read back");
    } else {
        check(drivesNoTerminal(time.refusal), "a time's refusal drives the terminal");
    }

    const auto length = velmorin::readDuration(text);
    check(length.value.has_value() == length.refusal.empty(), "a length both read and refused");
    if (length.value) {
        check(*length.value >= 1 && *length.value <= velmorin::kMaxGameMinutes,
              "a length out of range");
        check(velmorin::readDuration(velmorin::durationText(*length.value)).value == length.value,
              "a length that does not read back");
    } else {
        check(drivesNoTerminal(length.refusal), "a length's refusal drives the terminal");
    }

    const auto lanes = velmorin::readLaneRange(text);
    check(lanes.value.has_value() == lanes.refusal.empty(), "lanes both read and refused");
    if (lanes.value)
        check(lanes.value->first >= 1 && lanes.value->first <= lanes.value->last &&
                  lanes.value->last <= velmorin::kMaxLane,
              "lanes out of range");
    else
        check(drivesNoTerminal(lanes.refusal), "a lanes' refusal drives the terminal");

    // The bytes as groups (two bits each: first games played) on a few lanes.
    if (size > 1) {
        const int laneCount = 1 + data[0] % 16;
        std::vector<velmorin::GroupGames> groups;
        for (std::size_t k = 1; k < size; ++k) {
            velmorin::GroupGames group;
            group.played = {(data[k] & 1) != 0, (data[k] & 2) != 0,
                            (data[k] & 3) == 3 && (data[k] & 4) != 0};
            groups.push_back(group);
        }
        constexpr int length = 90;
        const auto placed = velmorin::placeGames(groups, laneCount, length);
        std::vector<std::vector<int>> starts(static_cast<std::size_t>(laneCount));
        for (std::size_t g = 0; g < groups.size(); ++g) {
            for (std::size_t k = 0; k < 3; ++k) {
                check(placed[g][k].has_value() == groups[g].played[k], "a game placed or not");
                if (placed[g][k])
                    starts[static_cast<std::size_t>(placed[g][k]->lane)].push_back(
                        placed[g][k]->offset);
            }
            if (placed[g][2])
                check(placed[g][2]->offset >= placed[g][0]->offset + length &&
                          placed[g][2]->offset >= placed[g][1]->offset + length,
                      "a barrage before its first games end");
        }
        for (std::vector<int> &lane : starts) {
            std::sort(lane.begin(), lane.end());
            for (std::size_t k = 1; k < lane.size(); ++k)
                check(lane[k] >= lane[k - 1] + length, "two games at once on one lane");
        }
    }
    return 0;
}
