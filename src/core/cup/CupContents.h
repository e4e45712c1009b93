#pragma once

// What a cup's settings make once opened: its team list (the teams it keeps, or its rows read),
// the levels' rounds, the plan shown. Through the core's own functions, as the window and the
// calculator compute them; the cup store and the window alike call them.

#include "Cup.h"
#include "CupSetup.h"
#include "Plan.h"
#include "TeamAssignment.h"
#include "TeamList.h"

#include <optional>
#include <string>
#include <vector>

namespace velmorin {

// A list as a cup keeps it: a header row (Équipe, Club, Niveau, Points and the other
// columns) and one row per team with its file line, so that teamListFromRows gives it back.
ImportedList importedListOf(const TeamList &list, std::string fileName);

// The teams of a list as a cup keeps them: the list's rows read now; none when they no longer
// make a list.
std::optional<TeamList> listTeams(const ImportedList &list);
// The setup with its list's teams, read now when it holds none yet: what a cup keeps.
CupSetup withListTeams(CupSetup setup);

// The rounds of a mapping's levels, keyed by the level's text ("" for no level), by key.
std::vector<LevelRoundChoice> levelRoundsOf(const LevelMapping &mapping);

struct CupContents
{
    std::optional<TeamList> list;
    std::string listError; // why the kept rows no longer make a list
    LevelMapping mapping;
    std::optional<Plan> plan; // the plan shown, when it still exists

    // The entrants the plan sends to rounds 1 to 4, with the seed's draw; none without a
    // list, a plan or a seed, or when they do not add up.
    std::optional<Assignment> assignment(const CupSetup &setup) const;
};

CupContents rebuildCup(const CupSetup &setup);

// The plan the settings name (their counts, ratios, class and solution), when it exists.
std::optional<Plan> planOf(const CupSetup &setup);

// Why the settings' plan cannot make a cup that reaches its final (planRefusal), empty when it
// can or when they name no plan yet.
std::string planRefusalOf(const CupSetup &setup);

// What a cup is played from: its teams in list order, the plan's sizes, the seed.
struct CupInputs
{
    std::vector<CupTeam> teams;
    CupLayout layout;
    std::uint64_t seed = 0;
};

struct CupInputsResult
{
    std::optional<CupInputs> inputs;
    std::string error; // French, one sentence: what the cup lacks to be played
};

// A cup whose round 1 is drawn is held to the rules it was drawn under (InputsRules::Played).
CupInputsResult cupInputsOf(const CupSetup &setup, const CupContents &contents,
                            InputsRules rules = InputsRules::New);

// The cup its inputs and records make, or the sentence saying why not.
CupCreation restoreCup(const CupInputsResult &inputs, const CupRecords &records);

} // namespace velmorin
