// The CSV team-list reader: any bytes give a list or a refusal naming the file, never a crash;
// a list read is well formed, and its entries written as CSV read back as the same teams.

#include "ByteSink.h"
#include "EntriesCsv.h"
#include "FuzzInput.h"
#include "FuzzTeams.h"
#include "TeamAssignment.h"
#include "TeamCsv.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using velmorin::fuzz::check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const velmorin::TeamListResult result = velmorin::readTeamListCsv(bytes, "f.csv");
    velmorin::fuzz::checkTeamListResult(result, "f.csv");
    if (!result.ok())
        return 0;
    const velmorin::TeamList &list = *result.list;

    // Everyone at round 1: the CSV written for a French spreadsheet (byte-order mark, ';')
    // reads back as the same teams, "tour" first among the other columns, "hors_niveau" last.
    std::array<velmorin::Count, velmorin::kEntryRounds> entrants{};
    entrants[0] = static_cast<velmorin::Count>(list.teams.size());
    const velmorin::AssignmentResult assigned =
        velmorin::assignTeams(list, velmorin::LevelMapping::defaults(list), entrants, size);
    check(assigned.ok(), "an assignment that adds up refused");
    std::ostringstream out;
    velmorin::OstreamSink sink(out);
    check(velmorin::writeAssignmentFrenchCsv(list, *assigned.assignment, sink), "write failed");
    const velmorin::TeamListResult back = velmorin::readTeamListCsv(out.str(), "f.csv");
    check(back.ok(), "the written CSV is refused");
    const velmorin::TeamList &again = *back.list;
    check(again.teams.size() == list.teams.size(), "teams lost in the round trip");
    check(again.extraColumns.size() == list.extraColumns.size() + 2 &&
              again.extraColumns.front() == "tour" && again.extraColumns.back() == "hors_niveau",
          "columns changed in the round trip");
    const std::vector<std::size_t> rows = assigned.assignment->rows();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const velmorin::Team &before = list.teams[rows[k]];
        const velmorin::Team &after = again.teams[k];
        check(after.name == before.name && after.club == before.club, "name or club changed");
        check(after.level == before.level && after.pointsText == before.pointsText,
              "level or points changed");
        for (std::size_t c = 0; c < before.extra.size(); ++c)
            check(after.extra[c + 1] == before.extra[c], "another column changed");
    }
    return 0;
}
