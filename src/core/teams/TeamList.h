#pragma once

// The registered teams as an organiser's spreadsheet lists them: a name, a club, a level
// (a division's number, 1 the strongest, or its name) and ranking points, plus whatever other
// columns the sheet has, kept for the export. A list is read whole or refused whole: never half a
// list.

#include "Level.h"
#include "TeamKey.h"
#include "VisibleText.h"

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
    std::string pointsText;         // the points as a French sheet shows them: formatPoints(',')
    std::vector<std::string> extra; // one per TeamList::extraColumns, verbatim
    std::size_t line = 0;           // the file's line (CSV) or the sheet's row, 1-based

    friend bool operator==(const Team &a, const Team &b)
    {
        return a.name == b.name && a.club == b.club && a.level == b.level && a.points == b.points &&
               a.pointsText == b.pointsText && a.extra == b.extra && a.line == b.line;
    }
};

struct TeamList
{
    std::vector<std::string> extraColumns; // the other columns' headers, in file order
    std::vector<Team> teams;               // in file order

    friend bool operator==(const TeamList &a, const TeamList &b)
    {
        return a.extraColumns == b.extraColumns && a.teams == b.teams;
    }
};

// A reading: the list, or the French message that refuses it; warnings either way.
struct TeamListResult
{
    std::optional<TeamList> list;
    std::string error;                 // empty when the list was read
    std::vector<std::string> warnings; // teams of one name: the list is still read

    bool ok() const { return list.has_value(); }
};

// One row of a sheet as a reader found it: its line and its cells in UTF-8, as the sheet
// shows them; `values` holds, by column, the number a spreadsheet cell stores (none in CSV,
// where the text is all there is), and may be shorter than `cells`.
struct SourceRow
{
    std::size_t line = 0;
    std::vector<std::string> cells;
    std::vector<std::optional<double>> values;
};

// The header is looked for among this many rows that are not empty.
constexpr std::size_t kHeaderSearchRows = 20;

// Builds the list from a sheet's rows: the header is the first row, among the first
// kHeaderSearchRows that are not empty, with a name column; the rows above it (a title, a
// date) are ignored, empty rows are skipped. `fileName` names the file in the messages.
TeamListResult teamListFromRows(std::string_view fileName, const std::vector<SourceRow> &rows);

// The teams whose names are one (identityKey), each with the first team of that name: the
// reader warns about exactly these, and a cup refuses them.
std::vector<KeyRepeat> teamNameRepeats(const std::vector<Team> &teams);

// The refusal of a whole file for one reason: "Liste « f » refusée : <reason>."
TeamListResult refusedList(std::string_view fileName, std::string_view reason);

// A cell's text with spaces, tabs, line ends and no-break spaces (U+00A0, U+202F) at either
// end dropped.
std::string_view trimmedCellText(std::string_view text);

// A header name or a team's key as compared: lower case, accents and outer spaces dropped,
// inner runs of spaces made one ("  Équipe " → "equipe").
std::string foldedName(std::string_view utf8);

// A level's text as a team list shows it: "1", "Régionale", or "" for none.
std::string levelText(const std::optional<Level> &level);

// The list's reading of a level or of points; nothing when the text is not one. Points are
// written plain or as a French sheet shows them: a decimal comma or point, digits grouped by
// three with spaces ("12 345,5"); any other grouping ("1 2 3") is no number.
std::optional<int> parseLevel(std::string_view text);
std::optional<double> parsePoints(std::string_view text);

// Points as every writer writes them: no group separator, as few decimals as the value needs,
// `decimal` (',' for a French sheet, '.' otherwise) before them.
std::string formatPoints(double points, char decimal);

// "A", "B", ..., "Z", "AA": a column as spreadsheets name it, from 0.
std::string columnLetters(std::size_t column);

} // namespace velmorin
