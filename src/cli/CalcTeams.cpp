#include "CalcTeams.h"

#include "ByteSink.h"
#include "Calc.h"
#include "Calculation.h"
#include "IntText.h"
#include "Plan.h"
#include "SolutionTable.h"
#include "TeamAssignment.h"
#include "TeamFile.h"
#include "Version.h"

#include <array>
#include <charconv>
#include <ostream>
#include <random>

namespace velmorin::cli {

namespace {

using Action = ParsedTeamsCommandLine::Action;

constexpr const char *kProgram = "velmorin-calc";

ParsedTeamsCommandLine failure(std::string message)
{
    ParsedTeamsCommandLine result;
    result.action = Action::Error;
    result.error = std::move(message);
    return result;
}

std::optional<std::uint64_t> parseSeed(std::string_view text)
{
    std::uint64_t seed = 0;
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return seed;
}

std::uint64_t drawnSeed()
{
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

void printLines(std::ostream &err, const std::string &text)
{
    err << kProgram << ": " << text << '\n';
}

} // namespace

bool usesTeamList(const std::vector<std::string> &args)
{
    for (const std::string &arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--equipes" || arg.rfind("--equipes=", 0) == 0)
            return true;
    }
    return false;
}

ParsedTeamsCommandLine parseTeamsCommandLine(const std::vector<std::string> &args)
{
    TeamsRequest request;
    bool havePath = false;
    const ArgumentsRead read =
        readArguments(args, [&](const OptionArgument &option) -> std::string {
            const std::string_view name = option.name;
            if (name == "--niveaux") {
                if (option.hasInlineValue)
                    return "l'option --niveaux ne prend pas de valeur";
                request.levels = true;
                return {};
            }
            const bool ours = name == "--equipes" || name == "--graine";
            if (!ours && !isValueOption(name)) {
                if (name != "--counts" && name != "--scan")
                    return "option inconnue " + quotedArgument(name);
                return "l'option " + quotedArgument(name) + " ne se combine pas avec --equipes";
            }
            const std::optional<std::string_view> value = option.value();
            if (!value)
                return valueMissing(name);
            if (name == "--equipes") {
                if (havePath)
                    return "une seule liste d'équipes à la fois : --equipes est donnée deux fois";
                if (value->empty())
                    return "l'option --equipes attend le nom d'un fichier";
                request.path = std::string(*value);
                havePath = true;
                return {};
            }
            if (name == "--graine") {
                request.seed = parseSeed(*value);
                if (!request.seed)
                    return "graine incorrecte " + quotedArgument(*value) +
                           " (entier de 0 à 18446744073709551615 attendu)";
                return {};
            }
            return applyValueOption(name, *value, request.calc);
        });
    if (auto stopped = stoppedEarly<ParsedTeamsCommandLine>(read))
        return *stopped;
    const std::vector<std::string_view> &positional = read.positional;

    if (request.levels) {
        if (!positional.empty())
            return failure("argument en trop " + quotedArgument(positional.front()) +
                           " : --niveaux n'attend que --equipes FICHIER");
        ParsedTeamsCommandLine result;
        result.request = std::move(request);
        return result;
    }
    constexpr std::size_t kCounts = 4;
    if (positional.size() < kCounts)
        return failure("il manque des arguments : FINALE ENTRANTS1 CLASSE POSITION attendus "
                       "avec --equipes");
    if (positional.size() > kCounts)
        return failure("argument en trop " + quotedArgument(positional[kCounts]) +
                       " : avec --equipes, le nombre d'inscrites est celui de la liste");

    std::array<std::int32_t, kCounts> values{};
    const std::array<const char *, kCounts> names{"FINALE", "ENTRANTS1", "CLASSE", "POSITION"};
    for (std::size_t k = 0; k < kCounts; ++k) {
        if (!tryStrToInt(positional[k], values[k]))
            return failure(std::string(names[k]) + " : " + ConversionError(positional[k]).what());
    }
    if (values[2] < 1 || values[2] > 3)
        return failure("CLASSE " + quotedArgument(positional[2]) +
                       " incorrecte : 1, 2 ou 3 attendu (0, 1 ou 2 équipes exemptées du tour 4)");
    if (values[3] < 1)
        return failure("POSITION " + quotedArgument(positional[3]) +
                       " incorrecte : les solutions sont numérotées à partir de 1");
    request.calc.problem.finale = values[0];
    request.calc.problem.entrants1 = values[1];
    request.classNumber = values[2];
    request.position = values[3];

    ParsedTeamsCommandLine result;
    result.request = std::move(request);
    return result;
}

int runTeamsCalc(const std::vector<std::string> &args, ByteSink &out, std::ostream &err,
                 std::string_view help)
{
    const ParsedTeamsCommandLine parsed = parseTeamsCommandLine(args);
    switch (parsed.action) {
    case Action::Error:
        err << kProgram << ": " << parsed.error << '\n'
            << "Essayez « " << kProgram << " --help ».\n"
            << std::flush;
        return kExitUsage;
    case Action::Help:
        out.write(help);
        return kExitSuccess;
    case Action::Version:
        out.write(std::string(kProgram) + ' ' + VELMORIN_VERSION + '\n');
        return kExitSuccess;
    case Action::Run:
        break;
    }
    const TeamsRequest &request = parsed.request;

    const TeamListResult read = readTeamList(request.path);
    for (const std::string &warning : read.warnings)
        printLines(err, warning);
    if (!read.ok()) {
        printLines(err, read.error);
        err << std::flush;
        return kExitUsage;
    }
    const TeamList &list = *read.list;
    const LevelMapping mapping = LevelMapping::defaults(list);
    const char separator = request.calc.separator;
    const bool csv = request.calc.format == OutputFormat::Csv;

    if (request.levels) {
        if (csv)
            writeLevelsCsv(mapping, out, separator);
        else
            writeLevelsTable(mapping, out);
        return kExitSuccess;
    }

    Problem problem = request.calc.problem;
    problem.registered = static_cast<std::int32_t>(list.teams.size());
    const Calculation calculation = calculate(problem);
    const ExemptionClass exemptionClass = exemptionClassFromNumber(request.classNumber);
    const std::optional<Plan> plan = makePlan(calculation, exemptionClass, request.position);
    if (!plan) {
        const Count count = calculation.of(exemptionClass).solutions.count();
        const std::string inputs = std::to_string(problem.registered) + " équipes inscrites, " +
                                   std::to_string(problem.finale) + " en finale et " +
                                   std::to_string(problem.entrants1) + " entrantes au tour 1";
        printLines(err, count == 0 ? "la classe " + std::to_string(request.classNumber) +
                                         " n'a aucune solution pour " + inputs
                                   : "pas de solution " + std::to_string(request.position) +
                                         " dans la classe " + std::to_string(request.classNumber) +
                                         " : elle a " + solutionCount(count) + " pour " + inputs);
        err << std::flush;
        return kExitUsage;
    }

    const std::uint64_t seed = request.seed ? *request.seed : drawnSeed();
    const AssignmentResult assigned = assignTeams(list, mapping, planEntrants(*plan), seed);
    if (!assigned.ok()) {
        printLines(err, assigned.error);
        err << std::flush;
        return kExitUsage;
    }
    if (csv) {
        // The CSV has no room for it: a drawn seed is told aside, so the draw can be redone.
        if (!request.seed)
            err << kProgram << ": graine du tirage : " << seed << '\n' << std::flush;
        writeAssignmentCsv(list, *assigned.assignment, out, separator);
    } else {
        writeAssignmentTable(list, *assigned.assignment, out);
    }
    return kExitSuccess;
}

} // namespace velmorin::cli
