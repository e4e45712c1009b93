#pragma once

// The calculator's command line: options, their values and the three counts.

#include "VlmDec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmorin::cli {

enum class OutputFormat { Table, Csv, Counts };

struct CalcRequest
{
    Ratio round4 = Ratio::Half;
    Ratio quarterFinal = Ratio::Half;
    Ratio semiFinal = Ratio::Half;
    OutputFormat format = OutputFormat::Table;
    std::int32_t registered = 0;
    std::int32_t finale = 0;
    std::int32_t entrants1 = 0;
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
