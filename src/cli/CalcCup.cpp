#include "CalcCup.h"

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
#include <charconv>
#include <ostream>
#include <random>

namespace velmorin::cli {

namespace {

constexpr const char *kProgram = "velmorin-calc";

constexpr const char *kHelp =
    "Usage : velmorin-calc --coupe FICHIER [--format table|csv] [--separateur S]\n"
    "        velmorin-calc --coupe FICHIER --entrees [--format table|csv] [--separateur S]\n"
    "        velmorin-calc --coupe FICHIER --nouvelle NOM --equipes LISTE [--graine S]\n"
    "                      [--ordre-niveaux O] [--tour4 R --quart R --demi R]\n"
    "                      FINALE ENTRANTS1 CLASSE POSITION\n"
    "        velmorin-calc --coupe FICHIER --tirage T [--refaire] [--format table|csv]\n"
    "        velmorin-calc --coupe FICHIER --annuler-tirage T\n"
    "        velmorin-calc --coupe FICHIER --tour T [--format table|csv]\n"
    "        velmorin-calc --coupe FICHIER --gagnant T EQUIPE [--score 13-7] [--corriger]\n"
    "        velmorin-calc --coupe FICHIER --forfait T EQUIPE [--corriger]\n"
    "        velmorin-calc --coupe FICHIER --exemptees \"EQUIPE;EQUIPE\"\n"
    "        velmorin-calc --coupe FICHIER --tableau [--format table|csv|html]\n"
    "\n"
    "Lit une coupe (fichier .velmorin) : son résumé, ou le tour d'entrée de chaque équipe\n"
    "pour le plan choisi (--entrees). Avec --nouvelle, crée la coupe à partir d'une liste\n"
    "d'équipes ; un fichier qui existe déjà n'est jamais remplacé.\n"
    "Tire les tours, enregistre les gagnants et les forfaits, corrige un résultat tant que\n"
    "le tour suivant n'est pas tiré, annule un tirage ; chaque opération est enregistrée\n"
    "aussitôt dans la coupe. EQUIPE est le nom de l'équipe dans la liste, ou #N pour la\n"
    "N-ième équipe de la liste.\n";

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

// --- A played cup's actions ---

std::optional<int> roundOf(const std::string &text)
{
    int round = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), round);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || round < 1 ||
        round > kCupRounds)
        return std::nullopt;
    return round;
}

// "13-7": the winner's points, then the loser's.
std::optional<Score> scoreOf(const std::string &text)
{
    const auto dash = text.find('-');
    if (dash == std::string::npos)
        return std::nullopt;
    const auto points = [](std::string_view part) -> std::optional<int> {
        int value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() || value < 0 ||
            value > kMaxScore)
            return std::nullopt;
        return value;
    };
    const auto winner = points(std::string_view(text).substr(0, dash));
    const auto loser = points(std::string_view(text).substr(dash + 1));
    if (!winner || !loser)
        return std::nullopt;
    return Score{*winner, *loser};
}

enum class CupFormat { Table, Csv, Html };

// The team's game of a round that a correction changes: the first it is recorded as losing
// (the organiser names the team that really won it), else the last it played.
std::optional<GameRef> decidedGameOf(const Cup &cup, int round, int team, bool asLoser)
{
    const DrawRecord *draw = cup.drawnRound(round);
    if (draw == nullptr)
        return std::nullopt;
    std::optional<GameRef> lost;
    std::optional<GameRef> last;
    for (std::size_t g = 0; g < draw->groups.size(); ++g) {
        const auto &group = draw->groups[g];
        if (std::find(group.begin(), group.end(), team) == group.end())
            continue;
        for (const int game : {1, 2, kBarrage}) {
            const GameRef ref{round, static_cast<int>(g + 1), game};
            const auto sides = cup.gameTeams(ref);
            const auto result = cup.result(ref);
            if (!sides || !result || (sides->first != team && sides->second != team))
                continue;
            last = ref;
            if (asLoser && result->winner != team && !lost)
                lost = ref;
        }
    }
    return lost ? lost : last;
}

std::string meetingsText(const Cup &cup, int round)
{
    std::string text;
    const auto &teams = cup.teams();
    for (const Meeting &m : cup.meetings(round)) {
        const CupTeam &a = teams[static_cast<std::size_t>(m.teamA)];
        const CupTeam &b = teams[static_cast<std::size_t>(m.teamB)];
        text += std::string(kProgram) + ": Tour " + std::to_string(round) + ", poule " +
                std::to_string(m.group) + " : « " + a.name + " » et « " + b.name +
                " », du club « " + a.club + " », se rencontrent : le tirage n'a pas pu l'éviter.\n";
    }
    return text;
}

// The teams of "A;B" (names or #N), or the refusal of the first unknown one.
std::optional<std::vector<int>> teamsOf(const Cup &cup, const std::string &text, std::string &error)
{
    std::vector<int> teams;
    for (const std::string &name : splitList(text, ';')) {
        const TeamReference found = resolveTeam(cup.teams(), name);
        if (!found.team) {
            error = found.error;
            return std::nullopt;
        }
        teams.push_back(*found.team);
    }
    return teams;
}

// The options of a played cup's actions: one action a run, with its modifiers.
bool takeActionOption(const std::vector<std::string> &args, std::size_t &k, CupArguments &cup,
                      std::string &error)
{
    CupAction &action = cup.action;
    const std::string &arg = args[k];
    if (arg == "--refaire" || arg == "--corriger" || arg == "--tableau") {
        if (arg == "--refaire")
            action.redo = true;
        else if (arg == "--corriger")
            action.correct = true;
        else if (action.kind == CupAction::Kind::None)
            action.kind = CupAction::Kind::Board;
        else
            error = "une seule action sur la coupe à la fois";
        return true;
    }
    if (auto score = optionValue(args, k, "--score", error)) {
        action.score = *score;
        return true;
    }
    struct Named
    {
        const char *name;
        CupAction::Kind kind;
        bool round; // takes a round first
        bool team;  // then a team (or a list of them)
    };
    static constexpr Named named[] = {
        {"--tirage", CupAction::Kind::Draw, true, false},
        {"--annuler-tirage", CupAction::Kind::CancelDraw, true, false},
        {"--tour", CupAction::Kind::ShowRound, true, false},
        {"--gagnant", CupAction::Kind::Winner, true, true},
        {"--forfait", CupAction::Kind::Forfeit, true, true},
        {"--exemptees", CupAction::Kind::Exempted, false, true},
    };
    for (const Named &option : named) {
        const auto value = optionValue(args, k, option.name, error);
        if (!value)
            continue;
        if (action.kind != CupAction::Kind::None && error.empty())
            error = "une seule action sur la coupe à la fois";
        action.kind = option.kind;
        if (option.round && option.team) {
            action.roundText = *value;
            if (k + 1 >= args.size()) {
                if (error.empty())
                    error =
                        std::string("l'option ") + option.name + " attend un tour puis une équipe";
            } else {
                action.team = args[++k];
            }
        } else if (option.round) {
            action.roundText = *value;
        } else {
            action.team = *value;
        }
        return true;
    }
    return false;
}

} // namespace

int runCupAction(const CupArguments &cup, ByteSink &out, std::ostream &err)
{
    using Kind = CupAction::Kind;
    const CupAction &action = cup.action;
    CupFormat format = CupFormat::Table;
    for (std::size_t k = 0; k < cup.rest.size(); ++k) {
        std::string error;
        const auto value = optionValue(cup.rest, k, "--format", error);
        if (!error.empty())
            return refuse(err, error);
        if (!value)
            return refuse(err, "option ou argument en trop " + quotedArgument(cup.rest[k]) +
                                   " avec cette action sur la coupe");
        if (*value == "table")
            format = CupFormat::Table;
        else if (*value == "csv")
            format = CupFormat::Csv;
        else if (*value == "html" && action.kind == Kind::Board)
            format = CupFormat::Html;
        else
            return refuse(err, "format inconnu " + quotedArgument(*value) +
                                   (action.kind == Kind::Board
                                        ? " : table, csv ou html"
                                        : " : table ou csv (html pour --tableau)"));
    }
    if (action.redo && action.kind != Kind::Draw)
        return refuse(err, "l'option --refaire accompagne --tirage");
    if (action.correct && action.kind != Kind::Winner && action.kind != Kind::Forfeit)
        return refuse(err, "l'option --corriger accompagne --gagnant ou --forfait");
    if (action.score && action.kind != Kind::Winner)
        return refuse(err, "l'option --score accompagne --gagnant");
    std::optional<int> round;
    if (action.kind != Kind::Board && action.kind != Kind::Exempted) {
        round = roundOf(action.roundText);
        if (!round)
            return refuse(err, "le tour est un nombre de 1 à 6, pas " +
                                   quotedArgument(action.roundText));
    }
    std::optional<Score> score;
    if (action.score) {
        score = scoreOf(*action.score);
        if (!score)
            return refuse(err, "le score s'écrit points du gagnant, tiret, points du perdant "
                               "(13-7), pas " +
                                   quotedArgument(*action.score));
    }

    const bool writes = action.kind != Kind::ShowRound && action.kind != Kind::Board;
    const CupOpening opening =
        CupStore::open(QString::fromStdString(cup.path),
                       writes ? CupStore::Mode::ReadWrite : CupStore::Mode::ReadOnly);
    if (!opening.ok())
        return openingFailed(err, opening);
    CupStore &store = *opening.store;
    CupCreation made = store.cup();
    if (!made.ok())
        return refuse(err, made.error);
    Cup &played = *made.cup;
    const bool csv = format == CupFormat::Csv;
    if (action.kind == Kind::ShowRound) {
        out.write(csv ? roundCsv(played, *round) : roundTable(played, *round));
        return kExitSuccess;
    }
    if (action.kind == Kind::Board) {
        out.write(format == CupFormat::Html ? cupHtml(played)
                  : csv                     ? cupCsv(played)
                                            : cupTable(played));
        return kExitSuccess;
    }

    std::optional<int> team;
    if (action.kind == Kind::Winner || action.kind == Kind::Forfeit) {
        const TeamReference found = resolveTeam(played.teams(), action.team);
        if (!found.team)
            return refuse(err, found.error);
        team = found.team;
    }
    CupAnswer answer;
    switch (action.kind) {
    case Kind::Draw:
        answer = action.redo ? played.redraw(*round) : played.draw(*round);
        break;
    case Kind::CancelDraw:
        answer = played.cancelDraw(*round);
        break;
    case Kind::Exempted: {
        std::string error;
        const auto teams = teamsOf(played, action.team, error);
        if (!teams)
            return refuse(err, error);
        answer = played.setExempted(*teams);
        break;
    }
    case Kind::Winner:
    case Kind::Forfeit: {
        const bool forfeit = action.kind == Kind::Forfeit;
        if (!action.correct) {
            answer =
                forfeit ? played.forfeit(*round, *team) : played.recordWinner(*round, *team, score);
            break;
        }
        const auto game = decidedGameOf(played, *round, *team, !forfeit);
        if (!game)
            return refuse(err, "« " + played.teams()[static_cast<std::size_t>(*team)].name +
                                   " » n'a aucun résultat à corriger au Tour " +
                                   std::to_string(*round));
        const auto sides = played.gameTeams(*game);
        const int winner = !forfeit ? *team : sides->first == *team ? sides->second : sides->first;
        answer = played.correct(*game, winner, score, forfeit);
        break;
    }
    default:
        break;
    }
    if (!answer.done)
        return refuse(err, answer.text);
    const CupWrite written = store.saveRecords(
        played.records(), answer.text.empty() ? "Coupe jouée : " + action.roundText : answer.text);
    if (!written.saved) {
        err << kProgram << ": " << written.message << '\n' << std::flush;
        return kExitWriteError;
    }
    if (!written.message.empty())
        err << kProgram << ": " << written.message << '\n';
    if (action.kind == Kind::Draw) {
        err << meetingsText(played, *round) << std::flush;
        out.write(csv ? roundCsv(played, *round) : roundTable(played, *round));
    } else {
        out.write(answer.text + '\n');
    }
    return kExitSuccess;
}

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
        (cup.action.redo || cup.action.correct || cup.action.score))
        cup.error = "les options --refaire, --corriger et --score accompagnent --tirage, "
                    "--gagnant ou --forfait";
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
