// The cup's results: games won, forfeits declared and the games they settle, corrections, and
// the team that goes through a game between two withdrawn teams.

#include "Cup.h"

#include "CupCommand.h"
#include "CupPrivate.h"

#include <tuple>

namespace velmorin {

using namespace cupprivate;

namespace {

// "« A » gagne la partie 1 de la poule 2 du Tour 1 contre « B » (13-7)."
std::string resultSentence(const std::string &game, const std::string &winner,
                           const std::string &loser, const std::optional<Score> &score,
                           bool forfeit)
{
    if (forfeit)
        return loser + " déclare forfait : " + winner + " gagne " + game + ".";
    return winner + " gagne " + game + " contre " + loser +
           (score ? " (" + number(score->winner) + "-" + number(score->loser) + ")" : "") + ".";
}

} // namespace

std::optional<ResultRecord> &Cup::resultSlot(const GameRef &game)
{
    return m_rounds[static_cast<std::size_t>(game.round - 1)]
        .results[static_cast<std::size_t>(game.group - 1)][static_cast<std::size_t>(game.game - 1)];
}

std::string Cup::gameName(const GameRef &game) const
{
    return gameLabel(m_layout, game);
}

std::optional<std::string> Cup::gameRefusal(const GameRef &game, bool decided) const
{
    if (decided && isDrawn(game.round) && game.round < drawnRounds())
        return "Le " + roundName(game.round + 1) + " est tiré : les résultats du " +
               roundName(game.round) + " ne changent plus.";
    if (!isDrawn(game.round))
        return "Le " + roundName(game.round) + " n'est pas tiré.";
    const DrawRecord &drawn = *drawnRound(game.round);
    if (game.group < 1 || game.group > static_cast<int>(drawn.groups.size()) || game.game < 1 ||
        game.game > m_layout.gamesPerGroup(game.round))
        return "Le " + roundName(game.round) + " n'a pas de partie " + number(game.game) +
               " en poule " + number(game.group) + ".";
    if (!gameTeams(game))
        return "Le barrage de la poule " + number(game.group) +
               " attend les résultats des parties 1 et 2.";
    return std::nullopt;
}

std::string Cup::playedBetween(const GameRef &game, const std::pair<int, int> &sides) const
{
    return capitalized(gameName(game)) + " se joue entre " + teamName(sides.first) + " et " +
           teamName(sides.second) + ".";
}

std::string Cup::discardBarrage(const GameRef &game)
{
    if (game.game == kBarrage || m_layout.groupSize(game.round) != 4)
        return {};
    std::optional<ResultRecord> &barrage = resultSlot({game.round, game.group, kBarrage});
    if (!barrage)
        return {};
    barrage.reset();
    return " Le résultat du barrage de la poule " + number(game.group) + " est effacé.";
}

std::optional<std::string> Cup::teamRefusal(int round, int team) const
{
    if (!isDrawn(round))
        return "Le " + roundName(round) + " n'est pas tiré.";
    if (team < 0 || team >= static_cast<int>(m_teams.size()))
        return "Il n'y a pas d'équipe n° " + number(team + 1LL) + ".";
    return std::nullopt;
}

GameChoice Cup::teamGame(int round, int team, std::optional<int> game, TeamGameUse use) const
{
    if (auto refusal = teamRefusal(round, team))
        return {std::nullopt, std::move(*refusal)};
    const int group =
        m_rounds[static_cast<std::size_t>(round - 1)].groupOf[static_cast<std::size_t>(team)];
    if (group < 0) {
        if (round == 4 && contains(exemptedTeams(), team))
            return {std::nullopt, teamName(team) + " est exemptée du Tour 4 : elle n'y joue pas."};
        return {std::nullopt, teamName(team) + " ne joue pas le " + roundName(round) + "."};
    }
    if (game) {
        const GameRef ref{round, group + 1, *game};
        if (auto refusal = gameRefusal(ref))
            return {std::nullopt, std::move(*refusal)};
        const auto sides = *gameTeams(ref);
        if (sides.first != team && sides.second != team)
            return {std::nullopt, teamName(team) + " ne joue pas " + gameName(ref) + "."};
        return {ref, {}};
    }
    if (use == TeamGameUse::Result) {
        if (const auto pending = pendingGameOf(round, team))
            return {pending, {}};
        return {std::nullopt,
                teamName(team) + " n'a pas de partie à jouer au " + roundName(round) + "."};
    }
    std::optional<GameRef> matching;
    std::optional<GameRef> last;
    for (int g = 1; g <= m_layout.gamesPerGroup(round); ++g) {
        const GameRef ref{round, group + 1, g};
        const auto sides = gameTeams(ref);
        const auto decided = result(ref);
        if (!sides || !decided || (sides->first != team && sides->second != team))
            continue;
        last = ref;
        const bool won = decided->winner == team;
        if ((use == TeamGameUse::CorrectAsWinner && won) ||
            (use == TeamGameUse::CorrectAsWithdrawn && !won) ||
            (use == TeamGameUse::Qualification && isWithdrawn(sides->first, round) &&
             isWithdrawn(sides->second, round)))
            matching = ref;
    }
    if (use == TeamGameUse::Qualification && !matching)
        return {std::nullopt, teamName(team) + " n'a joué au " + roundName(round) +
                                  " aucune partie entre deux équipes forfait."};
    if (!matching)
        matching = last;
    if (!matching)
        return {std::nullopt,
                teamName(team) + " n'a aucun résultat à corriger au " + roundName(round) + "."};
    return {matching, {}};
}

int Cup::betterRanked(int round, int a, int b) const
{
    const RoundState &state = m_rounds[static_cast<std::size_t>(round - 1)];
    const auto rank = [&](int team) {
        int points = 0;
        for (const auto &games : state.results) {
            for (const auto &result : games) {
                if (!result || !result->winnerScore)
                    continue;
                const auto sides = gameTeams({round, result->group, result->game});
                if (result->winner == team)
                    points += *result->winnerScore;
                else if (sides && (sides->first == team || sides->second == team))
                    points += *result->loserScore;
            }
        }
        const int group = state.groupOf[static_cast<std::size_t>(team)];
        const auto &places = state.draw.groups[static_cast<std::size_t>(group)];
        const auto place = std::find(places.begin(), places.end(), team) - places.begin();
        // Lower is better: the level, then the most points, then the first drawn.
        return std::make_tuple(m_teams[static_cast<std::size_t>(team)].strength, -points, group,
                               place);
    };
    return rank(a) <= rank(b) ? a : b;
}

std::string Cup::settleWithdrawals(int round)
{
    std::string text;
    const DrawRecord &drawn = *drawnRound(round);
    for (int group = 1; group <= static_cast<int>(drawn.groups.size()); ++group) {
        for (int game = 1; game <= m_layout.gamesPerGroup(round); ++game) {
            const GameRef ref{round, group, game};
            const auto sides = gameTeams(ref);
            if (!sides || result(ref))
                continue;
            const bool first = isWithdrawn(sides->first, round);
            const bool second = isWithdrawn(sides->second, round);
            if (!first && !second)
                continue;
            int winner = first ? sides->second : sides->first;
            if (first && second) {
                winner = betterRanked(round, sides->first, sides->second);
                text += " " + teamName(sides->first) + " et " + teamName(sides->second) +
                        " ayant toutes deux déclaré forfait, " + teamName(winner) +
                        ", la mieux classée, gagne " + gameName(ref) + ".";
            } else {
                text += " " + teamName(other(*sides, winner)) + " ayant déclaré forfait, " +
                        teamName(winner) + " gagne " + gameName(ref) + ".";
            }
            resultSlot(ref) =
                ResultRecord{round, group, game, winner, {}, {}, other(*sides, winner)};
        }
    }
    return text;
}

CupAnswer Cup::recordResult(const ResultCommand &command)
{
    const GameRef &ref = command.game;
    if (auto refusal = gameRefusal(ref))
        return CupAnswer::refused(std::move(*refusal));
    const auto sides = *gameTeams(ref);
    if (command.winner != sides.first && command.winner != sides.second)
        return CupAnswer::refused(playedBetween(ref, sides));
    if (result(ref))
        return CupAnswer::refused(capitalized(gameName(ref)) +
                                  " a déjà son résultat : corrigez-le s'il est faux.");
    if (command.withdrawal && command.score)
        return CupAnswer::refused("Une partie gagnée par forfait n'a pas de score.");
    if (command.score && !scoreValid(*command.score))
        return CupAnswer::refused(std::string(kScoreRule));
    const int loser = other(sides, command.winner);
    if (command.withdrawal)
        return withdraw(ref.round, loser);
    ResultRecord record{ref.round, ref.group, ref.game, command.winner, {}, {}, {}};
    if (command.score) {
        record.winnerScore = command.score->winner;
        record.loserScore = command.score->loser;
    }
    resultSlot(ref) = record;
    return CupAnswer::ok(resultSentence(gameName(ref), teamName(command.winner), teamName(loser),
                                        command.score, false) +
                         settleWithdrawals(ref.round));
}

CupAnswer Cup::withdraw(int round, int team)
{
    if (auto refusal = teamRefusal(round, team))
        return CupAnswer::refused(std::move(*refusal));
    if (round != drawnRounds())
        return CupAnswer::refused("Le " + roundName(drawnRounds()) +
                                  " est tiré : un forfait se déclare à ce tour-là.");
    const std::vector<int> playing = participants(round);
    if (!std::binary_search(playing.begin(), playing.end(), team))
        return CupAnswer::refused(teamName(team) + " ne joue pas le " + roundName(round) + ".");
    if (const auto at = withdrawalRound(team))
        return CupAnswer::refused(teamName(team) + " a déjà déclaré forfait au " + roundName(*at) +
                                  ".");
    const int group =
        m_rounds[static_cast<std::size_t>(round - 1)].groupOf[static_cast<std::size_t>(team)];
    if (group >= 0) {
        // Out of the cup once it lost its last chance: the game of two, or the barrage.
        const GameRef last{round, group + 1, m_layout.gamesPerGroup(round)};
        const auto decided = result(last);
        const auto sides = gameTeams(last);
        if (decided && sides && (sides->first == team || sides->second == team) &&
            decided->winner != team)
            return CupAnswer::refused(teamName(team) + " est éliminée du " + roundName(round) +
                                      " : son forfait ne change rien.");
    }
    m_withdrawnAt[static_cast<std::size_t>(team)] = round;
    std::string settled = settleWithdrawals(round);
    if (settled.empty())
        settled = " Sa prochaine partie sera perdue par forfait dès que son adversaire sera "
                  "connu.";
    return CupAnswer::ok(teamName(team) + " déclare forfait au " + roundName(round) +
                         " pour la suite de la coupe." + settled);
}

CupAnswer Cup::correct(const CorrectionCommand &command)
{
    const GameRef &ref = command.game;
    if (auto refusal = gameRefusal(ref, true))
        return CupAnswer::refused(std::move(*refusal));
    const auto sides = *gameTeams(ref);
    const std::optional<ResultRecord> before = result(ref);
    if (!before)
        return CupAnswer::refused(capitalized(gameName(ref)) + " n'a pas de résultat à corriger.");
    const int winner = command.winner;
    if (winner != sides.first && winner != sides.second)
        return CupAnswer::refused(playedBetween(ref, sides));
    if (command.withdrawal && command.score)
        return CupAnswer::refused("Une partie gagnée par forfait n'a pas de score.");
    if (command.score && !scoreValid(*command.score))
        return CupAnswer::refused(std::string(kScoreRule));
    const int loser = other(sides, winner);
    ResultRecord after{ref.round, ref.group, ref.game, winner, {}, {}, {}};
    if (command.score) {
        after.winnerScore = command.score->winner;
        after.loserScore = command.score->loser;
    }
    if (command.withdrawal)
        after.withdrawn = loser;
    if (after == *before)
        return CupAnswer::unchanged("Le résultat de " + gameName(ref) +
                                    " est déjà celui-là : rien ne change.");
    if (isWithdrawn(sides.first, ref.round) && isWithdrawn(sides.second, ref.round))
        return CupAnswer::refused(capitalized(gameName(ref)) +
                                  " oppose deux équipes qui ont "
                                  "déclaré forfait : nommez celle qui passe.");

    // The forfeit this result held is taken back when it was the team's first in the round:
    // it did not withdraw after all, and the forfeits that followed from it go too.
    std::optional<int> takenBack;
    if (before->withdrawn && after.withdrawn != before->withdrawn) {
        const int was = *before->withdrawn;
        if (*withdrawalRound(was) < ref.round)
            return CupAnswer::refused(teamName(was) + " a déclaré forfait au " +
                                      roundName(*withdrawalRound(was)) +
                                      " : ses parties suivantes sont perdues par forfait.");
        bool lostBefore = false;
        for (int g = 1; g < ref.game; ++g) {
            const auto earlier = result({ref.round, ref.group, g});
            lostBefore = lostBefore || (earlier && earlier->withdrawn == was);
        }
        if (!lostBefore)
            takenBack = was;
    }
    if (isWithdrawn(winner, ref.round) && winner != before->winner && takenBack != winner)
        return CupAnswer::refused(teamName(winner) + " a déclaré forfait : elle ne gagne pas " +
                                  gameName(ref) + ".");
    std::string text;
    if (takenBack) {
        m_withdrawnAt[static_cast<std::size_t>(*takenBack)] = 0;
        text += " Le forfait de " + teamName(*takenBack) + " est retiré.";
        for (int g = ref.game + 1; g <= m_layout.gamesPerGroup(ref.round); ++g) {
            std::optional<ResultRecord> &later = resultSlot({ref.round, ref.group, g});
            if (later && later->withdrawn == *takenBack) {
                later.reset();
                text += " Le résultat " +
                        std::string(g == kBarrage ? "du barrage" : "de la partie 2") +
                        " de la poule " + number(ref.group) + " est effacé.";
            }
        }
    }
    if (after.withdrawn && !withdrawalRound(loser))
        m_withdrawnAt[static_cast<std::size_t>(loser)] = ref.round;
    resultSlot(ref) = after;
    if (before->winner != winner)
        text += discardBarrage(ref);
    text += settleWithdrawals(ref.round);
    text += keepChoiceValid();
    return CupAnswer::ok("Résultat corrigé : " +
                         resultSentence(gameName(ref), teamName(winner), teamName(loser),
                                        command.score, command.withdrawal) +
                         text);
}

CupAnswer Cup::qualify(const QualificationCommand &command)
{
    const GameRef &ref = command.game;
    if (auto refusal = gameRefusal(ref, true))
        return CupAnswer::refused(std::move(*refusal));
    const auto sides = *gameTeams(ref);
    const std::optional<ResultRecord> before = result(ref);
    if (!before || !isWithdrawn(sides.first, ref.round) || !isWithdrawn(sides.second, ref.round))
        return CupAnswer::refused(capitalized(gameName(ref)) +
                                  " n'oppose pas deux équipes qui ont déclaré forfait.");
    if (command.team != sides.first && command.team != sides.second)
        return CupAnswer::refused(playedBetween(ref, sides));
    if (before->winner == command.team)
        return CupAnswer::unchanged(teamName(command.team) + " gagne déjà " + gameName(ref) +
                                    " : rien ne change.");
    const int loser = other(sides, command.team);
    resultSlot(ref) = ResultRecord{ref.round, ref.group, ref.game, command.team, {}, {}, loser};
    std::string text = teamName(command.team) + " gagne " + gameName(ref) + " à la place de " +
                       teamName(loser) + ", les deux ayant déclaré forfait.";
    text += discardBarrage(ref);
    text += settleWithdrawals(ref.round);
    text += keepChoiceValid();
    return CupAnswer::ok(std::move(text));
}

} // namespace velmorin
