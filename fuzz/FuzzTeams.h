#pragma once

// What the team-list fuzz targets check of any answer of a reader.

#include "FuzzInput.h"
#include "TeamList.h"

#include <limits>
#include <string>
#include <string_view>

namespace velmorin::fuzz {

// A refusal names the file; a list has teams with names, levels from 1, their points with the
// text they came from, every other column, and lines in order up to `mostLines`.
inline void checkTeamListResult(const TeamListResult &result, std::string_view fileName,
                                std::size_t mostLines = std::numeric_limits<std::size_t>::max())
{
    if (!result.ok()) {
        const std::string refused = "Liste « " + std::string(fileName) + " » refusée : ";
        check(result.error.compare(0, refused.size(), refused) == 0, "refusal without the file");
        check(result.warnings.empty(), "warnings beside a refusal");
        return;
    }
    check(result.error.empty(), "an error beside a list");
    const TeamList &list = *result.list;
    check(!list.teams.empty(), "an empty list accepted");
    std::size_t lastLine = 0;
    for (const Team &team : list.teams) {
        check(!team.name.empty(), "a team without a name");
        // A level reads back as itself: a number from 1, or a name that is no number.
        check(!team.level || readLevel(team.level->text()) == team.level, "a level not read back");
        check(team.points.has_value() == !team.pointsText.empty(), "points without their text");
        check(team.extra.size() == list.extraColumns.size(), "other columns lost");
        check(team.line > lastLine && team.line <= mostLines, "lines out of order or too many");
        lastLine = team.line;
    }
}

} // namespace velmorin::fuzz
