#pragma once

// velmorin-calc --equipes: a team list's entry rounds for a chosen plan, or its levels.

#include "CalcOptions.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {
class ByteSink;
}

namespace velmorin::cli {

struct TeamsRequest
{
    std::string path;                      // --equipes
    CalcRequest calc;                      // ratios, format and separator; N comes from the list
    int classNumber = 0;                   // CLASSE, 1 to 3
    std::int32_t position = 0;             // POSITION, from 1
    std::optional<std::uint64_t> seed;     // --graine; drawn when not given
    bool levels = false;                   // --niveaux
    std::optional<std::string> levelOrder; // --ordre-niveaux "Nationale 1;Régionale"
};

struct ParsedTeamsCommandLine
{
    enum class Action { Run, Help, Version, Error };

    Action action = Action::Run;
    TeamsRequest request;
    std::string error; // the French message, without the program prefix
};

// Whether the arguments name a team list (--equipes before any --).
bool usesTeamList(const std::vector<std::string> &args);
// Whether the arguments open a cup file (--coupe): velmorin-calc-coupe runs those.
bool usesCupFile(const std::vector<std::string> &args);

ParsedTeamsCommandLine parseTeamsCommandLine(const std::vector<std::string> &args);

// Runs the team-list calculator; `help` is the calculator's help text. Exit codes as runCalc.
int runTeamsCalc(const std::vector<std::string> &args, ByteSink &out, std::ostream &err,
                 std::string_view help);

// Every run of the calculator, those that read a team list included: velmorin-calc-listes.
int runCalcWithLists(const std::vector<std::string> &args, ByteSink &out, std::ostream &err);
int runCalcWithLists(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace velmorin::cli
