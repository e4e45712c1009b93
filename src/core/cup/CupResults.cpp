// The cup's results: winners and forfeits recorded, a barrage settled by a forfeit, corrections.

#include "Cup.h"

#include "CupPrivate.h"

namespace velmorin {

using namespace cupprivate;

namespace {

bool scoreValid(const Score &score)
{
    return score.loser >= 0 && score.winner > score.loser && score.winner <= kMaxScore;
}

constexpr std::string_view kScoreRule = "Un score donne d'abord les points du gagnant, plus hauts "
                                        "que ceux du perdant, entre 0 et 999.";

} // namespace

std::optional<int> Cup::withdrawnLoser(const RoundState &state, int group, int game) const
{
    const auto &result =
        state.results[static_cast<std::size_t>(group - 1)][static_cast<std::size_t>(game - 1)];
    return result ? result->withdrawn : std::nullopt;
}

std::string Cup::settleBarrage(int round, int group)
{
    RoundState &state = m_rounds[static_cast<std::size_t>(round - 1)];
    const GameRef barrage{round, group, kBarrage};
    const auto sides = gameTeams(barrage);
    if (!sides || result(barrage))
        return {};
    const std::optional<int> first = withdrawnLoser(state, group, 1);
    const std::optional<int> second = withdrawnLoser(state, group, 2);
    if (first.has_value() == second.has_value())
        return {}; // both withdrew: the organiser decides
    const int withdrawn = first ? *first : *second;
    ResultRecord record{round, group, kBarrage, other(*sides, withdrawn), {}, {}, withdrawn};
    state.results[static_cast<std::size_t>(group - 1)][kBarrage - 1] = record;
    return " " + teamName(withdrawn) + " ayant déclaré forfait, " + teamName(record.winner) +
           " gagne le barrage de la poule " + number(group) + ".";
}

CupAnswer Cup::recordWinner(int round, int team, std::optional<Score> score)
{
    if (!isDrawn(round))
        return CupAnswer::refused("Le " + roundName(round) + " n'est pas tiré.");
    if (team < 0 || team >= static_cast<int>(m_teams.size()))
        return CupAnswer::refused("Il n'y a pas d'équipe n° " + number(team + 1LL) + ".");
    const std::optional<GameRef> game = pendingGameOf(round, team);
    if (!game) {
        const std::vector<int> playing = participants(round);
        if (round == 4 && contains(exemptedTeams(), team))
            return CupAnswer::refused(teamName(team) +
                                      " est exemptée du Tour 4 : elle n'y joue pas.");
        if (!std::binary_search(playing.begin(), playing.end(), team))
            return CupAnswer::refused(teamName(team) + " ne joue pas le " + roundName(round) + ".");
        return CupAnswer::refused(teamName(team) + " n'a pas de partie à jouer au " +
                                  roundName(round) + ".");
    }
    if (score && !scoreValid(*score))
        return CupAnswer::refused(std::string(kScoreRule));
    const auto sides = *gameTeams(*game);
    ResultRecord record{round, game->group, game->game, team, {}, {}, {}};
    if (score) {
        record.winnerScore = score->winner;
        record.loserScore = score->loser;
    }
    m_rounds[static_cast<std::size_t>(round - 1)].results[static_cast<std::size_t>(
        game->group - 1)][static_cast<std::size_t>(game->game - 1)] = record;
    return CupAnswer::ok(teamName(team) + " gagne contre " + teamName(other(sides, team)) + "." +
                         settleBarrage(round, game->group));
}

CupAnswer Cup::forfeit(int round, int withdrawnTeam)
{
    if (!isDrawn(round))
        return CupAnswer::refused("Le " + roundName(round) + " n'est pas tiré.");
    if (withdrawnTeam < 0 || withdrawnTeam >= static_cast<int>(m_teams.size()))
        return CupAnswer::refused("Il n'y a pas d'équipe n° " + number(withdrawnTeam + 1LL) + ".");
    const std::optional<GameRef> game = pendingGameOf(round, withdrawnTeam);
    if (!game)
        return CupAnswer::refused(teamName(withdrawnTeam) + " n'a pas de partie à jouer au " +
                                  roundName(round) + ".");
    const int winner = other(*gameTeams(*game), withdrawnTeam);
    m_rounds[static_cast<std::size_t>(round - 1)].results[static_cast<std::size_t>(
        game->group - 1)][static_cast<std::size_t>(game->game - 1)] =
        ResultRecord{round, game->group, game->game, winner, {}, {}, withdrawnTeam};
    return CupAnswer::ok(teamName(withdrawnTeam) + " déclare forfait : " + teamName(winner) +
                         " gagne la partie." + settleBarrage(round, game->group));
}

CupAnswer Cup::correct(const GameRef &ref, int winner, std::optional<Score> score, bool withdrawn)
{
    if (!isDrawn(ref.round))
        return CupAnswer::refused("Le " + roundName(ref.round) + " n'est pas tiré.");
    if (ref.round < drawnRounds())
        return CupAnswer::refused("Le " + roundName(ref.round + 1) +
                                  " est tiré : les résultats du " + roundName(ref.round) +
                                  " ne changent plus.");
    const auto sides = gameTeams(ref);
    const std::optional<ResultRecord> before = result(ref);
    if (!sides || !before)
        return CupAnswer::refused("Cette partie du " + roundName(ref.round) +
                                  " n'a pas de résultat à corriger.");
    if (winner != sides->first && winner != sides->second)
        return CupAnswer::refused("Cette partie se joue entre " + teamName(sides->first) + " et " +
                                  teamName(sides->second) + ".");
    if (withdrawn && score)
        return CupAnswer::refused("Une partie gagnée par forfait n'a pas de score.");
    if (score && !scoreValid(*score))
        return CupAnswer::refused(std::string(kScoreRule));
    RoundState &state = m_rounds[static_cast<std::size_t>(ref.round - 1)];
    auto &results = state.results[static_cast<std::size_t>(ref.group - 1)];
    if (ref.game == kBarrage) {
        const std::optional<int> first = withdrawnLoser(state, ref.group, 1);
        const std::optional<int> second = withdrawnLoser(state, ref.group, 2);
        if (first.has_value() != second.has_value())
            return CupAnswer::refused("Le barrage de la poule " + number(ref.group) +
                                      " suit le forfait de " + teamName(first ? *first : *second) +
                                      " : corrigez sa première partie.");
    }
    const int loser = other(*sides, winner);
    ResultRecord after{ref.round, ref.group, ref.game, winner, {}, {}, {}};
    if (score) {
        after.winnerScore = score->winner;
        after.loserScore = score->loser;
    }
    if (withdrawn)
        after.withdrawn = loser;
    results[static_cast<std::size_t>(ref.game - 1)] = after;

    std::string text =
        "Résultat corrigé : " + teamName(winner) + " gagne contre " + teamName(loser) + ".";
    if (ref.game != kBarrage && results[kBarrage - 1] &&
        (before->winner != winner || before->withdrawn != after.withdrawn)) {
        results[kBarrage - 1].reset();
        text += " Le barrage de la poule " + number(ref.group) + " est annulé.";
    }
    if (ref.game != kBarrage)
        text += settleBarrage(ref.round, ref.group);
    text += keepChoiceValid();
    return CupAnswer::ok(std::move(text));
}

} // namespace velmorin
