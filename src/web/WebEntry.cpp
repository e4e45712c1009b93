#include "WebEntry.h"

#include <cstdint>

namespace velmorin::web {

std::string groupState(const Cup &cup, int round, int group)
{
    std::string text;
    for (int game = 1; game <= kBarrage; ++game) {
        const GameRef ref{round, group, game};
        if (const auto sides = cup.gameTeams(ref))
            text += std::to_string(sides->first) + ',' + std::to_string(sides->second);
        if (const auto result = cup.result(ref))
            text += ':' + std::to_string(result->winner) + ',' +
                    std::to_string(result->winnerScore.value_or(-1)) + ',' +
                    std::to_string(result->loserScore.value_or(-1)) + ',' +
                    std::to_string(result->withdrawn.value_or(-1));
        text += ';';
    }
    // FNV-1a: a short, stable fingerprint for the page's hidden field, not a secret.
    std::uint64_t hash = 1469598103934665603ULL;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int k = 15; k >= 0; --k, hash >>= 4)
        out[static_cast<std::size_t>(k)] = kDigits[hash & 15];
    return out;
}

std::vector<PendingGame> groupPendingGames(const Cup &cup, int round, int group)
{
    std::vector<PendingGame> games;
    for (const PendingGame &game : cup.pendingGames(round)) {
        if (game.game.group == group)
            games.push_back(game);
    }
    return games;
}

EntryCheck checkEntry(const Cup &cup, int round, int group, const EntryForm &form)
{
    const auto refused = [](int status, std::string sentence) {
        return EntryCheck{std::nullopt, status, std::move(sentence)};
    };
    if (form.round != round || form.group != group)
        return refused(403, "Ce jeton ne permet de saisir que les résultats de la poule " +
                                std::to_string(group) + " du tour " + std::to_string(round) +
                                ".");
    if (form.version != cup.version() && form.state != groupState(cup, round, group))
        return refused(409, "La poule a changé depuis l'affichage de la page : rien n'est "
                            "enregistré ; vérifiez ses parties ci-dessous et saisissez de "
                            "nouveau.");
    const GameRef game{form.round, form.group, form.game};
    const auto sides = cup.gameTeams(game);
    if (!sides)
        return refused(409, "Cette partie n'est pas encore connue : rien n'est enregistré.");
    if (form.winner != sides->first && form.winner != sides->second)
        return refused(422, "Cette équipe ne joue pas cette partie : rien n'est enregistré.");
    std::optional<Score> score;
    if (form.score.find_first_not_of(' ') != std::string::npos) {
        const ScoreReading reading = readScore(form.score);
        if (!reading.score)
            return refused(422, reading.refusal);
        score = reading.score;
    }
    return {CupCommand(ResultCommand{game, form.winner, score, false}, cup.version()), 200, {}};
}

} // namespace velmorin::web
