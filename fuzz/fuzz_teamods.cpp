// The ODS team-list reader: any bytes give a list or a refusal naming the file, never a crash
// or a sanitizer report; a list read is well formed, and written back as ODS it reads as the
// same teams.

#include "EntriesOds.h"
#include "FuzzInput.h"
#include "FuzzTeams.h"
#include "TeamFile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using velmorin::fuzz::check;

bool sameTeams(const velmorin::TeamList &a, const velmorin::TeamList &b)
{
    if (a.teams.size() != b.teams.size() || a.extraColumns != b.extraColumns)
        return false;
    for (std::size_t k = 0; k < a.teams.size(); ++k) {
        const velmorin::Team &x = a.teams[k];
        const velmorin::Team &y = b.teams[k];
        // Points go back as numbers: "120,5" comes back as "120.5", the same points.
        if (x.name != y.name || x.club != y.club || x.level != y.level || x.points != y.points ||
            x.extra != y.extra)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const velmorin::TeamListResult result = velmorin::readTeamListOds(bytes, "f.ods");
    // A sheet has 1 048 576 rows at the most.
    velmorin::fuzz::checkTeamListResult(result, "f.ods", std::size_t{1} << 20);
    if (!result.ok())
        return 0;
    const velmorin::TeamList &list = *result.list;

    const std::string written = velmorin::teamListOds(list);
    check(!written.empty(), "the list could not be written");
    const velmorin::TeamListResult back = velmorin::readTeamListOds(written, "f.ods");
    check(back.ok(), "the written list is refused");
    check(sameTeams(list, *back.list), "teams changed in the round trip");
    return 0;
}
