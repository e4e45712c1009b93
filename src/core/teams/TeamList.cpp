#include "TeamList.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <unordered_map>

namespace velmorin {

namespace {

// At most this many faulty rows are listed; the others are counted.
constexpr std::size_t kListedFaults = 10;

// U+00C0 to U+00FF, encoded C3 80 to C3 BF, without their accents; null keeps the letter.
constexpr std::array<const char *, 64> kLatin1Folded{
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y"};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Spaces, tabs, line ends and no-break spaces (U+00A0, U+202F) at either end dropped.
std::string_view trimmed(std::string_view text)
{
    for (;;) {
        if (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
        else if (text.substr(0, 2) == "\xC2\xA0")
            text.remove_prefix(2);
        else if (text.substr(0, 3) == "\xE2\x80\xAF")
            text.remove_prefix(3);
        else
            break;
    }
    for (;;) {
        const std::size_t n = text.size();
        if (n > 0 && isBlank(text.back()))
            text.remove_suffix(1);
        else if (n >= 2 && text.substr(n - 2) == "\xC2\xA0")
            text.remove_suffix(2);
        else if (n >= 3 && text.substr(n - 3) == "\xE2\x80\xAF")
            text.remove_suffix(3);
        else
            break;
    }
    return text;
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

std::string foldedName(std::string_view utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    bool pendingSpace = false;
    const auto put = [&](std::string_view text) {
        if (pendingSpace && !folded.empty())
            folded += ' ';
        pendingSpace = false;
        folded += text;
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        if (isBlank(utf8[i]) || (byte == 0xC2 && next == 0xA0)) {
            pendingSpace = true;
            i += byte == 0xC2 ? 1 : 0;
        } else if (byte == 0xE2 && next == 0x80 && i + 2 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 2]) == 0xAF) {
            pendingSpace = true;
            i += 2;
        } else if (byte == 0xC3 && next >= 0x80 && next <= 0xBF && kLatin1Folded[next - 0x80]) {
            put(kLatin1Folded[next - 0x80]);
            ++i;
        } else if (byte == 0xC5 && (next == 0x92 || next == 0x93)) { // Œ, œ
            put("oe");
            ++i;
        } else if (byte >= 'A' && byte <= 'Z') {
            const char lower = static_cast<char>(byte - 'A' + 'a');
            put(std::string_view(&lower, 1));
        } else {
            put(std::string_view(&utf8[i], 1));
        }
    }
    return folded;
}

std::string levelText(const std::optional<Level> &level)
{
    return level ? level->text() : std::string();
}

std::optional<int> parseLevel(std::string_view text)
{
    text = trimmed(text);
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1)
        return std::nullopt;
    return value;
}

std::optional<double> parsePoints(std::string_view text)
{
    text = trimmed(text);
    // A sign, digits that spreadsheets may group by three with spaces, and a decimal comma or
    // point.
    std::string plain;
    std::size_t i = 0;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-')
            plain += '-';
        i = 1;
    }
    bool decimal = false;
    bool grouped = false;
    std::size_t group = 0; // digits since the last separator, before the decimal one
    std::size_t digits = 0;
    std::size_t decimals = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            plain += c;
            ++(decimal ? decimals : digits);
            ++group;
            ++i;
        } else if ((c == ',' || c == '.') && digits > 0 && !decimal) {
            if (grouped && group != 3)
                return std::nullopt;
            plain += '.';
            decimal = true;
            ++i;
        } else if (digits > 0 && !decimal &&
                   (c == ' ' || text.substr(i, 2) == "\xC2\xA0" ||
                    text.substr(i, 3) == "\xE2\x80\xAF")) {
            // A group separator stands between digits only: one to three before the first,
            // three in every group after it.
            if ((grouped && group != 3) || (!grouped && group > 3))
                return std::nullopt;
            grouped = true;
            group = 0;
            i += c == ' ' ? 1 : (text[i] == '\xC2' ? 2 : 3);
            if (i >= text.size() || text[i] < '0' || text[i] > '9')
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || (decimal && decimals == 0) || (grouped && !decimal && group != 3))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string formatPoints(double points, char decimal)
{
    if (points == 0)
        points = 0; // no "-0"
    // Wide enough for any double in fixed notation at its shortest.
    char digits[400];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, points, std::chars_format::fixed);
    std::string text(digits, error == std::errc() ? end : digits);
    if (decimal != '.')
        std::replace(text.begin(), text.end(), '.', decimal);
    return text;
}

std::string oneLineText(std::string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            line += " / ";
        } else {
            line += text[i];
        }
    }
    return line;
}

std::string columnLetters(std::size_t column)
{
    std::string letters;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
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
    std::unordered_map<std::string, std::size_t> seen; // folded name and club → line

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

        const std::string key = foldedName(team.name) + '\n' + foldedName(team.club);
        const auto [at, inserted] = seen.emplace(key, team.line);
        if (!inserted)
            result.warnings.push_back("Liste " + guillemets(fileName) + ", ligne " +
                                      std::to_string(team.line) + " : l'équipe " +
                                      guillemets(team.name) +
                                      (team.club.empty() ? std::string(" (sans club)")
                                                         : " du club " + guillemets(team.club)) +
                                      " figure déjà ligne " + std::to_string(at->second) + '.');
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
    result.list = std::move(list);
    return result;
}

} // namespace velmorin
