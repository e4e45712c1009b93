#include "CalcTeams.h"

#include "ByteSink.h"
#include "Calc.h"
#include "Calculation.h"
#include "EntriesCsv.h"
#include "IntText.h"
#include "Plan.h"
#include "SolutionTable.h"
#include "TeamAssignment.h"
#include "TeamFile.h"
#include "Version.h"

#include <array>
#include <ostream>
#include <random>

namespace velmorin::cli {

namespace {

using Action = ParsedTeamsCommandLine::Action;

constexpr const char *kProgram = "velmorin-calc";

std::uint64_t drawnSeed()
{
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

void printLines(std::ostream &err, const std::string &text)
{
    err << kProgram << ": " << text << '\n';
}

// After the levels' table: the order taken, when names make it a choice, and the gaps.
std::string levelOrderLines(const LevelOrder &order, const std::string &gaps)
{
    std::string lines;
    if (order.chosen())
        lines = "Ordre des niveaux donné par --ordre-niveaux, du plus fort au plus faible : " +
                order.text() + ".\n";
    else if (order.hasNames())
        lines = "Ordre des niveaux, du plus fort au plus faible : " + order.text() +
                " (numéros croissants, puis noms dans l'ordre de la liste ; --ordre-niveaux "
                "le change).\n";
    if (!gaps.empty())
        lines += gaps + '\n';
    return lines;
}

} // namespace

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
    LevelOrder order = LevelOrder::ofList(list);
    if (request.levelOrder) {
        LevelOrderResult given = levelOrderFromText(*request.levelOrder, levelsOf(list));
        if (!given.order) {
            printLines(err, given.error);
            err << std::flush;
            return kExitUsage;
        }
        order = std::move(*given.order);
    }
    const LevelMapping mapping = LevelMapping::defaults(list, std::move(order));
    const char separator = request.calc.separator;
    const bool csv = request.calc.format == OutputFormat::Csv;

    if (request.levels) {
        const std::string gaps = levelGapNote(mapping.order());
        if (csv) {
            // The CSV stays data: the remark goes aside.
            writeLevelsCsv(mapping, out, separator);
            if (!gaps.empty())
                printLines(err, gaps);
            err << std::flush;
            return kExitSuccess;
        }
        // A failed write is the sink's to tell: the notes are not written after it.
        if (writeLevelsTable(mapping, out))
            out.write(levelOrderLines(mapping.order(), gaps));
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

int runCalcWithLists(const std::vector<std::string> &args, ByteSink &out, std::ostream &err)
{
    return usesTeamList(args) ? runTeamsCalc(args, out, err, calcHelp()) : runCalc(args, out, err);
}

int runCalcWithLists(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    OstreamSink sink(out);
    const int status = runCalcWithLists(args, sink, err);
    out.flush();
    return status;
}

} // namespace velmorin::cli
