#pragma once

// The calculator's command line: options, their values and the three counts.

#include "CalcPlans.h"
#include "Calculation.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmorin::cli {

// Counts: --counts (csv); CountsTable: --counts --format table.
enum class OutputFormat { Table, Csv, Counts, CountsTable };

struct CalcRequest
{
    Problem problem;
    OutputFormat format = OutputFormat::Table;
    char separator = ','; // between the fields of --format csv and of --counts
    // --scan: every round-1 entrant count at once, from INSCRITES and FINALE only.
    bool scan = false;
    // --plans: the best plans for the wishes, from INSCRITES and FINALE only.
    PlanOptions plans;
};

struct ParsedCommandLine
{
    enum class Action { Run, Help, Version, Error };

    Action action = Action::Run;
    CalcRequest request; // meaningful for Run
    std::string error;   // the French message, without the program prefix, for Error
};

// Reads the arguments that follow the program name. Nothing is printed here.
ParsedCommandLine parseCommandLine(const std::vector<std::string> &args);

} // namespace velmorin::cli

namespace velmorin::cli {

// What the team-list command line (CalcTeams.cpp) shares with this one: the options that
// take a value (--tour4, --quart, --demi, --format, --separateur) applied to a request, and
// an argument quoted as the messages quote it. applyValueOption returns the French message
// of a bad value, empty when it is good.
bool isValueOption(std::string_view name);
std::string applyValueOption(std::string_view name, std::string_view value, CalcRequest &request);
std::string quotedArgument(std::string_view text);

} // namespace velmorin::cli
