#include "CupText.h"

#include "CupPlayText.h"
#include "CsvWriter.h"
#include "CupSchedule.h"
#include "TeamKey.h"
#include "VisibleText.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace velmorin {

namespace {

// One line of a listing, in the CSV's columns; the team cells hold raw names.
using Row = CupRow;

const CupTeam &teamAt(const Cup &cup, int team)
{
    return cup.teams()[static_cast<std::size_t>(team)];
}

Row gameRow(const Cup &cup, const GameRef &ref, std::string group, std::string game,
            const GameSlot &slot)
{
    const auto sides = *cup.gameTeams(ref);
    Row row{std::to_string(ref.round),
            std::move(group),
            std::move(game),
            teamAt(cup, sides.first).name,
            teamAt(cup, sides.first).club,
            teamAt(cup, sides.second).name,
            teamAt(cup, sides.second).club,
            {},
            {},
            {},
            {},
            slotLaneText(slot),
            slotTimeText(slot)};
    if (const auto result = cup.result(ref)) {
        row[7] = teamAt(cup, result->winner).name;
        if (result->winnerScore && result->loserScore) {
            const bool aWon = result->winner == sides.first;
            row[8] = std::to_string(aWon ? *result->winnerScore : *result->loserScore);
            row[9] = std::to_string(aWon ? *result->loserScore : *result->winnerScore);
        }
        if (result->withdrawn)
            row[10] = teamAt(cup, *result->withdrawn).name;
    }
    return row;
}

std::vector<Row> roundRows(const Cup &cup, int round)
{
    std::vector<Row> rows;
    const DrawRecord *drawn = cup.drawnRound(round);
    if (!drawn)
        return rows;
    for (const int team : drawn->exempted)
        rows.push_back({std::to_string(round), "", "exemptee", teamAt(cup, team).name});
    // The schedule holds every game, group by group, in game order.
    const std::vector<GameSlot> schedule = roundSchedule(cup, round);
    const auto slot = [&](int group, int game) -> const GameSlot & {
        const int perGroup = cup.layout().gamesPerGroup(round);
        return schedule[static_cast<std::size_t>((group - 1) * perGroup + game - 1)];
    };
    for (int group = 1; group <= static_cast<int>(drawn->groups.size()); ++group) {
        const std::string number = std::to_string(group);
        if (cup.layout().groupSize(round) == 2) {
            rows.push_back(gameRow(cup, {round, group, 1}, number, "1", slot(group, 1)));
            continue;
        }
        rows.push_back(gameRow(cup, {round, group, 1}, number, "1", slot(group, 1)));
        rows.push_back(gameRow(cup, {round, group, 2}, number, "2", slot(group, 2)));
        if (cup.gameTeams({round, group, kBarrage}))
            rows.push_back(
                gameRow(cup, {round, group, kBarrage}, number, "barrage", slot(group, kBarrage)));
    }
    return rows;
}

std::vector<Row> finalRows(const Cup &cup)
{
    std::vector<Row> rows;
    const std::vector<int> teams = cup.finalTeams();
    for (std::size_t k = 0; k < teams.size(); ++k)
        rows.push_back({"finale", std::to_string(k + 1), "qualifiee", teamAt(cup, teams[k]).name,
                        teamAt(cup, teams[k]).club});
    return rows;
}

// Every cell but the scores is text, guarded and quoted as CsvWriter does; the scores are
// numbers.
std::string csv(const std::vector<Row> &rows, char separator)
{
    std::string out;
    StringSink sink(out);
    CsvWriter writer(sink, separator);
    writer.header(kCupCsvColumns);
    for (const Row &row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if ((c == 8 || c == 9) && !row[c].empty())
                writer.number(std::stoll(row[c]));
            else
                writer.text(row[c]);
        }
        writer.endRow();
    }
    writer.flush();
    return out;
}

// The listing's columns: the CSV's, the scores in one.
constexpr std::size_t kTableColumns = 11;

std::array<std::string, kTableColumns> tableCells(const Row &row)
{
    const std::string partie = row[2] == "exemptee"    ? "exemptée"
                               : row[2] == "qualifiee" ? "qualifiée"
                                                       : row[2];
    std::array<std::string, kTableColumns> cells{
        row[1], partie, row[3], row[4],  row[5], row[6], row[7],
        row[8].empty() ? "" : row[8] + "-" + row[9], row[10], row[11], row[12]};
    for (std::string &cell : cells)
        cell = tableCellText(cell);
    return cells;
}

std::string alignedTable(const std::vector<Row> &rows)
{
    std::vector<std::array<std::string, kTableColumns>> lines{
        {"Poule", "Partie", "Équipe A", "Club A", "Équipe B", "Club B", "Gagnant", "Score",
         "Forfait", "Jeu", "Heure"}};
    for (const Row &row : rows)
        lines.push_back(tableCells(row));
    std::array<std::size_t, kTableColumns> widths{};
    for (const auto &line : lines) {
        for (std::size_t c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], characterCount(line[c]));
    }
    std::string out;
    for (const auto &line : lines) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size())
                text.append(widths[c] - characterCount(line[c]) + 2, ' ');
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + '\n';
    }
    return out;
}

std::string roundHeading(const Cup &cup, int round)
{
    std::string heading(roundTitle(round));
    if (const DrawRecord *drawn = cup.drawnRound(round)) {
        heading += " — tirage n° " + std::to_string(drawn->attempt);
        if (cup.isComplete(round))
            heading += " — terminé";
    }
    return heading;
}

} // namespace

std::string htmlEscaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        static constexpr std::string_view kSpecial = "&<>\"'";
        static constexpr std::array<std::string_view, 5> kEntities{"&amp;", "&lt;", "&gt;",
                                                                   "&quot;", "&#39;"};
        const std::size_t at = kSpecial.find(c);
        out += at == std::string_view::npos ? std::string_view(&c, 1) : kEntities[at];
    }
    return out;
}

namespace {

std::string htmlTeam(const Row &row, std::size_t nameColumn)
{
    std::string cell = htmlEscaped(row[nameColumn]);
    if (!row[nameColumn + 1].empty())
        cell += " <small>(" + htmlEscaped(row[nameColumn + 1]) + ")</small>";
    return cell;
}

} // namespace

int roundInPlay(const Cup &cup)
{
    for (int round = 1; round <= cup.drawnRounds(); ++round) {
        if (!cup.isComplete(round))
            return round;
    }
    return cup.drawnRounds();
}

namespace {

std::string roundAnchor(int round)
{
    return "tour-" + std::to_string(round);
}

std::string htmlRound(const Cup &cup, int round, bool inPlay)
{
    std::string heading = roundHeading(cup, round);
    if (inPlay && !cup.isComplete(round))
        heading += " — en jeu";
    std::string out = "<section id=\"" + roundAnchor(round) + "\">\n<h2>" +
                      htmlEscaped(heading) + "</h2>\n";
    const std::vector<Row> rows = roundRows(cup, round);
    if (rows.empty())
        return out + "<p>Aucune équipe ne joue ce tour.</p>\n</section>\n";
    out += "<table>\n<thead><tr><th class=\"game\">Partie</th><th>Équipes</th>"
           "<th>Gagnant</th></tr></thead>\n<tbody>\n";
    for (const Row &row : rows) {
        if (row[2] == "exemptee") {
            out += "<tr><td>Exemptée</td><td>" + htmlTeam(row, 3) + "</td><td>—</td></tr>\n";
            continue;
        }
        const bool inGroups = cup.layout().groupSize(round) == 4;
        const std::string game =
            inGroups
                ? "Poule " + row[1] + (row[2] == "barrage" ? ", barrage" : ", partie " + row[2])
                : "Partie " + row[1];
        std::string winner = htmlEscaped(row[7]);
        if (!row[10].empty())
            winner += " <small>(forfait de " + htmlEscaped(row[10]) + ")</small>";
        // Each team's points beside its name: a score beside the winner alone reads either way.
        const auto points = [&row](std::size_t column) {
            return row[column].empty() ? std::string() : " <b>" + row[column] + "</b>";
        };
        // Where and when, under the game: what a player looks for first on the day.
        const std::string where = row[11].empty() && row[12].empty()
                                      ? std::string()
                                      : "<br><small>" + htmlEscaped(row[11]) +
                                            (row[11].empty() || row[12].empty() ? "" : ", ") +
                                            htmlEscaped(row[12]) + "</small>";
        // Each game's row named, so that a live page replaces it alone.
        const std::string id =
            "p" + row[0] + '-' + row[1] + '-' + (row[2] == "barrage" ? "3" : row[2]);
        out += "<tr id=\"" + id + "\"><td>" + htmlEscaped(game) + where + "</td><td>" +
               htmlTeam(row, 3) + points(8) +
               "<br>contre " + htmlTeam(row, 5) + points(9) + "</td><td>" +
               (row[7].empty() ? std::string("à jouer") : winner) + "</td></tr>\n";
    }
    out += "</tbody>\n</table>\n";
    const std::vector<Meeting> meetings = cup.meetings(round);
    if (!meetings.empty()) {
        out += "<p>Rencontres de même club :</p>\n<ul>\n";
        for (const Meeting &meeting : meetings)
            out += "<li>" + htmlEscaped(meetingText(cup, meeting)) + "</li>\n";
        out += "</ul>\n";
    }
    return out + "</section>\n";
}

} // namespace

std::string roundTable(const Cup &cup, int round)
{
    std::string out = roundHeading(cup, round) + '\n';
    if (!cup.isDrawn(round))
        return out + "Pas encore tiré.\n";
    const std::vector<Row> rows = roundRows(cup, round);
    if (rows.empty())
        return out + "Aucune équipe ne joue ce tour.\n";
    out += alignedTable(rows);
    for (const Meeting &meeting : cup.meetings(round))
        out += "Rencontre de même club, " + tableCellText(meetingText(cup, meeting)) + '\n';
    return out;
}

std::string roundCsv(const Cup &cup, int round, char separator)
{
    return csv(roundRows(cup, round), separator);
}

std::string cupTable(const Cup &cup)
{
    std::string out;
    for (int round = 1; round <= cup.drawnRounds(); ++round)
        out += roundTable(cup, round) + '\n';
    const std::vector<int> teams = cup.finalTeams();
    out += "Finale : ";
    if (teams.empty())
        out += "pas encore connue.\n";
    for (std::size_t k = 0; k < teams.size(); ++k)
        out += (k > 0 ? ", " : "") + tableCellText(teamAt(cup, teams[k]).name) +
               (k + 1 == teams.size() ? ".\n" : "");
    return out;
}

std::vector<CupRow> cupRows(const Cup &cup)
{
    std::vector<Row> rows;
    for (int round = 1; round <= cup.drawnRounds(); ++round) {
        std::vector<Row> more = roundRows(cup, round);
        rows.insert(rows.end(), more.begin(), more.end());
    }
    const std::vector<Row> finale = finalRows(cup);
    rows.insert(rows.end(), finale.begin(), finale.end());
    return rows;
}

std::string cupCsv(const Cup &cup, char separator)
{
    return csv(cupRows(cup), separator);
}

std::string frenchDateTime(const LocalTime &moment)
{
    static constexpr std::array<std::string_view, 12> kMonths{
        "janvier", "février", "mars",      "avril",   "mai",      "juin",
        "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
    const std::size_t month = static_cast<std::size_t>(std::clamp(moment.month, 1, 12) - 1);
    const std::string minute = std::to_string(moment.minute);
    return (moment.day == 1 ? std::string("1er") : std::to_string(moment.day)) + ' ' +
           std::string(kMonths[month]) + ' ' + std::to_string(moment.year) + " à " +
           std::to_string(moment.hour) + " h " + (minute.size() < 2 ? "0" : "") + minute;
}

std::string cupHtml(const Cup &cup, std::string_view cupName, const LocalTime &madeAt)
{
    const std::string name = htmlEscaped(cupName.empty() ? "Tableau de la coupe" : cupName);
    const std::string made = "résultats du " + frenchDateTime(madeAt);
    return "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" + name + " — " + made + "</title>\n<style>\n" +
           std::string(cupHtmlStyle()) + "</style>\n</head>\n<body>\n<h1>" + name +
           "<br><small>" + made + "</small></h1>\n" + cupHtmlBody(cup) + "</body>\n</html>\n";
}

std::string_view cupHtmlStyle()
{
    return "body{font-family:sans-serif;margin:0.5em;max-width:60em}\n"
           "table{width:100%;border-collapse:collapse;table-layout:fixed;margin-bottom:1em}\n"
           "th,td{border:1px solid #999;padding:0.2em 0.3em;text-align:left;vertical-align:top;"
           "overflow-wrap:anywhere;word-break:break-word}\n"
           "th.game{width:6em}\nsmall{color:#555}\nh1,h2,li,p{overflow-wrap:anywhere}\n"
           "nav a{display:inline-block;margin:0 0.8em 0.4em 0}\n";
}

std::string roundHtml(const Cup &cup, int round)
{
    return htmlRound(cup, round, round == roundInPlay(cup));
}

std::string cupHtmlBody(const Cup &cup)
{
    std::string out;
    // On a phone, the round being played is what the players look for: it comes first, under
    // a link to each round, and the others follow in their order.
    const int inPlay = roundInPlay(cup);
    out += "<nav>\n";
    for (int round = 1; round <= cup.drawnRounds(); ++round)
        out += "<a href=\"#" + roundAnchor(round) + "\">" +
               htmlEscaped(roundTitle(round)) + (round == inPlay ? " (en jeu)" : "") + "</a>\n";
    out += "<a href=\"#finale\">Finale</a>\n</nav>\n";
    if (inPlay > 0)
        out += htmlRound(cup, inPlay, true);
    for (int round = 1; round <= cup.drawnRounds(); ++round) {
        if (round != inPlay)
            out += htmlRound(cup, round, false);
    }
    out += "<section id=\"finale\">\n<h2>Finale</h2>\n";
    const std::vector<int> teams = cup.finalTeams();
    if (teams.empty())
        out += "<p>Pas encore connue.</p>\n";
    else
        out += "<ol>\n";
    for (const Row &row : finalRows(cup))
        out += "<li>" + htmlTeam(row, 3) + "</li>\n";
    if (!teams.empty())
        out += "</ol>\n";
    return out + "</section>\n";
}

TeamReference resolveTeam(const std::vector<CupTeam> &teams, std::string_view reference)
{
    for (std::size_t t = 0; t < teams.size(); ++t) {
        if (teams[t].name == reference)
            return {static_cast<int>(t), {}};
    }
    if (reference.size() > 1 && reference.front() == '#') {
        unsigned long long position = 0;
        const char *first = reference.data() + 1;
        const char *last = reference.data() + reference.size();
        const auto [end, error] = std::from_chars(first, last, position);
        if (error == std::errc() && end == last && position >= 1 && position <= teams.size())
            return {static_cast<int>(position - 1), {}};
        if (end == last || error == std::errc::result_out_of_range)
            return {std::nullopt, "La liste compte " + std::to_string(teams.size()) +
                                      " équipes : " + quotedText(reference) +
                                      " n'en désigne aucune."};
    }
    // Typed with other capitals, accents, spaces or punctuation: the list's team of that key.
    const std::string key = identityKey(reference);
    std::optional<int> found;
    std::size_t matches = 0;
    for (std::size_t t = 0; t < teams.size() && !key.empty(); ++t) {
        if (identityKey(teams[t].name) == key && matches++ == 0)
            found = static_cast<int>(t);
    }
    if (matches == 1)
        return {found, {}};
    if (matches > 1)
        return {std::nullopt, "Plusieurs équipes de la liste s'appellent " + quotedText(reference) +
                                  " (" + std::string(kIdentityRule) +
                                  ") : écrivez son nom exactement comme la liste, ou #N."};
    return {std::nullopt, "Aucune équipe de la liste ne s'appelle " + quotedText(reference) + "."};
}

std::vector<int> teamsMatching(const std::vector<CupTeam> &teams, const std::vector<int> &among,
                               std::string_view typed)
{
    const std::string key = identityKey(typed);
    if (key.empty())
        return among;
    std::vector<int> found;
    for (const int team : among) {
        const CupTeam &cupTeam = teams[static_cast<std::size_t>(team)];
        if (identityKey(cupTeam.name).find(key) != std::string::npos ||
            identityKey(cupTeam.club).find(key) != std::string::npos)
            found.push_back(team);
    }
    return found;
}

} // namespace velmorin
