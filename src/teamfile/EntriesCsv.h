#pragma once

// The entries as CSV: each team's entry round, the list's columns after it, and whether the
// team enters at another round than its level's.

#include "ByteSink.h"
#include "TeamAssignment.h"
#include "TeamList.h"

#include <array>
#include <string_view>

namespace velmorin {

// The header's first columns; the list's other columns follow, then kOutOfLevelColumn.
constexpr std::array<std::string_view, 5> kAssignmentColumns{"tour", "equipe", "club", "niveau",
                                                             "points"};
// The last column: "oui" for a team that enters at another round than its level's.
constexpr std::string_view kOutOfLevelColumn = "hors_niveau";

// The UTF-8 byte-order mark: a French spreadsheet opening a CSV takes it as UTF-8 only with it.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The assignment as CSV: the header, then one row per team in rows() order. Points are written
// as a spreadsheet of that separator reads them: "224,5" with ';', "224.5" with ','. Returns
// whether everything reached the sink.
bool writeAssignmentCsv(const TeamList &list, const Assignment &assignment, ByteSink &sink,
                        char separator = ',');

// The same for a French spreadsheet: ';' between fields, after a UTF-8 byte-order mark.
bool writeAssignmentFrenchCsv(const TeamList &list, const Assignment &assignment, ByteSink &sink);

} // namespace velmorin
