// A cup rebuilt from its stored rows: each draw and each result is checked as the operations
// would check it, then the whole must give back exactly the rows it came from. A damaged or
// forged file is refused, never trusted.

#include "Cup.h"

#include "CupPrivate.h"

#include <algorithm>
#include <tuple>

namespace velmorin {

namespace {

CupCreation refusedRecords(const std::string &detail)
{
    return {std::nullopt, "La coupe enregistrée est refusée : " + detail};
}

std::string where(int round, int group)
{
    return "Tour " + std::to_string(round) + ", poule " + std::to_string(group);
}

} // namespace

std::optional<std::string> Cup::checkDrawRecord(const DrawRecord &record) const
{
    const std::string round = "Tour " + std::to_string(record.round);
    if (record.attempt < 1)
        return "le tirage du " + round + " a un numéro impossible.";
    const std::vector<int> playing = participants(record.round);
    const std::size_t exempted = static_cast<std::size_t>(m_layout.exemptedAt(record.round));
    const std::size_t groupSize = static_cast<std::size_t>(m_layout.groupSize(record.round));
    if (record.exempted.size() != exempted ||
        record.groups.size() != (playing.size() - exempted) / groupSize)
        return "le tirage du " + round + " n'a pas le nombre de poules ou d'exemptées attendu.";
    std::vector<char> seen(m_teams.size(), 0);
    const auto takes = [&](int team) {
        if (!std::binary_search(playing.begin(), playing.end(), team) ||
            seen[static_cast<std::size_t>(team)])
            return false;
        seen[static_cast<std::size_t>(team)] = 1;
        return true;
    };
    for (const int team : record.exempted) {
        if (!takes(team))
            return "une exemptée du " + round + " ne joue pas ce tour ou revient deux fois.";
    }
    for (const auto &group : record.groups) {
        if (group.size() != groupSize)
            return "une poule du " + round + " n'a pas la bonne taille.";
        for (const int team : group) {
            if (!takes(team))
                return "une équipe du " + round + " ne joue pas ce tour ou y revient deux fois.";
        }
    }
    // A round drawn before clubs were compared by their keys keeps the meetings it was drawn
    // with: its clubs then differed byte for byte.
    if (record.meetings != clubMeetings(m_teams, record.groups) &&
        record.meetings != cupprivate::meetingsOf(record.groups, [this](int team) {
            return m_teams[static_cast<std::size_t>(team)].club;
        }))
        return "les rencontres de même club du " + round + " ne sont pas celles de ses poules.";
    return std::nullopt;
}

CupCreation Cup::restore(std::vector<CupTeam> teams, const CupLayout &layout, std::uint64_t seed,
                         const CupRecords &records)
{
    // A cup already played is held to the rules it was drawn under.
    const InputsRules rules = records.draws.empty() ? InputsRules::New : InputsRules::Played;
    if (std::string refusal = cupInputsRefusal(teams, layout, rules); !refusal.empty())
        return {std::nullopt, std::move(refusal)};
    CupCreation made{Cup(std::move(teams), layout, seed), {}};
    Cup &cup = *made.cup;

    CupRecords canonical = records;
    std::stable_sort(canonical.results.begin(), canonical.results.end(),
                     [](const ResultRecord &a, const ResultRecord &b) {
                         return std::tie(a.round, a.group, a.game) <
                                std::tie(b.round, b.group, b.game);
                     });
    std::stable_sort(
        canonical.withdrawals.begin(), canonical.withdrawals.end(),
        [](const WithdrawalRecord &a, const WithdrawalRecord &b) { return a.team < b.team; });
    auto next = canonical.results.begin();
    for (const DrawRecord &record : canonical.draws) {
        if (record.round != cup.drawnRounds() + 1)
            return refusedRecords("les tirages ne se suivent pas du Tour 1 au Tour 6.");
        if (auto refusal = cup.drawRefusal(record.round))
            return refusedRecords(*refusal);
        if (auto problem = cup.checkDrawRecord(record))
            return refusedRecords(*problem);
        cup.m_rounds.emplace_back(record, cup.m_teams.size());

        const std::vector<int> playing = cup.participants(record.round);
        for (const WithdrawalRecord &withdrawal : canonical.withdrawals) {
            if (withdrawal.round != record.round)
                continue;
            if (!std::binary_search(playing.begin(), playing.end(), withdrawal.team) ||
                cup.withdrawalRound(withdrawal.team))
                return refusedRecords("un forfait du Tour " + std::to_string(record.round) +
                                      " est celui d'une équipe qui ne joue pas ce tour.");
            cup.m_withdrawnAt[static_cast<std::size_t>(withdrawal.team)] = record.round;
        }
        for (; next != canonical.results.end() && next->round == record.round; ++next) {
            const ResultRecord &result = *next;
            const GameRef ref{result.round, result.group, result.game};
            const auto sides = cup.gameTeams(ref);
            if (!sides || (result.winner != sides->first && result.winner != sides->second) ||
                cup.result(ref))
                return refusedRecords("un résultat du " + where(ref.round, ref.group) +
                                      " ne désigne pas une partie à jouer ou son gagnant.");
            const int loser = result.winner == sides->first ? sides->second : sides->first;
            const bool scored = result.winnerScore && result.loserScore;
            if (result.winnerScore.has_value() != result.loserScore.has_value() ||
                (result.withdrawn &&
                 (*result.withdrawn != loser || scored || !cup.isWithdrawn(loser, ref.round))) ||
                (scored && !(*result.loserScore >= 0 && *result.winnerScore > *result.loserScore &&
                             *result.winnerScore <= kMaxScore)))
                return refusedRecords("un résultat du " + where(ref.round, ref.group) +
                                      " a un score ou un forfait impossible.");
            cup.resultSlot(ref) = result;
        }
    }
    if (next != canonical.results.end())
        return refusedRecords("un résultat appartient à un tour qui n'est pas tiré.");
    for (const WithdrawalRecord &withdrawal : canonical.withdrawals) {
        if (!cup.isDrawn(withdrawal.round))
            return refusedRecords("un forfait appartient à un tour qui n'est pas tiré.");
    }
    if (!canonical.chosenExempted.empty()) {
        const CupAnswer chosen = cup.setExempted(canonical.chosenExempted);
        if (!chosen.done)
            return refusedRecords(chosen.text);
    }
    if (auto problem = cup.checkDayRecords(canonical.day))
        return refusedRecords(*problem);
    cup.m_day = canonical.day;
    // The answers of a round not drawn whose teams changed since (another list, a result
    // corrected) go: the roll-call is made again for those teams.
    cup.pruneRollCalls(cup.drawnRounds() + 1);
    canonical.day.rollCalls = cup.m_day.rollCalls;
    cup.m_version = canonical.version;
    if (!(cup.records() == canonical))
        return refusedRecords("ses résultats ne suivent pas les règles de la coupe.");
    // A cup written before withdrawals were kept could leave a game between two withdrawn
    // teams open: it is settled now, as it would be today.
    if (cup.drawnRounds() > 0)
        cup.settleWithdrawals(cup.drawnRounds());
    return made;
}

} // namespace velmorin
