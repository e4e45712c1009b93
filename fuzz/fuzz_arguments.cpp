// The calculator's two command lines. Whatever the arguments, each parser answers; a refusal
// says why in a short message that cannot drive the terminal, however long or strange the
// argument it quotes; help and version come only from their options; a run has read exactly
// its counts.
//
// Input layout: the arguments, separated by NUL bytes.

#include "CalcOptions.h"
#include "CalcTeams.h"
#include "FuzzInput.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

using velmorin::fuzz::check;
using velmorin::fuzz::drivesNoTerminal;

// Arguments are quoted cut to 40 characters (4 bytes at most each) with their length; the
// longest message around two of them stays well under this.
constexpr std::size_t kLongestMessage = 600;

// Whether one of the arguments is one of `names` ("--" may be an option's value, so the
// options do not simply end at the first one).
bool asksFor(const std::vector<std::string> &args, std::initializer_list<std::string_view> names)
{
    return std::any_of(args.begin(), args.end(), [&names](const std::string &arg) {
        return std::find(names.begin(), names.end(), arg) != names.end();
    });
}

template <typename Parsed>
void checkAnswer(const Parsed &parsed, const std::vector<std::string> &args)
{
    using Action = typename Parsed::Action;
    if (parsed.action == Action::Error) {
        check(!parsed.error.empty(), "a refusal without a message");
        check(drivesNoTerminal(parsed.error), "a control character in a message");
        check(parsed.error.size() < kLongestMessage, "a message that grows with its argument");
    } else {
        check(parsed.error.empty(), "a message without a refusal");
    }
    if (parsed.action == Action::Help)
        check(asksFor(args, {"--help", "-h"}), "help nobody asked for");
    if (parsed.action == Action::Version)
        check(asksFor(args, {"--version"}), "a version nobody asked for");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string> args;
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        args.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }

    const velmorin::cli::ParsedCommandLine calc = velmorin::cli::parseCommandLine(args);
    checkAnswer(calc, args);
    if (calc.action == velmorin::cli::ParsedCommandLine::Action::Run) {
        const velmorin::cli::CalcRequest &request = calc.request;
        // Every E1 at once (--scan, --plans) reads INSCRITES and FINALE only.
        const bool everyE1 = request.scan || request.plans.enabled;
        check(!everyE1 || request.problem.entrants1 == 0, "an E1 read where none is taken");
    }

    const velmorin::cli::ParsedTeamsCommandLine teams = velmorin::cli::parseTeamsCommandLine(args);
    checkAnswer(teams, args);
    if (teams.action == velmorin::cli::ParsedTeamsCommandLine::Action::Run &&
        !teams.request.levels) {
        check(teams.request.classNumber >= 1 && teams.request.classNumber <= 3,
              "a class outside 1 to 3");
        check(teams.request.position >= 1, "a position below 1");
    }
    return 0;
}
