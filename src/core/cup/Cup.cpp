#include "Cup.h"

#include "CupDraw.h"
#include "CupPlayable.h"
#include "CupPrivate.h"
#include "Plan.h"
#include "TeamAssignment.h"
#include "TeamKey.h"
#include "VisibleText.h"

#include <algorithm>
#include <climits>

namespace velmorin {

using namespace cupprivate;

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
        teams[i].line = list.teams[i].line;
        if (i < assignment.roundOfTeam.size())
            teams[i].entryRound = assignment.roundOfTeam[i];
    }
    for (std::size_t position = 0; position < assignment.ranking.size(); ++position) {
        if (assignment.ranking[position] < teams.size())
            teams[assignment.ranking[position]].strength = static_cast<int>(position);
    }
    return teams;
}

namespace {

// "« Tassin A » (ligne 5)": a team as the organiser finds it in the list.
std::string teamInList(const std::vector<CupTeam> &teams, std::size_t team)
{
    const std::size_t line = teams[team].line;
    return "« " + withVisibleControls(teams[team].name) + " » (" +
           (line > 0 ? "ligne " + number(static_cast<long long>(line))
                     : "n° " + number(static_cast<long long>(team + 1))) +
           ")";
}

// Two teams of one name: a cup names its teams by name, so each must have its own. A cup
// played under the rules of its day kept names that differ byte for byte.
std::string sameNameRefusal(const std::vector<CupTeam> &teams, InputsRules rules)
{
    std::vector<std::string> keys;
    keys.reserve(teams.size());
    for (const CupTeam &team : teams)
        keys.push_back(rules == InputsRules::New ? identityKey(team.name) : team.name);
    const std::vector<KeyRepeat> repeats = keyRepeats(keys);
    if (repeats.empty())
        return {};
    const KeyRepeat &repeat = repeats.front();
    return "Les équipes " + teamInList(teams, repeat.first) + " et " +
           teamInList(teams, repeat.again) + " de la liste portent le même nom (" +
           std::string(kIdentityRule) + ") : chaque équipe doit avoir le sien.";
}

} // namespace

std::string cupInputsRefusal(const std::vector<CupTeam> &teams, const CupLayout &layout,
                             InputsRules rules)
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
    if (std::string refusal = sameNameRefusal(teams, rules); !refusal.empty())
        return refusal;
    if (layout.exempted < 0 || layout.exempted > 2)
        return "Le Tour 4 exempte 0, 1 ou 2 équipes, pas " + number(layout.exempted) + ".";
    for (int round = 1; round <= kCupRounds; ++round) {
        const Count size = layout.sizes[static_cast<std::size_t>(round - 1)];
        if (size < layout.exemptedAt(round) || size > static_cast<Count>(teams.size()))
            return "Le plan donne " + number(size) + " équipes au " + roundName(round) +
                   " : ce nombre est impossible.";
    }
    // The plan's own arithmetic, before the list's counts: no list fills a plan whose later
    // rounds split into nothing.
    if (rules == InputsRules::New) {
        if (const std::optional<int> round = unplayableRound(layout))
            return unplayableRoundText(layout, *round) +
                   " et la coupe n'irait pas jusqu'à sa finale.";
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
    return meetingsOf(groups, [&teams](int team) {
        return identityKey(teams[static_cast<std::size_t>(team)].club);
    });
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
    : m_teams(std::move(teams)), m_layout(layout), m_seed(seed), m_withdrawnAt(m_teams.size(), 0)
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
    m_withdrawnAt.assign(m_teams.size(), 0);
    return CupAnswer::ok({});
}

std::string Cup::teamName(int team) const
{
    return quotedTeam(m_teams[static_cast<std::size_t>(team)]);
}

const DrawRecord *Cup::drawnRound(int round) const
{
    return isDrawn(round) ? &m_rounds[static_cast<std::size_t>(round - 1)].draw : nullptr;
}

int Cup::resultCount(int round) const
{
    if (!isDrawn(round))
        return 0;
    int count = 0;
    for (const auto &games : m_rounds[static_cast<std::size_t>(round - 1)].results) {
        for (const auto &result : games)
            count += result.has_value();
    }
    return count;
}

int Cup::gameCount(int round) const
{
    const DrawRecord *drawn = drawnRound(round);
    return drawn ? m_layout.gamesPerGroup(round) * static_cast<int>(drawn->groups.size()) : 0;
}

bool Cup::isComplete(int round) const
{
    return isDrawn(round) && resultCount(round) == gameCount(round);
}

std::optional<int> Cup::withdrawalRound(int team) const
{
    if (team < 0 || static_cast<std::size_t>(team) >= m_withdrawnAt.size() ||
        m_withdrawnAt[static_cast<std::size_t>(team)] == 0)
        return std::nullopt;
    return m_withdrawnAt[static_cast<std::size_t>(team)];
}

int Cup::declaredForfeits(int round) const
{
    int count = 0;
    for (std::size_t team = 0; team < m_withdrawnAt.size(); ++team)
        count += m_withdrawnAt[team] == round && !isAbsent(round, static_cast<int>(team));
    return count;
}

bool Cup::isWithdrawn(int team, int round) const
{
    const std::optional<int> at = withdrawalRound(team);
    return at && *at <= round;
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
        return comingTo(round);
    }
    std::sort(teams.begin(), teams.end());
    return teams;
}

std::vector<int> Cup::comingTo(int round) const
{
    std::vector<int> teams;
    if (round > 1)
        teams = qualified(round - 1);
    for (std::size_t t = 0; t < m_teams.size(); ++t) {
        if (m_teams[t].entryRound == round)
            teams.push_back(static_cast<int>(t));
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
    for (std::size_t t = 0; t < m_withdrawnAt.size(); ++t) {
        if (m_withdrawnAt[t] > 0)
            records.withdrawals.push_back({static_cast<int>(t), m_withdrawnAt[t]});
    }
    records.version = m_version;
    records.day = m_day;
    return records;
}

} // namespace velmorin
