#include "TeamList.h"

#include "TeamKey.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace velmorin {

namespace {

// At most this many faulty rows are listed; the others are counted.
constexpr std::size_t kListedFaults = 10;

// Spaces, tabs, line ends and no-break spaces at either end dropped.
std::string_view trimmed(std::string_view text)
{
    return trimmedCellText(text);
}

std::string guillemets(std::string_view text)
{
    std::string result = "« ";
    result += text;
    result += " »";
    return result;
}

// The columns a list names; every other column is kept as it is.
struct Columns
{
    std::optional<std::size_t> name;
    std::optional<std::size_t> club;
    std::optional<std::size_t> level;
    std::optional<std::size_t> points;
    std::vector<std::size_t> extra;
};

// The first column under the first of `names` that the header has, in order of preference.
std::optional<std::size_t> findColumn(const std::vector<std::string> &folded,
                                      std::initializer_list<std::string_view> names)
{
    for (std::string_view name : names) {
        const auto at = std::find(folded.begin(), folded.end(), name);
        if (at != folded.end())
            return static_cast<std::size_t>(at - folded.begin());
    }
    return std::nullopt;
}

Columns matchHeader(const std::vector<std::string> &header)
{
    std::vector<std::string> folded;
    for (const std::string &name : header)
        folded.push_back(foldedName(name));
    Columns columns;
    columns.name = findColumn(folded, {"equipe", "nom"});
    columns.club = findColumn(folded, {"club"});
    columns.level = findColumn(folded, {"niveau", "division"});
    columns.points = findColumn(folded, {"points"});
    // Everything else, a second "Club" or a "Nom" beside "Équipe" too, is kept as it is; a
    // cell without a name is no column (its cells must be empty).
    for (std::size_t c = 0; c < header.size(); ++c) {
        if (c != columns.name && c != columns.club && c != columns.level && c != columns.points &&
            !header[c].empty())
            columns.extra.push_back(c);
    }
    return columns;
}

std::string_view cell(const SourceRow &row, std::size_t column)
{
    return column < row.cells.size() ? std::string_view(row.cells[column]) : std::string_view();
}

std::optional<double> valueOf(const SourceRow &row, std::size_t column)
{
    return column < row.values.size() ? row.values[column] : std::nullopt;
}

// A level a sheet stores as a number: a whole number from 1.
std::optional<int> levelOfValue(double value)
{
    if (!(value >= 1 && value <= std::numeric_limits<int>::max()) || std::trunc(value) != value)
        return std::nullopt;
    return static_cast<int>(value);
}

bool isEmptyRow(const SourceRow &row)
{
    for (const std::string &text : row.cells) {
        if (!trimmed(text).empty())
            return false;
    }
    return true;
}

std::string countOf(std::size_t count, const char *singular, const char *plural)
{
    return std::to_string(count) + ' ' + (count == 1 ? singular : plural);
}

} // namespace

std::vector<KeyRepeat> teamNameRepeats(const std::vector<Team> &teams)
{
    std::vector<std::string> keys;
    keys.reserve(teams.size());
    for (const Team &team : teams)
        keys.push_back(identityKey(team.name));
    return keyRepeats(keys);
}

TeamListResult refusedList(std::string_view fileName, std::string_view reason)
{
    TeamListResult result;
    result.error = "Liste " + guillemets(fileName) + " refusée : " + std::string(reason) + '.';
    return result;
}

TeamListResult teamListFromRows(std::string_view fileName, const std::vector<SourceRow> &rows)
{
    // A title, a date or a blank line may stand above the header: the header is the first row
    // that names a team column, among the first rows that hold anything.
    std::size_t first = 0;
    std::size_t looked = 0;
    std::optional<std::size_t> firstFilled;
    std::vector<std::string> header;
    Columns columns;
    for (; first < rows.size() && looked < kHeaderSearchRows; ++first) {
        if (isEmptyRow(rows[first]))
            continue;
        ++looked;
        if (!firstFilled)
            firstFilled = first;
        header.clear();
        for (const std::string &text : rows[first].cells)
            header.emplace_back(trimmed(text));
        columns = matchHeader(header);
        if (columns.name)
            break;
    }
    if (!firstFilled)
        return refusedList(fileName, "le fichier ne contient aucune ligne");
    if (!columns.name)
        return refusedList(fileName, "aucune des " + std::to_string(looked) +
                                         " premières lignes remplies (à partir de la ligne " +
                                         std::to_string(rows[*firstFilled].line) +
                                         ") n'a de colonne « Équipe » ou « Nom » : c'est la ligne "
                                         "d'en-tête qui nomme les colonnes");

    TeamList list;
    for (std::size_t c : columns.extra)
        list.extraColumns.push_back(header[c]);

    std::vector<std::string> faults; // one line per faulty row
    std::size_t faultyRows = 0;
    TeamListResult result;

    for (std::size_t r = first + 1; r < rows.size(); ++r) {
        const SourceRow &row = rows[r];
        if (isEmptyRow(row))
            continue;

        std::vector<std::string> rowFaults;
        const auto fault = [&](std::size_t column, std::string_view what) {
            rowFaults.push_back("colonne " + columnLetters(column) + ' ' +
                                guillemets(header[column]) + " : " + std::string(what));
        };

        Team team;
        team.line = row.line;
        team.name = std::string(trimmed(cell(row, *columns.name)));
        if (team.name.empty())
            fault(*columns.name, "nom d'équipe vide");
        if (columns.club)
            team.club = std::string(trimmed(cell(row, *columns.club)));
        if (columns.level) {
            const std::string_view text = trimmed(cell(row, *columns.level));
            const std::optional<double> value = valueOf(row, *columns.level);
            if (!text.empty() || value) {
                // A number cell is a numbered level; a text cell a number or a division's name.
                if (!value)
                    team.level = readLevel(text);
                else if (const std::optional<int> number = levelOfValue(*value))
                    team.level = Level(*number);
                if (!team.level)
                    fault(*columns.level, guillemets(text) +
                                              " n'est pas un niveau (nombre entier à partir de 1 "
                                              "ou nom de division)");
            }
        }
        if (columns.points) {
            const std::string_view text = trimmed(cell(row, *columns.points));
            const std::optional<double> value = valueOf(row, *columns.points);
            if (!text.empty() || value) {
                team.points = value && std::isfinite(*value) ? value : parsePoints(text);
                if (team.points)
                    team.pointsText = formatPoints(*team.points, ',');
                else
                    fault(*columns.points,
                          guillemets(text) +
                              " n'est pas un nombre de points (chiffres groupés par trois, "
                              "comme 1 723 ou 12 345,5)");
            }
        }
        for (std::size_t c : columns.extra)
            team.extra.emplace_back(cell(row, c));
        // Text in no named column means a separator inside an unquoted text, or a shifted
        // row: refused rather than silently dropped.
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const std::string_view text = trimmed(row.cells[c]);
            if (!text.empty() && (c >= header.size() || header[c].empty())) {
                rowFaults.push_back("colonne " + columnLetters(c) + " : " + guillemets(text) +
                                    " dans une colonne sans nom d'en-tête");
                break;
            }
        }
        if (!rowFaults.empty()) {
            if (++faultyRows <= kListedFaults) {
                std::string line = "ligne " + std::to_string(row.line) + ", ";
                for (std::size_t k = 0; k < rowFaults.size(); ++k)
                    line += (k ? " ; " : "") + rowFaults[k];
                faults.push_back(std::move(line));
            }
            continue;
        }

        list.teams.push_back(std::move(team));
    }

    if (faultyRows > 0) {
        result.warnings.clear(); // nothing is imported: nothing to warn about
        result.error = "Liste " + guillemets(fileName) +
                       " refusée : " + countOf(faultyRows, "ligne", "lignes") + " en erreur.";
        for (const std::string &line : faults)
            result.error += '\n' + line;
        if (faultyRows > kListedFaults)
            result.error += "\net " +
                            countOf(faultyRows - kListedFaults, "autre ligne", "autres lignes") +
                            " en erreur.";
        return result;
    }
    if (list.teams.empty())
        return refusedList(fileName, "aucune équipe sous la ligne d'en-tête");
    // Warned, not refused: the organiser may still look at the list, and the cup refuses the
    // same pairs when it is made.
    for (const KeyRepeat &repeat : teamNameRepeats(list.teams)) {
        const Team &first = list.teams[repeat.first];
        const Team &again = list.teams[repeat.again];
        result.warnings.push_back(
            "Liste " + guillemets(fileName) + ", ligne " + std::to_string(again.line) +
            " : l'équipe " + guillemets(again.name) + " porte le nom de l'équipe " +
            guillemets(first.name) + " de la ligne " + std::to_string(first.line) + " (" +
            std::string(kIdentityRule) + ").");
    }
    result.list = std::move(list);
    return result;
}

} // namespace velmorin
