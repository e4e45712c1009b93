// The XLSX team-list reader: any bytes give a list or a refusal naming the file, never a crash
// or a sanitizer report; a list read is well formed.

#include "FuzzInput.h"
#include "FuzzTeams.h"
#include "TeamFile.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const velmorin::TeamListResult result = velmorin::readTeamListXlsx(bytes, "f.xlsx");
    // A sheet has 1 048 576 rows at the most.
    velmorin::fuzz::checkTeamListResult(result, "f.xlsx", std::size_t{1} << 20);
    return 0;
}
