#include "CalcCup.h"

#include "CalcCupPrivate.h"
#include "EntriesCsv.h"

#include "ByteSink.h"
#include "Calc.h"
#include "CalcTeams.h"
#include "CupContents.h"
#include "CupStore.h"
#include "CupText.h"
#include "TeamCsv.h"
#include "TeamFile.h"
#include "Version.h"

#include <QDate>

#include <algorithm>
#include <ostream>
#include <random>

namespace velmorin::cli {

namespace cupprivate {

int refuse(std::ostream &err, const std::string &message)
{
    err << kProgram << ": " << message << '\n' << std::flush;
    return kExitUsage;
}

int openingFailed(std::ostream &err, const CupOpening &opening)
{
    err << kProgram << ": " << opening.message << '\n' << std::flush;
    return opening.failure == CupOpening::Failure::WriteFailed ? kExitWriteError : kExitUsage;
}

// The value of an option named `name` at args[k] ("--name V" or "--name=V"); none when the
// argument is another one.
std::optional<std::string> optionValue(const std::vector<std::string> &args, std::size_t &k,
                                       const std::string &name, std::string &error)
{
    const std::string &arg = args[k];
    if (arg.rfind(name + '=', 0) == 0)
        return arg.substr(name.size() + 1);
    if (arg != name)
        return std::nullopt;
    if (k + 1 >= args.size()) {
        error = valueMissing(name);
        return std::string();
    }
    return args[++k];
}

// "a, b,c" as its trimmed non-empty parts.
std::vector<std::string> splitList(const std::string &text, char separator)
{
    std::vector<std::string> levels;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        std::string level = text.substr(start, end - start);
        const auto first = level.find_first_not_of(' ');
        level = first == std::string::npos
                    ? std::string()
                    : level.substr(first, level.find_last_not_of(' ') - first + 1);
        if (!level.empty())
            levels.push_back(std::move(level));
        start = end + 1;
    }
    return levels;
}

} // namespace cupprivate

using namespace cupprivate;

namespace {

constexpr const char *kHelp =
    "Usage : velmorin-calc --coupe FICHIER [--format table|csv] [--separateur S]\n"
    "        velmorin-calc --coupe FICHIER --entrees [--format table|csv] [--separateur S]\n"
    "        velmorin-calc --coupe FICHIER --nouvelle NOM --equipes LISTE [--graine S]\n"
    "                      [--ordre-niveaux O] [--tour4 R --quart R --demi R]\n"
    "                      FINALE ENTRANTS1 CLASSE POSITION\n"
    "        velmorin-calc --coupe FICHIER --tirage T [--refaire] [--format table|csv]\n"
    "        velmorin-calc --coupe FICHIER --annuler-tirage T\n"
    "        velmorin-calc --coupe FICHIER --tour T [--format table|csv]\n"
    "        velmorin-calc --coupe FICHIER --gagnant T EQUIPE [--score 13-7]\n"
    "                      [--partie 1|2|barrage] [--corriger]\n"
    "        velmorin-calc --coupe FICHIER --forfait T EQUIPE [--partie 1|2|barrage] [--corriger]\n"
    "        velmorin-calc --coupe FICHIER --qualifiee T EQUIPE [--partie 1|2|barrage]\n"
    "        velmorin-calc --coupe FICHIER --exemptees \"EQUIPE;EQUIPE\"\n"
    "        velmorin-calc --coupe FICHIER --tableau [--format table|csv|html]\n"
    "\n"
    "Lit une coupe (fichier .velmorin) : son résumé, ou le tour d'entrée de chaque équipe\n"
    "pour le plan choisi (--entrees). Avec --nouvelle, crée la coupe à partir d'une liste\n"
    "d'équipes ; un fichier qui existe déjà n'est jamais remplacé.\n"
    "Tire les tours, enregistre les gagnants et les forfaits, corrige un résultat tant que\n"
    "le tour suivant n'est pas tiré, annule un tirage ; chaque opération est enregistrée\n"
    "aussitôt dans la coupe. EQUIPE est le nom de l'équipe dans la liste, ou #N pour la\n"
    "N-ième équipe de la liste.\n"
    "--partie nomme la partie de l'équipe dans sa poule ; sans elle, --gagnant et\n"
    "--forfait prennent la partie que l'équipe a à jouer, et --corriger la dernière partie\n"
    "jouée que l'équipe a gagnée (avec --gagnant) ou perdue (avec --forfait), à défaut sa\n"
    "dernière partie jouée. Le score donne d'abord les points du gagnant. --forfait sans\n"
    "--corriger retire l'équipe de la coupe : elle perd par forfait chaque partie qui lui\n"
    "reste. Quand les deux équipes d'une partie ont déclaré forfait, la mieux classée la\n"
    "gagne ; --qualifiee désigne l'autre.\n";

void keyValue(LineBuffer &line, char separator, std::string_view key, std::string_view value)
{
    line.text(key).character(separator);
    putCsvField(line, value);
    line.endLine();
}

void writeSummary(const CupSetup &setup, const CupContents &contents, const CalcRequest &calc,
                  ByteSink &out)
{
    const Problem problem = setup.problem();
    const std::string classText =
        setup.classNumber ? std::to_string(*setup.classNumber) : std::string();
    const std::string positionText =
        setup.position ? std::to_string(*setup.position) : std::string();
    const std::string seedText = setup.seed ? std::to_string(*setup.seed) : std::string();
    const std::string teams =
        contents.list ? std::to_string(contents.list->teams.size()) : std::string();
    const std::string listName = setup.list ? setup.list->fileName : std::string();
    LineBuffer line(out);
    if (calc.format == OutputFormat::Csv) {
        const char s = calc.separator;
        line.text("cle").character(s).text("valeur").endLine();
        keyValue(line, s, "nom", setup.name);
        keyValue(line, s, "date", setup.date);
        keyValue(line, s, "inscrites", std::to_string(setup.registered));
        keyValue(line, s, "finale", std::to_string(setup.finale));
        keyValue(line, s, "entrants1", std::to_string(setup.entrants1));
        keyValue(line, s, "tour4", ratioText(problem.round4));
        keyValue(line, s, "quart", ratioText(problem.quarterFinal));
        keyValue(line, s, "demi", ratioText(problem.semiFinal));
        keyValue(line, s, "classe", classText);
        keyValue(line, s, "position", positionText);
        keyValue(line, s, "graine", seedText);
        keyValue(line, s, "equipes", teams);
        keyValue(line, s, "liste", listName);
        line.flush();
        return;
    }
    line.text("Coupe : ").text(setup.name).endLine();
    line.text("Date : ").text(setup.date).endLine();
    line.text(problemInputsText(problem)).endLine();
    line.text("Entrantes au tour 1 : ").number(setup.entrants1).endLine();
    line.text("Plan : ");
    if (contents.plan)
        line.text("classe ").text(classText).text(", ").text(
            velmorin::positionText(*contents.plan));
    else if (setup.classNumber && setup.position)
        line.text("classe ")
            .text(classText)
            .text(", solution ")
            .text(positionText)
            .text(" (n'existe pas pour ces nombres)");
    else
        line.text("aucun");
    line.endLine();
    line.text("Graine du tirage : ").text(setup.seed ? seedText : "aucune").endLine();
    line.text("Liste : ");
    if (contents.list)
        line.text(listName).text(" (").text(teams).text(" équipes)");
    else if (setup.list)
        line.text(listName).text(" (illisible : ").text(contents.listError).text(")");
    else
        line.text("aucune");
    line.endLine();
    if (contents.list) {
        line.text("Niveaux et tours d'entrée :").endLine();
        line.flush();
        writeLevelsTable(contents.mapping, out);
        return;
    }
    line.flush();
}

// The cup's summary, or its entries: read only, so that it works while the window has it.
int showCup(const CupArguments &cup, ByteSink &out, std::ostream &err)
{
    CalcRequest calc;
    const ArgumentsRead read = readArguments(cup.rest, [&](const OptionArgument &option) {
        if (option.name != "--format" && option.name != "--separateur")
            return "option inconnue " + quotedArgument(option.name) + " avec --coupe";
        const std::optional<std::string_view> value = option.value();
        if (!value)
            return valueMissing(option.name);
        return applyValueOption(option.name, *value, calc);
    });
    if (read.end == ArgumentsRead::End::Refused)
        return refuse(err, read.error);
    if (!read.positional.empty())
        return refuse(err, "argument en trop " + quotedArgument(read.positional.front()) +
                               " avec --coupe");

    const CupOpening opening =
        CupStore::open(QString::fromStdString(cup.path), CupStore::Mode::ReadOnly);
    if (!opening.ok())
        return openingFailed(err, opening);
    const CupSetup &setup = opening.store->setup();
    const CupContents contents = rebuildCup(setup);
    if (!cup.entries) {
        writeSummary(setup, contents, calc, out);
        return kExitSuccess;
    }
    if (!contents.list)
        return refuse(err, setup.list ? "la liste d'équipes de la coupe est illisible : " +
                                            contents.listError
                                      : "la coupe n'a pas de liste d'équipes");
    if (!contents.plan)
        return refuse(err, "la coupe n'a pas de plan choisi qui existe pour ses nombres");
    if (!setup.seed)
        return refuse(err, "la coupe n'a pas de graine de tirage");
    const AssignmentResult assigned =
        assignTeams(*contents.list, contents.mapping, planEntrants(*contents.plan), *setup.seed);
    if (!assigned.ok())
        return refuse(err, assigned.error);
    if (calc.format == OutputFormat::Csv)
        writeAssignmentCsv(*contents.list, *assigned.assignment, out, calc.separator);
    else
        writeAssignmentTable(*contents.list, *assigned.assignment, out);
    return kExitSuccess;
}

int createCup(const CupArguments &cup, ByteSink &out, std::ostream &err)
{
    const ParsedTeamsCommandLine parsed = parseTeamsCommandLine(cup.rest);
    if (parsed.action == ParsedTeamsCommandLine::Action::Error)
        return refuse(err, parsed.error);
    if (parsed.action != ParsedTeamsCommandLine::Action::Run) {
        out.write(kHelp);
        return kExitSuccess;
    }
    const TeamsRequest &request = parsed.request;
    if (request.path.empty())
        return refuse(err, "l'option --nouvelle attend une liste d'équipes : --equipes LISTE");
    if (request.levels)
        return refuse(err, "l'option --niveaux ne se combine pas avec --nouvelle");
    if (cup.newName->empty())
        return refuse(err, "l'option --nouvelle attend le nom de la coupe");

    const TeamListResult read = readTeamList(request.path);
    for (const std::string &warning : read.warnings)
        err << kProgram << ": " << warning << '\n';
    if (!read.ok())
        return refuse(err, read.error);

    CupSetup setup;
    setup.name = *cup.newName;
    setup.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    const Problem &problem = request.calc.problem;
    setup.registered = static_cast<std::int32_t>(read.list->teams.size());
    setup.finale = problem.finale;
    setup.entrants1 = problem.entrants1;
    setup.ratioChoices[3] = problem.round4 == Ratio::Half ? 0 : 1;
    setup.ratioChoices[4] = problem.quarterFinal == Ratio::Half ? 0 : 1;
    setup.ratioChoices[5] = problem.semiFinal == Ratio::Half ? 0 : 1;
    setup.classNumber = request.classNumber;
    setup.position = request.position;
    if (!rebuildCup(setup).plan)
        return refuse(err, "pas de solution " + std::to_string(request.position) +
                               " dans la classe " + std::to_string(request.classNumber) +
                               " pour ces nombres : la coupe n'est pas créée");
    setup.list = importedListOf(*read.list, displayName(request.path));
    setup.levelRounds = levelRoundsOf(LevelMapping::defaults(*read.list));
    if (request.seed) {
        setup.seed = request.seed;
    } else {
        std::random_device device;
        setup.seed = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }
    if (cup.levelOrder)
        setup.levelOrder = splitList(*cup.levelOrder, ',');

    // Two teams of one name, or entry rounds that do not fill the plan: the cup could never
    // be played, so it is not made.
    const CupInputsResult inputs = cupInputsOf(setup, rebuildCup(setup));
    if (!inputs.inputs)
        return refuse(err, inputs.error);
    const CupOpening opening = CupStore::create(QString::fromStdString(cup.path), setup);
    if (!opening.ok())
        return openingFailed(err, opening);
    return kExitSuccess;
}

} // namespace

CupArguments splitCupArguments(const std::vector<std::string> &args)
{
    CupArguments cup;
    bool havePath = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "--") {
            cup.rest.insert(cup.rest.end(), args.begin() + static_cast<std::ptrdiff_t>(k),
                            args.end());
            break;
        }
        if (args[k] == "--entrees") {
            cup.entries = true;
            continue;
        }
        std::string error;
        if (takeActionOption(args, k, cup, error)) {
            if (!error.empty() && cup.error.empty())
                cup.error = error;
            continue;
        }
        if (auto path = optionValue(args, k, "--coupe", error)) {
            if (havePath && error.empty())
                error = "une seule coupe à la fois : --coupe est donnée deux fois";
            cup.path = *path;
            havePath = true;
        } else if (auto name = optionValue(args, k, "--nouvelle", error)) {
            cup.newName = *name;
        } else if (auto order = optionValue(args, k, "--ordre-niveaux", error)) {
            cup.levelOrder = *order;
        } else {
            cup.rest.push_back(args[k]);
        }
        if (!error.empty() && cup.error.empty())
            cup.error = error;
    }
    if (cup.error.empty() && (!havePath || cup.path.empty()))
        cup.error = "l'option --coupe attend le nom d'un fichier";
    if (cup.error.empty() && cup.entries && cup.newName)
        cup.error = "les options --entrees et --nouvelle ne se combinent pas";
    if (cup.error.empty() && cup.action.kind != CupAction::Kind::None &&
        (cup.entries || cup.newName))
        cup.error = "une action sur la coupe ne se combine ni avec --entrees ni avec --nouvelle";
    if (cup.error.empty() && cup.action.kind == CupAction::Kind::None &&
        (cup.action.redo || cup.action.correct || cup.action.score || cup.action.game))
        cup.error = "les options --refaire, --corriger, --score et --partie accompagnent "
                    "--tirage, --gagnant, --forfait ou --qualifiee";
    if (cup.error.empty() && cup.levelOrder && !cup.newName)
        cup.error = "l'option --ordre-niveaux ne s'emploie qu'avec --nouvelle";
    return cup;
}

int runCupCalc(const std::vector<std::string> &args, ByteSink &out, std::ostream &err)
{
    for (const std::string &arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            out.write(kHelp);
            return kExitSuccess;
        }
        if (arg == "--version") {
            out.write(std::string(kProgram) + ' ' + VELMORIN_VERSION + '\n');
            return kExitSuccess;
        }
    }
    const CupArguments cup = splitCupArguments(args);
    if (!cup.error.empty())
        return refuse(err, cup.error);
    if (cup.action.kind != CupAction::Kind::None)
        return runCupAction(cup, out, err);
    return cup.newName ? createCup(cup, out, err) : showCup(cup, out, err);
}

} // namespace velmorin::cli
