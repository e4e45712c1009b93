#include "CupContents.h"

#include "Calculation.h"
#include "CupPlayable.h"

#include <algorithm>

namespace velmorin {

ImportedList importedListOf(const TeamList &list, std::string fileName)
{
    ImportedList imported;
    imported.fileName = std::move(fileName);
    SourceRow header{0, {"Équipe", "Club", "Niveau", "Points"}, {}};
    header.cells.insert(header.cells.end(), list.extraColumns.begin(), list.extraColumns.end());
    imported.rows.reserve(list.teams.size() + 1);
    imported.rows.push_back(std::move(header));
    for (const Team &team : list.teams) {
        SourceRow row{
            team.line, {team.name, team.club, levelText(team.level), team.pointsText}, {}};
        row.cells.insert(row.cells.end(), team.extra.begin(), team.extra.end());
        imported.rows.push_back(std::move(row));
    }
    // The header's line: the one before the first team's, as the file had it.
    if (!list.teams.empty() && list.teams.front().line > 0)
        imported.rows.front().line = list.teams.front().line - 1;
    return imported;
}

std::optional<TeamList> listTeams(const ImportedList &list)
{
    return teamListFromRows(list.fileName, list.rows).list;
}

CupSetup withListTeams(CupSetup setup)
{
    if (setup.list && !setup.teams)
        setup.teams = listTeams(*setup.list);
    return setup;
}

std::vector<LevelRoundChoice> levelRoundsOf(const LevelMapping &mapping)
{
    std::vector<LevelRoundChoice> rounds;
    for (const LevelRound &level : mapping.levels())
        rounds.push_back({levelText(level.level), level.round});
    std::sort(
        rounds.begin(), rounds.end(),
        [](const LevelRoundChoice &a, const LevelRoundChoice &b) { return a.level < b.level; });
    return rounds;
}

namespace {

// The organiser's order of the levels, as the cup keeps it; the list's own when the cup keeps
// none, or one that does not hold every level of the list (it would rank some nowhere).
LevelOrder levelOrderOf(const CupSetup &setup, const TeamList &list)
{
    std::vector<Level> levels;
    for (const std::string &name : setup.levelOrder) {
        if (const std::optional<Level> level = readLevel(name))
            levels.push_back(*level);
    }
    if (levels.empty())
        return LevelOrder::ofList(list);
    LevelOrder order(std::move(levels), true);
    for (const Level &level : levelsOf(list)) {
        if (order.rankOf(level) == order.levels().size())
            return LevelOrder::ofList(list);
    }
    return order;
}

} // namespace

CupContents rebuildCup(const CupSetup &setup)
{
    CupContents contents;
    if (setup.list) {
        // The teams the cup keeps; a list given before they were kept is read as it is now.
        TeamListResult read = setup.teams
                                  ? TeamListResult{setup.teams, {}, {}}
                                  : teamListFromRows(setup.list->fileName, setup.list->rows);
        if (read.ok()) {
            contents.list = std::move(*read.list);
            contents.mapping =
                LevelMapping::defaults(*contents.list, levelOrderOf(setup, *contents.list));
            // Named levels ("Nationale 1") as numbered ones: each as the list reads it.
            for (const LevelRoundChoice &choice : setup.levelRounds) {
                const std::optional<Level> level =
                    choice.level.empty() ? std::nullopt : readLevel(choice.level);
                if (choice.level.empty() || level)
                    contents.mapping.setRound(level, choice.round);
            }
        } else {
            contents.listError = read.error;
        }
    }
    contents.plan = planOf(setup);
    return contents;
}

std::optional<Plan> planOf(const CupSetup &setup)
{
    if (!setup.classNumber || !setup.position)
        return std::nullopt;
    return makePlan(calculate(setup.problem()), exemptionClassFromNumber(*setup.classNumber),
                    *setup.position);
}

std::string planRefusalOf(const CupSetup &setup)
{
    const std::optional<Plan> plan = planOf(setup);
    return plan ? planRefusal(*plan) : std::string();
}

std::optional<Assignment> CupContents::assignment(const CupSetup &setup) const
{
    if (!list || !plan || !setup.seed)
        return std::nullopt;
    AssignmentResult assigned = assignTeams(*list, mapping, planEntrants(*plan), *setup.seed);
    return assigned.assignment;
}

CupInputsResult cupInputsOf(const CupSetup &setup, const CupContents &contents, InputsRules rules)
{
    if (!contents.list)
        return {std::nullopt,
                setup.list ? "La liste d'équipes de la coupe est illisible : " + contents.listError
                           : std::string("La coupe n'a pas de liste d'équipes.")};
    if (!contents.plan)
        return {std::nullopt, "La coupe n'a pas de plan choisi qui existe pour ses nombres."};
    if (!setup.seed)
        return {std::nullopt, "La coupe n'a pas de graine de tirage."};
    if (rules == InputsRules::New) {
        if (std::string refusal = planRefusal(*contents.plan); !refusal.empty())
            return {std::nullopt, std::move(refusal)};
    }
    const AssignmentResult assigned =
        assignTeams(*contents.list, contents.mapping, planEntrants(*contents.plan), *setup.seed);
    if (!assigned.ok())
        return {std::nullopt, assigned.error};
    CupInputs inputs{cupTeams(*contents.list, *assigned.assignment), layoutFromPlan(*contents.plan),
                     *setup.seed};
    // Refused here rather than at the first draw: two teams of one name, sizes not filled.
    std::string refusal = cupInputsRefusal(inputs.teams, inputs.layout, rules);
    if (!refusal.empty())
        return {std::nullopt, std::move(refusal)};
    return {std::move(inputs), {}};
}

CupCreation restoreCup(const CupInputsResult &inputs, const CupRecords &records)
{
    if (!inputs.inputs)
        return {std::nullopt, inputs.error};
    return Cup::restore(inputs.inputs->teams, inputs.inputs->layout, inputs.inputs->seed, records);
}

} // namespace velmorin
