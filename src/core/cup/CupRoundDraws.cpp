// The cup's draws: a round drawn, drawn again or cancelled, and the Tour 4's exempted teams.

#include "Cup.h"

#include "CupDraw.h"
#include "CupPlayable.h"
#include "CupPrivate.h"

#include <algorithm>
#include <climits>

namespace velmorin {

using namespace cupprivate;

std::optional<std::string> Cup::drawRefusal(int round) const
{
    if (round < 1 || round > kCupRounds)
        return "Il n'y a pas de Tour " + number(round) + " : les tours vont de 1 à 6.";
    if (isDrawn(round))
        return "Le " + roundName(round) + " est déjà tiré.";
    if (round > drawnRounds() + 1)
        return "Le " + roundName(round) + " se tire après le " + roundName(round - 1) + ".";
    if (round > 1 && !isComplete(round - 1))
        return "Le " + roundName(round - 1) + " n'est pas terminé : il reste " +
               counted(gameCount(round - 1) - resultCount(round - 1), "partie") + " à jouer.";
    const Count size = static_cast<Count>(participants(round).size());
    if (size != m_layout.sizes[static_cast<std::size_t>(round - 1)])
        return "Le " + roundName(round) + " compte " + number(size) + " équipes au lieu des " +
               number(m_layout.sizes[static_cast<std::size_t>(round - 1)]) + " du plan.";
    if (!throughCount(m_layout, round, size))
        return unplayableRoundText(m_layout, round) + '.';
    return std::nullopt;
}

DrawRecord Cup::makeDraw(int round, int attempt, const std::vector<int> &exempted) const
{
    std::vector<int> players;
    for (const int team : participants(round)) {
        if (!contains(exempted, team))
            players.push_back(team);
    }
    DrawRecord record;
    record.round = round;
    record.attempt = attempt;
    record.exempted = exempted;
    record.groups = drawGroups(m_teams, std::move(players), m_layout.groupSize(round), round,
                               drawSeed(m_seed, round, attempt));
    record.meetings = clubMeetings(m_teams, record.groups);
    return record;
}

CupAnswer Cup::draw(int round)
{
    if (auto refusal = drawRefusal(round))
        return CupAnswer::refused(std::move(*refusal));
    RoundState state(makeDraw(round, 1, round == 4 ? exemptedTeams() : std::vector<int>{}),
                     m_teams.size());
    const std::size_t groups = state.draw.groups.size();
    const std::size_t meetings = state.draw.meetings.size();
    m_rounds.push_back(std::move(state));
    if (round == 4)
        m_chosenExempted.clear(); // the draw keeps them now
    withdrawAbsentees(round);
    if (groups == 0)
        return CupAnswer::ok("Le " + roundName(round) +
                             " ne compte aucune partie : il est terminé dès son tirage.");
    std::string text = "Le " + roundName(round) + " est tiré.";
    if (meetings > 0)
        text += " " + counted(static_cast<long long>(meetings), "rencontre") +
                " entre équipes d'un même club n'ont pu être évitées.";
    text += settleWithdrawals(round);
    return CupAnswer::ok(std::move(text));
}

CupAnswer Cup::redraw(int round)
{
    if (!isDrawn(round))
        return CupAnswer::refused("Le " + roundName(round) + " n'est pas tiré.");
    if (round != drawnRounds())
        return CupAnswer::refused("Le " + roundName(round + 1) + " est tiré : le " +
                                  roundName(round) + " ne se tire plus de nouveau.");
    // A forfeit settled at the draw is no result of the organiser's: the new draw settles its own.
    bool entered = false;
    for (const auto &games : m_rounds.back().results) {
        for (const auto &result : games)
            entered = entered || (result && !settledByDraw(*result));
    }
    if (entered)
        return CupAnswer::refused("Le " + roundName(round) +
                                  " a des résultats : annulez son tirage pour le refaire.");
    RoundState &state = m_rounds.back();
    if (state.draw.attempt == INT_MAX)
        return CupAnswer::refused("Le " + roundName(round) + " a été tiré trop de fois.");
    state =
        RoundState(makeDraw(round, state.draw.attempt + 1, state.draw.exempted), m_teams.size());
    dropMovedGames(round);
    return CupAnswer::ok("Le " + roundName(round) + " est tiré de nouveau (tirage n° " +
                         number(state.draw.attempt) + ")." + settleWithdrawals(round));
}

CupAnswer Cup::cancelDraw(int round)
{
    if (!isDrawn(round))
        return CupAnswer::refused("Le " + roundName(round) + " n'est pas tiré.");
    if (round != drawnRounds())
        return CupAnswer::refused("Seul le dernier tour tiré, le " + roundName(drawnRounds()) +
                                  ", peut être annulé.");
    const int discarded = resultCount(round);
    // The absent teams' forfeits go with the draw; their roll-call stays for the next one.
    const int withdrawals = declaredForfeits(round);
    for (int &at : m_withdrawnAt)
        at = at == round ? 0 : at;
    dropMovedGames(round);
    if (round == 4)
        m_chosenExempted = m_rounds.back().draw.exempted;
    m_rounds.pop_back();
    std::string text = "Le tirage du " + roundName(round) + " est annulé";
    text += discarded > 0 ? " ; " + counted(discarded, "résultat") +
                                (discarded > 1 ? " sont effacés" : " est effacé")
                          : "";
    text += withdrawals > 0
                ? " ; " + counted(withdrawals, "forfait") +
                      (withdrawals > 1 ? " déclarés sont oubliés." : " déclaré est oublié.")
                : ".";

    text += keepChoiceValid();
    return CupAnswer::ok(std::move(text));
}

std::string Cup::keepChoiceValid()
{
    if (m_chosenExempted.empty() || isDrawn(4))
        return {};
    const std::vector<int> playing = participants(4);
    for (const int team : m_chosenExempted) {
        if (!std::binary_search(playing.begin(), playing.end(), team)) {
            m_chosenExempted.clear();
            return " Les exemptées choisies pour le Tour 4 sont à choisir de nouveau.";
        }
    }
    return {};
}

CupAnswer Cup::setExempted(const std::vector<int> &teams)
{
    const int wanted = m_layout.exempted;
    if (wanted == 0)
        return CupAnswer::refused("Le plan n'exempte aucune équipe du Tour 4.");
    if (isDrawn(4))
        return CupAnswer::refused("Le Tour 4 est tiré : ses exemptées ne changent plus.");
    const std::vector<int> playing = participants(4);
    if (playing.empty())
        return CupAnswer::refused("Les exemptées du Tour 4 se choisissent une fois le Tour 3 "
                                  "terminé.");
    if (static_cast<int>(teams.size()) != wanted)
        return CupAnswer::refused("Le Tour 4 exempte " + counted(wanted, "équipe") +
                                  " : choisissez-en " + number(wanted) + ".");
    for (std::size_t k = 0; k < teams.size(); ++k) {
        if (!std::binary_search(playing.begin(), playing.end(), teams[k]))
            return CupAnswer::refused(teams[k] >= 0 && teams[k] < static_cast<int>(m_teams.size())
                                          ? teamName(teams[k]) + " ne joue pas le Tour 4."
                                          : "Il n'y a pas d'équipe n° " + number(teams[k] + 1LL) +
                                                ".");
        if (std::find(teams.begin(), teams.begin() + static_cast<std::ptrdiff_t>(k), teams[k]) !=
            teams.begin() + static_cast<std::ptrdiff_t>(k))
            return CupAnswer::refused(teamName(teams[k]) + " est choisie deux fois.");
    }
    std::string names = teamName(teams[0]);
    if (teams.size() > 1)
        names += " et " + teamName(teams[1]);
    std::string text =
        (teams.size() > 1 ? "Exemptées du Tour 4 : " : "Exemptée du Tour 4 : ") + names;
    if (teams == m_chosenExempted)
        return CupAnswer::unchanged(text + " : rien ne change.");
    m_chosenExempted = teams;
    return CupAnswer::ok(text + ".");
}

} // namespace velmorin
