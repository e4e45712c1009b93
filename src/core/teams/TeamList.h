#pragma once

// The registered teams as an organiser's spreadsheet lists them: a name, a club, a level
// (a division's number, 1 the strongest, or its name) and ranking points, plus whatever other
// columns the sheet has, kept for the export. A list is read whole or refused whole: never half a
// list.

#include "Level.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

struct Team
{
    std::string name;
    std::string club;               // may be empty
    std::optional<Level> level;     // none = weakest
    std::optional<double> points;   // higher = stronger; none = lowest
    std::string pointsText;         // the points as the file wrote them, trimmed
    std::vector<std::string> extra; // one per TeamList::extraColumns, verbatim
    std::size_t line = 0;           // the file's line (CSV) or row (ODS), 1-based
};

struct TeamList
{
    std::vector<std::string> extraColumns; // the other columns' headers, in file order
    std::vector<Team> teams;               // in file order
};

// A reading: the list, or the French message that refuses it; warnings either way.
struct TeamListResult
{
    std::optional<TeamList> list;
    std::string error;                 // empty when the list was read
    std::vector<std::string> warnings; // duplicates: the list is still read

    bool ok() const { return list.has_value(); }
};

// One row of a sheet as a reader found it: its line and its cells in UTF-8.
struct SourceRow
{
    std::size_t line = 0;
    std::vector<std::string> cells;
};

// Builds the list from a sheet's rows: the first non-empty row is the header, empty rows are
// skipped. `fileName` names the file in the messages.
TeamListResult teamListFromRows(std::string_view fileName, const std::vector<SourceRow> &rows);

// The refusal of a whole file for one reason: "Liste « f » refusée : <reason>."
TeamListResult refusedList(std::string_view fileName, std::string_view reason);

// A header name or a team's key as compared: lower case, accents and outer spaces dropped,
// inner runs of spaces made one ("  Équipe " → "equipe").
std::string foldedName(std::string_view utf8);

// A level's text as a team list shows it: "1", "Régionale", or "" for none.
std::string levelText(const std::optional<Level> &level);

// The list's reading of a level's number or of points; nothing when the text is not one.
std::optional<int> parseLevel(std::string_view text);
std::optional<double> parsePoints(std::string_view text);

} // namespace velmorin
