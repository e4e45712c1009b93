#include "CalcOptions.h"

#include "IntText.h"
#include "SolutionTable.h"
#include "VisibleText.h"

#include <array>
#include <optional>
#include <string_view>

namespace velmorin::cli {

namespace {

constexpr auto failure = &refusal<ParsedCommandLine>;

std::optional<Ratio> parseRatio(std::string_view text)
{
    if (text == "1/2")
        return Ratio::Half;
    if (text == "3/4")
        return Ratio::ThreeQuarters;
    return std::nullopt;
}

// Arguments go back to the terminal: their controls visible, a huge one cut.
std::string quoted(std::string_view text)
{
    return quotedText(text);
}

bool takesValue(std::string_view name)
{
    return name == "--tour4" || name == "--quart" || name == "--demi" || name == "--format" ||
           name == "--separateur" || isPlanValueOption(name);
}

bool takesNoValue(std::string_view name)
{
    return name == "--counts" || name == "--scan" || name == "--help" || name == "--version" ||
           isPlanFlag(name);
}

// Applies one option that has a value; returns an error message, empty when it is good.
std::string applyValue(std::string_view name, std::string_view value, CalcRequest &request)
{
    if (isPlanValueOption(name))
        return applyPlanValue(name, value, request.plans);
    if (name == "--format") {
        if (value == "table")
            request.format = OutputFormat::Table;
        else if (value == "csv")
            request.format = OutputFormat::Csv;
        else
            return "format inconnu " + quoted(value) + " (table ou csv attendu)";
        return {};
    }
    if (name == "--separateur") {
        if (value.size() != 1 || !isCsvSeparator(value.front()))
            return "séparateur incorrect " + quoted(value) + " (, ou ; attendu)";
        request.separator = value.front();
        return {};
    }
    const std::optional<Ratio> ratio = parseRatio(value);
    if (!ratio)
        return "rapport incorrect " + quoted(value) + " pour " + std::string(name) +
               " (1/2 ou 3/4 attendu)";
    if (name == "--tour4")
        request.problem.round4 = *ratio;
    else if (name == "--quart")
        request.problem.quarterFinal = *ratio;
    else
        request.problem.semiFinal = *ratio;
    return {};
}

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string> &args)
{
    CalcRequest request;
    bool countsOnly = false;
    bool formatGiven = false; // --counts alone stays csv; --format table turns it into a table
    bool separatorGiven = false;
    const ArgumentsRead read =
        readArguments(args, [&](const OptionArgument &option) -> std::string {
            const std::string_view name = option.name;
            if (takesNoValue(name) && option.hasInlineValue)
                return "l'option " + std::string(name) + " ne prend pas de valeur";
            if (name == "--counts") {
                countsOnly = true;
                return {};
            }
            if (name == "--scan") {
                request.scan = true;
                return {};
            }
            if (isPlanFlag(name)) {
                applyPlanFlag(name, request.plans);
                return {};
            }
            if (!takesValue(name))
                return "option inconnue " + quoted(name);
            const std::optional<std::string_view> value = option.value();
            if (!value)
                return valueMissing(name);
            formatGiven = formatGiven || name == "--format";
            separatorGiven = separatorGiven || name == "--separateur";
            return applyValue(name, *value, request);
        });
    if (auto stopped = stoppedEarly<ParsedCommandLine>(read))
        return *stopped;
    const std::vector<std::string_view> &positional = read.positional;

    // --scan and --plans cover every round-1 entrant count: they read INSCRITES and FINALE only.
    if (request.scan && countsOnly)
        return failure("les options --counts et --scan ne se combinent pas");
    if (request.plans.enabled && (request.scan || countsOnly))
        return failure("l'option --plans ne se combine ni avec --scan ni avec --counts");
    if (std::string error = checkPlanOptions(request.plans); !error.empty())
        return failure(std::move(error));
    if (countsOnly)
        request.format = formatGiven && request.format == OutputFormat::Table
                             ? OutputFormat::CountsTable
                             : OutputFormat::Counts;
    // A table has no fields to separate: a separator there would be ignored without a word.
    if (separatorGiven &&
        (request.format == OutputFormat::Table || request.format == OutputFormat::CountsTable))
        return failure(separatorWithoutCsv());
    const std::string everyE1 = request.scan ? "--scan" : request.plans.enabled ? "--plans" : "";
    const std::size_t counts = everyE1.empty() ? 3 : 2;
    if (positional.size() < counts)
        return failure(everyE1.empty()
                           ? "il manque des arguments : INSCRITES FINALE ENTRANTS1 attendus"
                           : "il manque des arguments : INSCRITES FINALE attendus avec " + everyE1);
    if (positional.size() > counts)
        return failure("argument en trop " + quoted(positional[counts]) +
                       (everyE1.empty() ? "" : " : " + everyE1 + " n'attend que INSCRITES FINALE"));

    const std::array<std::int32_t *, 3> targets{
        &request.problem.registered, &request.problem.finale, &request.problem.entrants1};
    const std::array<const char *, 3> names{"INSCRITES", "FINALE", "ENTRANTS1"};
    for (std::size_t k = 0; k < counts; ++k) {
        if (std::string error = readCount(names[k], positional[k], *targets[k]); !error.empty())
            return failure(std::move(error));
    }

    ParsedCommandLine result;
    result.request = request;
    return result;
}

} // namespace velmorin::cli

namespace velmorin::cli {

// The options the team-list command line (CalcTeams.cpp) shares with this one.
bool isValueOption(std::string_view name)
{
    return takesValue(name);
}

std::string applyValueOption(std::string_view name, std::string_view value, CalcRequest &request)
{
    return applyValue(name, value, request);
}

std::string quotedArgument(std::string_view text)
{
    return quoted(text);
}

ArgumentsRead readArguments(const std::vector<std::string> &args, const OptionReader &readOption)
{
    using End = ArgumentsRead::End;
    ArgumentsRead read;
    const auto stop = [&read](End end, std::string error = {}) {
        read.end = end;
        read.error = std::move(error);
        return read;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded && arg == "--") // never a number: name it, not the count it pushes out
            return stop(End::Refused,
                        "argument en trop '--' : un seul -- sépare les options des nombres");
        if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
            read.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h")
            return stop(End::Help);
        if (arg == "--version")
            return stop(End::Version);
        if (arg.substr(0, 2) != "--") {
            std::int32_t number = 0;
            if (!tryStrToInt(arg, number))
                return stop(End::Refused, "option inconnue " + quoted(arg));
            if (number < 0)
                return stop(End::Refused, "nombre négatif " + quoted(arg) +
                                              " : placez les nombres négatifs après --");
            // -0 is no negative number, only one that looks like an option.
            return stop(End::Refused, "nombre " + quoted(arg) +
                                          " pris pour une option : placez les nombres "
                                          "commençant par - après --");
        }

        const std::size_t equals = arg.find('=');
        OptionArgument option;
        option.name = arg.substr(0, equals);
        option.hasInlineValue = equals != std::string_view::npos;
        option.value = [&]() -> std::optional<std::string_view> {
            if (equals != std::string_view::npos)
                return arg.substr(equals + 1);
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        if (std::string error = readOption(option); !error.empty())
            return stop(End::Refused, std::move(error));
    }
    return read;
}

std::string readCount(std::string_view name, std::string_view text, std::int32_t &value)
{
    const IntTextStatus status = readIntText(text, value);
    if (status == IntTextStatus::Integer)
        return {};
    return std::string(name) + " : " + intTextMessage(status, text, quoted(text));
}

std::string valueMissing(std::string_view name)
{
    return "l'option " + std::string(name) + " attend une valeur";
}

std::string separatorWithoutCsv(std::string_view format)
{
    return "l'option --separateur ne s'applique pas au format " + std::string(format);
}

std::string sentence(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z')
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    else if (text.compare(0, 2, "\xC3\xA9") == 0) // é
        text[1] = '\x89';                          // É
    if (!text.empty() && text.back() != '.' && text.back() != '?' && text.back() != '!')
        text += '.';
    return text;
}

} // namespace velmorin::cli
