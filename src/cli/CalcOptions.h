#pragma once

// The calculator's command line: options, their values and the three counts.

#include "CalcPlans.h"
#include "Calculation.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// The arguments of either command line, read in order. A number or a name is positional, as
// is every argument after "--"; help and version stop the reading; a second "--", a negative
// number and any other single-dash argument are refused. Each option ("--name" or
// "--name=value") goes to the parser's reader, whose message stops the reading too.
struct OptionArgument
{
    std::string_view name;       // "--tour4"
    bool hasInlineValue = false; // "--tour4=1/2"
    // The value: after "=", else the next argument, which the reading then skips; none when
    // the option is the last argument.
    std::function<std::optional<std::string_view>()> value;
};
// The reader's answer to an option: a French message, empty when the option is good.
using OptionReader = std::function<std::string(const OptionArgument &option)>;

struct ArgumentsRead
{
    enum class End { Read, Help, Version, Refused };

    End end = End::Read;
    std::string error; // for Refused
    std::vector<std::string_view> positional;
};
ArgumentsRead readArguments(const std::vector<std::string> &args, const OptionReader &readOption);

// Reads a count given as an argument (INSCRITES, FINALE…); the French message of a refused
// text, empty when it is read.
std::string readCount(std::string_view name, std::string_view text, std::int32_t &value);

// "l'option --tour4 attend une valeur"
std::string valueMissing(std::string_view name);

// "l'option --separateur ne s'applique pas au format table": a table has no fields to separate,
// and a separator there would be ignored without a word.
std::string separatorWithoutCsv(std::string_view format = "table");

// A message as one sentence: its first letter a capital, a period at its end (unless it ends
// with one, or with "?" or "!").
std::string sentence(std::string_view message);

// A parser's answer refusing the command line with `message`.
template <typename Parsed> Parsed refusal(std::string message)
{
    Parsed parsed;
    parsed.action = Parsed::Action::Error;
    parsed.error = std::move(message);
    return parsed;
}

// What a parser returns when the reading stopped before the end: help, version or the
// refusal; none when every argument was read.
template <typename Parsed> std::optional<Parsed> stoppedEarly(const ArgumentsRead &read)
{
    using End = ArgumentsRead::End;
    if (read.end == End::Read)
        return std::nullopt;
    Parsed parsed;
    parsed.action = read.end == End::Help      ? Parsed::Action::Help
                    : read.end == End::Version ? Parsed::Action::Version
                                               : Parsed::Action::Error;
    parsed.error = read.error;
    return parsed;
}

} // namespace velmorin::cli
