#include "Cup.h"

#include "CupDraw.h"
#include "Plan.h"
#include "TeamAssignment.h"
#include "VisibleText.h"

#include <algorithm>
#include <climits>
#include <tuple>

namespace velmorin {

namespace {

std::string number(long long value)
{
    return std::to_string(value);
}

std::string roundName(int round)
{
    return "Tour " + number(round);
}

// "3 résultats", "1 résultat".
std::string counted(long long count, std::string_view noun)
{
    return number(count) + " " + std::string(noun) + (count > 1 ? "s" : "");
}

// The teams that go through a round of `size` teams, when its games come out whole.
std::optional<Count> throughCount(const CupLayout &layout, int round, Count size)
{
    const Count exempted = layout.exemptedAt(round);
    const Count groupSize = layout.groupSize(round);
    const Count playing = size - exempted;
    if (playing < 0 || playing % groupSize != 0)
        return std::nullopt;
    return playing / groupSize * (groupSize == 4 ? 3 : 1) + exempted;
}

bool scoreValid(const Score &score)
{
    return score.loser >= 0 && score.winner > score.loser && score.winner <= kMaxScore;
}

constexpr std::string_view kScoreRule = "Un score donne d'abord les points du gagnant, plus hauts "
                                        "que ceux du perdant, entre 0 et 999.";

int other(const std::pair<int, int> &sides, int team)
{
    return sides.first == team ? sides.second : sides.first;
}

bool contains(const std::vector<int> &teams, int team)
{
    return std::find(teams.begin(), teams.end(), team) != teams.end();
}

} // namespace

Ratio CupLayout::ratio(int round) const
{
    if (round >= 4 && round <= kCupRounds)
        return ratios[static_cast<std::size_t>(round - 4)];
    return Ratio::ThreeQuarters;
}

CupLayout layoutFromPlan(const Plan &plan)
{
    CupLayout layout;
    for (std::size_t r = 0; r < layout.sizes.size(); ++r)
        layout.sizes[r] = plan.rounds[r].playing;
    layout.ratios = {plan.problem.round4, plan.problem.quarterFinal, plan.problem.semiFinal};
    layout.exempted = static_cast<int>(plan.exempted());
    return layout;
}

std::vector<CupTeam> cupTeams(const TeamList &list, const Assignment &assignment)
{
    std::vector<CupTeam> teams(list.teams.size());
    for (std::size_t i = 0; i < teams.size(); ++i) {
        teams[i].name = list.teams[i].name;
        teams[i].club = list.teams[i].club;
        if (i < assignment.roundOfTeam.size())
            teams[i].entryRound = assignment.roundOfTeam[i];
    }
    for (std::size_t position = 0; position < assignment.ranking.size(); ++position) {
        if (assignment.ranking[position] < teams.size())
            teams[assignment.ranking[position]].strength = static_cast<int>(position);
    }
    return teams;
}

std::string cupInputsRefusal(const std::vector<CupTeam> &teams, const CupLayout &layout)
{
    if (teams.size() > static_cast<std::size_t>(INT_MAX / 4))
        return "La liste compte trop d'équipes pour une coupe.";
    std::array<Count, kCupRounds + 1> entering{}; // by entry round
    for (std::size_t i = 0; i < teams.size(); ++i) {
        if (teams[i].name.empty())
            return "L'équipe n° " + number(static_cast<long long>(i + 1)) +
                   " de la liste n'a pas de nom.";
        if (teams[i].entryRound < 1 || teams[i].entryRound > kEntryRounds)
            return "L'équipe « " + withVisibleControls(teams[i].name) +
                   " » n'entre à aucun des tours 1 à 4.";
        ++entering[static_cast<std::size_t>(teams[i].entryRound)];
    }
    std::vector<std::size_t> byName(teams.size());
    for (std::size_t i = 0; i < byName.size(); ++i)
        byName[i] = i;
    std::sort(byName.begin(), byName.end(), [&teams](std::size_t a, std::size_t b) {
        return std::tie(teams[a].name, a) < std::tie(teams[b].name, b);
    });
    for (std::size_t k = 1; k < byName.size(); ++k) {
        if (teams[byName[k]].name == teams[byName[k - 1]].name)
            return "Les équipes n° " + number(static_cast<long long>(byName[k - 1] + 1)) +
                   " et n° " + number(static_cast<long long>(byName[k] + 1)) +
                   " portent le même nom, « " + withVisibleControls(teams[byName[k]].name) +
                   " » : chaque équipe doit avoir le sien.";
    }
    if (layout.exempted < 0 || layout.exempted > 2)
        return "Le Tour 4 exempte 0, 1 ou 2 équipes, pas " + number(layout.exempted) + ".";
    for (int round = 1; round <= kCupRounds; ++round) {
        const Count size = layout.sizes[static_cast<std::size_t>(round - 1)];
        if (size < layout.exemptedAt(round) || size > static_cast<Count>(teams.size()))
            return "Le plan donne " + number(size) + " équipes au " + roundName(round) +
                   " : ce nombre est impossible.";
    }
    if (layout.sizes[0] != entering[1])
        return "Le plan prévoit " + number(layout.sizes[0]) + " équipes au Tour 1 ; la liste en " +
               "fait entrer " + number(entering[1]) + ".";
    for (int round = 2; round <= kCupRounds; ++round) {
        const std::size_t r = static_cast<std::size_t>(round - 1);
        const std::optional<Count> through = throughCount(layout, round - 1, layout.sizes[r - 1]);
        if (!through)
            break; // the draw of the round before refuses it, and no team gets further
        if (layout.sizes[r] != *through + entering[r + 1])
            return "Le plan prévoit " + number(layout.sizes[r]) + " équipes au " +
                   roundName(round) + " ; la liste en donne " + number(*through + entering[r + 1]) +
                   " (" + number(*through) + " qualifiées et " + number(entering[r + 1]) +
                   " entrantes).";
    }
    return {};
}

std::uint64_t drawSeed(std::uint64_t cupSeed, int round, int attempt)
{
    SeededDraw mix(cupSeed);
    std::uint64_t state = mix.next();
    state ^= (static_cast<std::uint64_t>(static_cast<std::uint32_t>(round)) << 40) ^
             static_cast<std::uint64_t>(static_cast<std::uint32_t>(attempt));
    SeededDraw again(state);
    return again.next();
}

std::vector<Meeting> clubMeetings(const std::vector<CupTeam> &teams,
                                  const std::vector<std::vector<int>> &groups)
{
    std::vector<Meeting> meetings;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::vector<int> &group = groups[g];
        for (std::size_t i = 0; i < group.size(); ++i) {
            for (std::size_t j = i + 1; j < group.size(); ++j) {
                const std::string &club = teams[static_cast<std::size_t>(group[i])].club;
                if (!club.empty() && club == teams[static_cast<std::size_t>(group[j])].club)
                    meetings.push_back({static_cast<int>(g + 1), std::min(group[i], group[j]),
                                        std::max(group[i], group[j])});
            }
        }
    }
    std::sort(meetings.begin(), meetings.end(), [](const Meeting &a, const Meeting &b) {
        return std::tie(a.group, a.teamA, a.teamB) < std::tie(b.group, b.teamA, b.teamB);
    });
    return meetings;
}

std::string_view roundTitle(int round)
{
    static constexpr std::array<std::string_view, kCupRounds + 1> kTitles{"Tour 1",
                                                                          "Tour 2",
                                                                          "Tour 3",
                                                                          "Tour 4 (1/8 Finale)",
                                                                          "1/4 Finale (Tour 5)",
                                                                          "1/2 Finale (Tour 6)",
                                                                          "Finale"};
    return round >= 1 && round <= kCupRounds + 1 ? kTitles[static_cast<std::size_t>(round - 1)]
                                                 : std::string_view("Tour inconnu");
}

Cup::Cup(std::vector<CupTeam> teams, const CupLayout &layout, std::uint64_t seed)
    : m_teams(std::move(teams)), m_layout(layout), m_seed(seed)
{}

CupCreation Cup::create(std::vector<CupTeam> teams, const CupLayout &layout, std::uint64_t seed)
{
    std::string refusal = cupInputsRefusal(teams, layout);
    if (!refusal.empty())
        return {std::nullopt, std::move(refusal)};
    return {Cup(std::move(teams), layout, seed), {}};
}

std::string_view Cup::frozenSentence()
{
    return "Le Tour 1 est tiré : les équipes, leurs niveaux, la liste, le plan, ses rapports et "
           "la graine du tirage ne changent plus tant que ce tirage n'est pas annulé.";
}

CupAnswer Cup::changeInputs(std::vector<CupTeam> teams, const CupLayout &layout, std::uint64_t seed)
{
    if (isFrozen())
        return CupAnswer::refused(std::string(frozenSentence()));
    std::string refusal = cupInputsRefusal(teams, layout);
    if (!refusal.empty())
        return CupAnswer::refused(std::move(refusal));
    m_teams = std::move(teams);
    m_layout = layout;
    m_seed = seed;
    m_chosenExempted.clear();
    return CupAnswer::ok();
}

std::string Cup::teamName(int team) const
{
    return "« " + withVisibleControls(m_teams[static_cast<std::size_t>(team)].name) + " »";
}

const DrawRecord *Cup::drawnRound(int round) const
{
    return isDrawn(round) ? &m_rounds[static_cast<std::size_t>(round - 1)].draw : nullptr;
}

int Cup::resultCount(int round) const
{
    int count = 0;
    for (const auto &games : m_rounds[static_cast<std::size_t>(round - 1)].results) {
        for (const auto &result : games)
            count += result.has_value();
    }
    return count;
}

bool Cup::isComplete(int round) const
{
    if (!isDrawn(round))
        return false;
    const int games = m_layout.groupSize(round) == 4 ? 3 : 1;
    const auto &groups = m_rounds[static_cast<std::size_t>(round - 1)].draw.groups;
    return resultCount(round) == games * static_cast<int>(groups.size());
}

std::vector<int> Cup::participants(int round) const
{
    std::vector<int> teams;
    if (const DrawRecord *drawn = drawnRound(round)) {
        teams = drawn->exempted;
        for (const auto &group : drawn->groups)
            teams.insert(teams.end(), group.begin(), group.end());
    } else if (round >= 1 && round <= kCupRounds && round == drawnRounds() + 1 &&
               (round == 1 || isComplete(round - 1))) {
        if (round > 1)
            teams = qualified(round - 1);
        for (std::size_t t = 0; t < m_teams.size(); ++t) {
            if (m_teams[t].entryRound == round)
                teams.push_back(static_cast<int>(t));
        }
    }
    std::sort(teams.begin(), teams.end());
    return teams;
}

std::optional<std::pair<int, int>> Cup::gameTeams(const GameRef &ref) const
{
    const DrawRecord *drawn = drawnRound(ref.round);
    if (!drawn || ref.group < 1 || ref.group > static_cast<int>(drawn->groups.size()))
        return std::nullopt;
    const auto &group = drawn->groups[static_cast<std::size_t>(ref.group - 1)];
    const bool inGroups = group.size() == 4;
    if (ref.game < 1 || ref.game > (inGroups ? kBarrage : 1))
        return std::nullopt;
    if (ref.game != kBarrage)
        return std::make_pair(group[static_cast<std::size_t>(2 * (ref.game - 1))],
                              group[static_cast<std::size_t>(2 * (ref.game - 1) + 1)]);
    const auto &results = m_rounds[static_cast<std::size_t>(ref.round - 1)]
                              .results[static_cast<std::size_t>(ref.group - 1)];
    if (!results[0] || !results[1])
        return std::nullopt;
    return std::make_pair(other({group[0], group[1]}, results[0]->winner),
                          other({group[2], group[3]}, results[1]->winner));
}

std::optional<ResultRecord> Cup::result(const GameRef &ref) const
{
    if (!gameTeams(ref))
        return std::nullopt;
    return m_rounds[static_cast<std::size_t>(ref.round - 1)]
        .results[static_cast<std::size_t>(ref.group - 1)][static_cast<std::size_t>(ref.game - 1)];
}

std::vector<PendingGame> Cup::pendingGames(int round) const
{
    std::vector<PendingGame> pending;
    const DrawRecord *drawn = drawnRound(round);
    if (!drawn)
        return pending;
    for (int group = 1; group <= static_cast<int>(drawn->groups.size()); ++group) {
        for (int game = 1; game <= kBarrage; ++game) {
            const GameRef ref{round, group, game};
            const auto sides = gameTeams(ref);
            if (sides && !result(ref))
                pending.push_back({ref, sides->first, sides->second});
        }
    }
    return pending;
}

Cup::RoundState::RoundState(DrawRecord drawn, std::size_t teams)
    : draw(std::move(drawn)), results(draw.groups.size()), groupOf(teams, -1)
{
    for (std::size_t g = 0; g < draw.groups.size(); ++g) {
        for (const int team : draw.groups[g]) {
            if (team >= 0 && static_cast<std::size_t>(team) < teams)
                groupOf[static_cast<std::size_t>(team)] = static_cast<int>(g);
        }
    }
}

std::optional<GameRef> Cup::pendingGameOf(int round, int team) const
{
    const int group =
        m_rounds[static_cast<std::size_t>(round - 1)].groupOf[static_cast<std::size_t>(team)];
    for (int game = 1; group >= 0 && game <= kBarrage; ++game) {
        const GameRef ref{round, group + 1, game};
        const auto sides = gameTeams(ref);
        if (sides && (sides->first == team || sides->second == team) && !result(ref))
            return ref;
    }
    return std::nullopt;
}

std::vector<int> Cup::qualified(int round) const
{
    const DrawRecord *drawn = drawnRound(round);
    if (!drawn)
        return {};
    std::vector<int> teams = drawn->exempted;
    for (const auto &games : m_rounds[static_cast<std::size_t>(round - 1)].results) {
        for (const auto &result : games) {
            if (result)
                teams.push_back(result->winner);
        }
    }
    return teams;
}

std::vector<int> Cup::finalTeams() const
{
    return isComplete(kCupRounds) ? qualified(kCupRounds) : std::vector<int>{};
}

std::vector<Meeting> Cup::meetings(int round) const
{
    const DrawRecord *drawn = drawnRound(round);
    return drawn ? drawn->meetings : std::vector<Meeting>{};
}

std::vector<int> Cup::defaultExempted() const
{
    const auto byStrength = [this](std::vector<int> teams) {
        std::sort(teams.begin(), teams.end(), [this](int a, int b) {
            return std::make_pair(m_teams[static_cast<std::size_t>(a)].strength, a) <
                   std::make_pair(m_teams[static_cast<std::size_t>(b)].strength, b);
        });
        return teams;
    };
    std::vector<int> entering;
    for (std::size_t t = 0; t < m_teams.size(); ++t) {
        if (m_teams[t].entryRound == 4)
            entering.push_back(static_cast<int>(t));
    }
    std::vector<int> chosen = byStrength(entering);
    for (const int team : byStrength(qualified(3)))
        chosen.push_back(team);
    chosen.resize(std::min(chosen.size(), static_cast<std::size_t>(m_layout.exempted)));
    return chosen;
}

std::vector<int> Cup::exemptedTeams() const
{
    if (const DrawRecord *drawn = drawnRound(4))
        return drawn->exempted;
    if (!m_chosenExempted.empty())
        return m_chosenExempted;
    if (participants(4).empty())
        return {};
    return defaultExempted();
}

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
               counted(static_cast<long long>((m_layout.groupSize(round - 1) == 4 ? 3 : 1) *
                                                  m_rounds.back().draw.groups.size() -
                                              static_cast<std::size_t>(resultCount(round - 1))),
                       "partie") +
               " à jouer.";
    const Count size = static_cast<Count>(participants(round).size());
    if (size != m_layout.sizes[static_cast<std::size_t>(round - 1)])
        return "Le " + roundName(round) + " compte " + number(size) + " équipes au lieu des " +
               number(m_layout.sizes[static_cast<std::size_t>(round - 1)]) + " du plan.";
    if (!throughCount(m_layout, round, size)) {
        const bool exempting = m_layout.exemptedAt(round) > 0;
        return "Le " + roundName(round) + " compte " + number(size - m_layout.exemptedAt(round)) +
               (exempting ? " équipes hors exemptées" : " équipes") + " : il ne se joue pas en " +
               (m_layout.groupSize(round) == 4 ? "poules de quatre." : "parties de deux.");
    }
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
    if (groups == 0)
        return CupAnswer::ok("Le " + roundName(round) +
                             " ne compte aucune partie : il est terminé dès son tirage.");
    std::string text = "Le " + roundName(round) + " est tiré.";
    if (meetings > 0)
        text += " " + counted(static_cast<long long>(meetings), "rencontre") +
                " entre équipes d'un même club n'ont pu être évitées.";
    return CupAnswer::ok(std::move(text));
}

CupAnswer Cup::redraw(int round)
{
    if (!isDrawn(round))
        return CupAnswer::refused("Le " + roundName(round) + " n'est pas tiré.");
    if (round != drawnRounds())
        return CupAnswer::refused("Le " + roundName(round + 1) + " est tiré : le " +
                                  roundName(round) + " ne se tire plus de nouveau.");
    if (resultCount(round) > 0)
        return CupAnswer::refused("Le " + roundName(round) +
                                  " a des résultats : annulez son tirage pour le refaire.");
    RoundState &state = m_rounds.back();
    if (state.draw.attempt == INT_MAX)
        return CupAnswer::refused("Le " + roundName(round) + " a été tiré trop de fois.");
    state =
        RoundState(makeDraw(round, state.draw.attempt + 1, state.draw.exempted), m_teams.size());
    return CupAnswer::ok("Le " + roundName(round) + " est tiré de nouveau (tirage n° " +
                         number(state.draw.attempt) + ").");
}

CupAnswer Cup::cancelDraw(int round)
{
    if (!isDrawn(round))
        return CupAnswer::refused("Le " + roundName(round) + " n'est pas tiré.");
    if (round != drawnRounds())
        return CupAnswer::refused("Seul le dernier tour tiré, le " + roundName(drawnRounds()) +
                                  ", peut être annulé.");
    const int discarded = resultCount(round);
    if (round == 4)
        m_chosenExempted = m_rounds.back().draw.exempted;
    m_rounds.pop_back();
    std::string text = "Le tirage du " + roundName(round) + " est annulé";
    text += discarded > 0 ? " ; " + counted(discarded, "résultat") +
                                (discarded > 1 ? " sont effacés." : " est effacé.")
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
    m_chosenExempted = teams;
    std::string names = teamName(teams[0]);
    if (teams.size() > 1)
        names += " et " + teamName(teams[1]);
    return CupAnswer::ok((teams.size() > 1 ? "Exemptées du Tour 4 : " : "Exemptée du Tour 4 : ") +
                         names + ".");
}

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

CupRecords Cup::records() const
{
    CupRecords records;
    for (const RoundState &state : m_rounds) {
        records.draws.push_back(state.draw);
        for (const auto &games : state.results) {
            for (const auto &result : games) {
                if (result)
                    records.results.push_back(*result);
            }
        }
    }
    records.chosenExempted = m_chosenExempted;
    return records;
}

} // namespace velmorin
