#pragma once

// A cup's rounds as an organiser reads, prints and shares them: aligned text, CSV and one
// HTML page; and the teams as an organiser names them.

#include "Cup.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

// The CSV header of a round or of the whole cup; a game's lane and time last.
constexpr std::array<std::string_view, 13> kCupCsvColumns{
    "tour",    "poule",   "partie",  "equipe_a", "club_a", "equipe_b", "club_b",
    "gagnant", "score_a", "score_b", "forfait",  "jeu",    "heure"};

// A drawn round's games, one per line, with their results so far; a round not drawn yet says
// so.
std::string roundTable(const Cup &cup, int round);
// The header, then one row per game (the barrage once both of its teams are known) and one per
// exempted team; fields split by `separator` (',' or ';').
std::string roundCsv(const Cup &cup, int round, char separator = ',');

// Every drawn round, then the final's teams once they are known: rows "finale", their order,
// "qualifiee", the team and its club.
std::string cupTable(const Cup &cup);
// The whole cup's rows as cupCsv writes them, cell by cell in kCupCsvColumns' order.
using CupRow = std::array<std::string, kCupCsvColumns.size()>;
std::vector<CupRow> cupRows(const Cup &cup);
std::string cupCsv(const Cup &cup, char separator = ',');
// A moment on the organiser's clock, to the minute.
struct LocalTime
{
    int year = 2000;
    int month = 1; // 1 for January
    int day = 1;
    int hour = 0;
    int minute = 0;
};

// "8 décembre 2026 à 14 h 05", "1er mai 2027 à 9 h 00".
std::string frenchDateTime(const LocalTime &moment);

// One page, no script and nothing from outside, readable on a phone: titled with the cup's
// name and the moment it was made (the caller's clock: the page says when its results stood),
// the round in play first under links to every round, then the others and the final.
std::string cupHtml(const Cup &cup, std::string_view cupName, const LocalTime &madeAt);
// The page's parts, for the pages that show them otherwise (served live): its style sheet;
// its body under the title (the links to every round, the round in play first, the others,
// the final); one round's section.
std::string_view cupHtmlStyle();
std::string cupHtmlBody(const Cup &cup);
std::string roundHtml(const Cup &cup, int round);
// The round a page opens on: the first drawn one with games still to play, else the last
// drawn; 0 before any draw.
int roundInPlay(const Cup &cup);
// Text inside HTML, as text and in an attribute's quotes alike.
std::string htmlEscaped(std::string_view text);

struct TeamReference
{
    std::optional<int> team; // the team's index
    std::string error;       // the French refusal when none
};

// A team by its name in the list, or "#N" for the list's N-th team (#1 the first), or by its
// name's identityKey ("tassin a" for "Tassin A") when no name is written so; a name wins over
// a number, a number over a key.
TeamReference resolveTeam(const std::vector<CupTeam> &teams, std::string_view reference);

// Of `among`, the teams whose name or club holds what the organiser typed, compared by their
// identityKey ("tass" finds "Tassin A"); all of them when nothing is typed. In `among`'s order.
std::vector<int> teamsMatching(const std::vector<CupTeam> &teams, const std::vector<int> &among,
                               std::string_view typed);

} // namespace velmorin
