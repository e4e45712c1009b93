#include "CupPlayText.h"

#include "VisibleText.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace velmorin {

namespace {

const CupTeam &teamAt(const Cup &cup, int team)
{
    return cup.teams()[static_cast<std::size_t>(team)];
}

std::string quoted(const Cup &cup, int team)
{
    return quotedTeam(teamAt(cup, team));
}

std::string capitalized(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// "de la partie 1 …", "du barrage …".
std::string ofGame(const CupLayout &layout, const GameRef &game)
{
    const std::string label = gameLabel(layout, game);
    return label.rfind("le ", 0) == 0 ? "du " + label.substr(3) : "de " + label;
}

std::string scoreText(const ResultRecord &result)
{
    return std::to_string(*result.winnerScore) + "-" + std::to_string(*result.loserScore);
}

bool hasScore(const ResultRecord &result)
{
    return result.winnerScore && result.loserScore;
}

using GameKey = std::tuple<int, int, int>;

std::map<GameKey, ResultRecord> resultsByGame(const Cup &cup)
{
    std::map<GameKey, ResultRecord> results;
    for (const ResultRecord &result : cup.records().results)
        results.emplace(GameKey{result.round, result.group, result.game}, result);
    return results;
}

// What changes in the corrected game itself: its winner, its forfeit, its score.
std::string gameChange(const Cup &cup, const ResultRecord &was, const ResultRecord &will)
{
    std::string text;
    if (will.winner != was.winner)
        text += " " + quoted(cup, will.winner) + " la gagnerait à la place de " +
                quoted(cup, was.winner) + ".";
    if (will.withdrawn && will.withdrawn != was.withdrawn)
        text += " " + quoted(cup, *will.withdrawn) + " la perdrait par forfait.";
    if (hasScore(was) && !hasScore(will))
        text += " Son score " + scoreText(was) + " serait effacé.";
    else if (hasScore(was) && hasScore(will) && scoreText(was) != scoreText(will))
        text += " Son score serait " + scoreText(will) + " au lieu de " + scoreText(was) + ".";
    else if (!hasScore(was) && hasScore(will))
        text += " Son score serait " + scoreText(will) + ".";
    return text;
}

} // namespace

std::string countOf(long long count, std::string_view singular, std::string_view plural,
                    bool feminine)
{
    if (count == 0)
        return (feminine ? "aucune " : "aucun ") + std::string(singular);
    return std::to_string(count) + " " + std::string(count < 2 ? singular : plural);
}

std::string roundLabel(int round)
{
    return "Tour " + std::to_string(round);
}

std::string gameLabel(const CupLayout &layout, const GameRef &game)
{
    const std::string round = " du " + roundLabel(game.round);
    if (layout.groupSize(game.round) != 4)
        return "la partie n° " + std::to_string(game.group) + round;
    if (game.game == kBarrage)
        return "le barrage de la poule " + std::to_string(game.group) + round;
    return "la partie " + std::to_string(game.game) + " de la poule " + std::to_string(game.group) +
           round;
}

std::string quotedTeam(const CupTeam &team)
{
    return "« " + withVisibleControls(team.name) + " »";
}

std::string cupProgress(const Cup &cup, int round)
{
    if (!cup.isDrawn(round))
        return round == 1
                   ? "Tirez le Tour 1 pour commencer la coupe."
                   : roundLabel(round - 1) + " terminé — Tirez le " + roundLabel(round) + ".";
    if (cup.isComplete(round))
        return "Coupe terminée : les équipes de la finale sont connues.";
    const int entered = cup.resultCount(round);
    std::string text = roundLabel(round) + " : " + countOf(entered, "résultat", "résultats") +
                       " sur " + countOf(cup.gameCount(round), "partie", "parties", true);
    text += round < kCupRounds
                ? " — Tirage du " + roundLabel(round + 1) + " quand tous sont saisis."
                : std::string(" — La finale est connue quand tous sont saisis.");
    return text;
}

std::string meetingText(const Cup &cup, const Meeting &meeting)
{
    return "poule " + std::to_string(meeting.group) + " : " + teamAt(cup, meeting.teamA).name +
           " et " + teamAt(cup, meeting.teamB).name + " (" + teamAt(cup, meeting.teamA).club + ")";
}

std::string meetingsLine(const Cup &cup, int round, std::size_t shown)
{
    const std::vector<Meeting> meetings = cup.meetings(round);
    if (meetings.empty())
        return {};
    std::string text = meetings.size() == 1
                           ? "Rencontre de même club que le tirage n'a pas pu éviter : "
                           : "Rencontres de même club que le tirage n'a pas pu éviter : ";
    for (std::size_t k = 0; k < meetings.size() && k < shown; ++k)
        text += (k > 0 ? " ; " : "") + meetingText(cup, meetings[k]);
    if (meetings.size() > shown)
        text +=
            " ; et " + countOf(static_cast<long long>(meetings.size() - shown), "autre", "autres");
    return text + ".";
}

std::string exemptedLine(const Cup &cup)
{
    const int count = cup.layout().exempted;
    if (count == 0)
        return {};
    const std::vector<int> exempted = cup.exemptedTeams();
    std::string names;
    for (const int team : exempted)
        names += (names.empty() ? "" : ", ") + teamAt(cup, team).name;
    if (cup.isDrawn(4))
        return "Exemptées du Tour 4 : " + names + ".";
    if (cup.participants(4).empty())
        return "Le Tour 4 exempte " + countOf(count, "équipe", "équipes", true) +
               ", à choisir une fois le Tour 3 terminé.";
    return "Exemptées du Tour 4 : " + names + " — " +
           (count == 1 ? "cochez-en une autre avant le tirage pour la remplacer."
                       : "cochez-en d'autres avant le tirage pour les remplacer.");
}

std::string exemptedCountRefusal(const Cup &cup)
{
    return "Le Tour 4 exempte " + countOf(cup.layout().exempted, "équipe", "équipes", true) +
           " : cochez-en une autre à la place.";
}

std::string finalTeamsLine(const Cup &cup)
{
    const std::vector<int> teams = cup.finalTeams();
    if (teams.empty())
        return {};
    std::string text = "Équipes de la finale : ";
    for (std::size_t k = 0; k < teams.size(); ++k) {
        const CupTeam &team = teamAt(cup, teams[k]);
        text += (k > 0 ? ", " : "") + team.name + (team.club.empty() ? "" : " (" + team.club + ")");
    }
    return text + ".";
}

std::string cancelQuestion(const Cup &cup, int round)
{
    std::string text = "Annuler le tirage du " + roundLabel(round) + " ?";
    const int results = cup.resultCount(round);
    const int withdrawals = cup.declaredForfeits(round);
    if (results == 0)
        text += " Aucun résultat n'y est saisi.";
    else if (results == 1)
        text += " Son seul résultat serait effacé.";
    else
        text += " Ses " + std::to_string(results) + " résultats seraient effacés.";
    if (withdrawals == 1)
        text += " Le forfait déclaré serait oublié.";
    else if (withdrawals > 1)
        text += " Ses " + std::to_string(withdrawals) + " forfaits déclarés seraient oubliés.";
    return text;
}

std::string redrawQuestion(const Cup &cup, int round)
{
    return "Refaire le tirage du " + roundLabel(round) + " ? " +
           (cup.layout().groupSize(round) == 4 ? "Ses poules" : "Ses parties") +
           " seraient tirées de nouveau, et les feuilles déjà imprimées ne vaudraient plus.";
}

std::string correctionQuestion(const Cup &before, const Cup &after, const GameRef &game)
{
    const CupLayout &layout = before.layout();
    std::string text = "Corriger le résultat " + ofGame(layout, game) + " ?";
    const std::map<GameKey, ResultRecord> was = resultsByGame(before);
    const std::map<GameKey, ResultRecord> will = resultsByGame(after);
    const GameKey corrected{game.round, game.group, game.game};
    if (const auto a = was.find(corrected), b = will.find(corrected);
        a != was.end() && b != will.end())
        text += gameChange(before, a->second, b->second);
    for (const auto &[key, result] : was) {
        if (key == corrected)
            continue;
        const GameRef other{std::get<0>(key), std::get<1>(key), std::get<2>(key)};
        const auto now = will.find(key);
        if (now == will.end())
            text += " Le résultat " + ofGame(layout, other) + " serait effacé.";
        else if (!(now->second == result))
            text += " Le résultat " + ofGame(layout, other) + " changerait.";
    }
    for (const auto &[key, result] : will) {
        if (key != corrected && was.find(key) == was.end())
            text += " " +
                    capitalized(
                        gameLabel(layout, {std::get<0>(key), std::get<1>(key), std::get<2>(key)})) +
                    " serait gagnée par forfait par " + quoted(after, result.winner) + ".";
    }
    for (int team = 0; team < static_cast<int>(before.teams().size()); ++team) {
        if (before.withdrawalRound(team) && !after.withdrawalRound(team))
            text += " Le forfait de " + quoted(before, team) + " serait retiré.";
    }
    return text;
}

std::string sheetsSaved(int round, std::string_view path)
{
    return "Feuilles du " + roundLabel(round) + " enregistrées dans " + std::string(path) + ".";
}

std::string pageSaved(std::string_view path)
{
    return "Page des résultats enregistrée dans " + std::string(path) + ".";
}

} // namespace velmorin
