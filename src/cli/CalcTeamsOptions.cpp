// velmorin-calc --equipes: its command line, read without the team list.

#include "CalcTeams.h"

#include "IntText.h"

#include <array>
#include <charconv>

namespace velmorin::cli {

namespace {

constexpr auto failure = &refusal<ParsedTeamsCommandLine>;

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

} // namespace

namespace {

// Whether the options before "--" name `option`, alone or as "option=value".
bool namesOption(const std::vector<std::string> &args, std::string_view option)
{
    for (const std::string &arg : args) {
        if (arg == "--")
            return false;
        if (arg == option ||
            (arg.size() > option.size() && arg.compare(0, option.size(), option) == 0 &&
             arg[option.size()] == '='))
            return true;
    }
    return false;
}

} // namespace

bool usesTeamList(const std::vector<std::string> &args)
{
    return namesOption(args, "--equipes");
}

bool usesCupFile(const std::vector<std::string> &args)
{
    return namesOption(args, "--coupe");
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
            const bool ours =
                name == "--equipes" || name == "--graine" || name == "--ordre-niveaux";
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
            if (name == "--ordre-niveaux") {
                if (request.levelOrder)
                    return "un seul ordre des niveaux à la fois : --ordre-niveaux est donnée "
                           "deux fois";
                if (value->find_first_not_of(" \t;") == std::string_view::npos)
                    return "l'option --ordre-niveaux attend les niveaux du plus fort au plus "
                           "faible, séparés par des points-virgules";
                request.levelOrder = std::string(*value);
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
        if (std::string error = readCount(names[k], positional[k], values[k]); !error.empty())
            return failure(std::move(error));
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

} // namespace velmorin::cli
