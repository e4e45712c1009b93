#pragma once

// velmorin-calc: the cup's round calculation from the command line.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {
class ByteSink;
}

namespace velmorin::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitWriteError = 1;
constexpr int kExitUsage = 2;

// Runs the calculator on the arguments that follow the program name. Results go to `out`,
// a single error line to `err`. A usage error prints nothing on `out`. When `out` stops
// accepting output (the reader went away) the run stops quietly and still succeeds: the
// caller decides whether the failure deserves a message (see main.cpp).
// The runs that read a team list (--equipes) are runCalcWithLists's (CalcTeams.h), in the
// program velmorin-calc starts for them: runCalc refuses them.
int runCalc(const std::vector<std::string> &args, ByteSink &out, std::ostream &err);
int runCalc(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// The calculator's help text.
std::string_view calcHelp();

} // namespace velmorin::cli
