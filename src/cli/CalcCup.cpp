#include "CalcCup.h"

#include "CalcCupPrivate.h"
#include "CalcCupServer.h"
#include "EntriesCsv.h"

#include "ByteSink.h"
#include "Calc.h"
#include "CalcTeams.h"
#include "CupContents.h"
#include "CupStore.h"
#include "CsvWriter.h"
#include "CupText.h"
#include "TeamCsv.h"
#include "TeamFile.h"
#include "VisibleText.h"
#include "Version.h"

#include <QDate>

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <random>

namespace velmorin::cli {

namespace cupprivate {

std::string shownLines(const std::string &text)
{
    std::string shown;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        shown += (start > 0 ? "\n" : "") + withVisibleControls(text.substr(start, end - start));
        start = end + 1;
    }
    return shown;
}

// Every refusal of the cup lines is one sentence, whoever worded it; the names it quotes come
// from the cup, whoever made it, and cannot drive the terminal.
int refuse(std::ostream &err, const std::string &message)
{
    err << kProgram << ": " << shownLines(sentence(message)) << '\n' << std::flush;
    return kExitUsage;
}

int openingFailed(std::ostream &err, const CupOpening &opening)
{
    err << kProgram << ": " << shownLines(sentence(opening.message)) << '\n' << std::flush;
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
    "Usage : velmorin-calc --coupe FICHIER --nouvelle NOM --equipes LISTE\n"
    "                      [--graine S] [--ordre-niveaux O] [--tour4 R] [--quart R]\n"
    "                      [--demi R]\n"
    "                      FINALE ENTRANTS1 CLASSE POSITION\n"
    "        velmorin-calc --coupe FICHIER [--entrees] [--format F] [--separateur S]\n"
    "        velmorin-calc --coupe FICHIER --tirage T [--refaire] [--format F]\n"
    "        velmorin-calc --coupe FICHIER --gagnant T EQUIPE [--score G-P]\n"
    "                      [--partie 1|2|barrage] [--corriger]\n"
    "        velmorin-calc --coupe FICHIER --forfait T EQUIPE [--partie 1|2|barrage]\n"
    "                      [--corriger]\n"
    "        velmorin-calc --coupe FICHIER --qualifiee T EQUIPE\n"
    "                      [--partie 1|2|barrage]\n"
    "        velmorin-calc --coupe FICHIER --exemptees \"EQUIPE;EQUIPE\"\n"
    "        velmorin-calc --coupe FICHIER --annuler-tirage T\n"
    "        velmorin-calc --coupe FICHIER --pointage T EQUIPE [--absente]\n"
    "        velmorin-calc --coupe FICHIER --jeux [SALLE] PREMIER-DERNIER\n"
    "        velmorin-calc --coupe FICHIER --horaire T \"JOUR HH:MM\"\n"
    "        velmorin-calc --coupe FICHIER --duree DUREE\n"
    "        velmorin-calc --coupe FICHIER --tour T [--format F] [--separateur S]\n"
    "        velmorin-calc --coupe FICHIER --tableau [--format F] [--separateur S]\n"
    "        velmorin-calc --coupe FICHIER --jeton T POULE | --jetons\n"
    "        velmorin-calc --coupe FICHIER --revoquer JETON\n"
    "        velmorin-calc --coupe FICHIER --publier ADRESSE\n"
    "        velmorin-calc --coupe ADRESSE --copie FICHIER\n"
    "        velmorin-calc --coupe ADRESSE --salle NOM --role ROLE\n"
    "        velmorin-calc --coupe ADRESSE --affecter T POULE SALLE\n"
    "\n"
    "Mène une coupe (fichier .velmorin), de la liste des équipes jusqu'aux équipes\n"
    "de la finale. Chaque opération est enregistrée aussitôt dans la coupe.\n"
    "\n"
    "Étapes :\n"
    "  1. Choisir le plan : velmorin-calc INSCRITES FINALE ENTRANTS1 donne, pour\n"
    "     chaque CLASSE (3, 2, 1), ses solutions numérotées (la POSITION) ;\n"
    "     velmorin-calc --plans classe les plans selon vos souhaits (équipes\n"
    "     entrant à chaque tour, taille des tours) et donne les mêmes nombres.\n"
    "  2. Créer la coupe : --nouvelle NOM --equipes LISTE FINALE ENTRANTS1 CLASSE\n"
    "     POSITION ; INSCRITES est le nombre d'équipes de la liste. Un fichier qui\n"
    "     existe déjà n'est jamais remplacé. --entrees montre le tour d'entrée de\n"
    "     chaque équipe.\n"
    "  3. Tirer le Tour 1 (--tirage 1), saisir ses résultats (--gagnant,\n"
    "     --forfait), puis tirer le tour suivant une fois le tour terminé, et ainsi\n"
    "     de suite jusqu'à la finale : --tableau la montre une fois connue.\n"
    "  4. Dans les classes 2 et 3, le plan exempte des équipes du Tour 4 : les\n"
    "     mieux classées, ou celles que --exemptees choisit, une fois le Tour 3\n"
    "     terminé et avant le tirage du Tour 4.\n"    "  5. Le jour de la coupe : avant chaque tirage, pointer les équipes présentes\n"
    "     et absentes (--pointage) ; une équipe absente est tirée comme les autres\n"
    "     et perd ses parties par forfait. Les jeux de la salle (--jeux), l'heure\n"
    "     de début de chaque tour (--horaire) et la durée d'une partie (--duree)\n"
    "     donnent à chaque partie son jeu et son heure : les deux premières\n"
    "     parties d'une poule côte à côte, son barrage ensuite sur l'un de leurs\n"
    "     jeux ; faute de jeux libres, les parties attendent le premier libéré.\n"
    "  --refaire tire de nouveau un tour tant qu'aucun résultat n'y est saisi et\n"
    "  que le tour suivant n'est pas tiré. --annuler-tirage ne vaut que pour le\n"
    "  dernier tour tiré, et efface ses résultats. Un résultat se corrige\n"
    "  (--corriger) tant que le tour suivant n'est pas tiré. Une fois le Tour 1\n"
    "  tiré, les nombres, le plan, la liste et la graine de la coupe ne changent\n"
    "  plus.\n"
    "\n"
    "Arguments :\n"
    "  FINALE ENTRANTS1  équipes en finale et entrant au tour 1, comme pour\n"
    "                    velmorin-calc (velmorin-calc --help)\n"
    "  CLASSE POSITION   la solution choisie : classe 1, 2 ou 3, position 1, 2, ...\n"
    "  T                 un tour, de 1 à 6 (5 : quart, 6 : demi-finale)\n"
    "  EQUIPE            le nom de l'équipe dans la liste, ou #N pour la N-ième\n"
    "                    équipe dans l'ordre de la liste (#1 la première) ; un nom\n"
    "                    l'emporte sur un numéro\n"
    "  ADRESSE           une coupe sur un serveur PostgreSQL : une adresse libpq,\n"
    "                    # et le nom de la coupe tel quel, par exemple\n"
    "                    postgresql://organisateur@serveur/base#Coupe du Rhône ;\n"
    "                    le mot de passe vient de ~/.pgpass ou de PGPASSWORD,\n"
    "                    jamais de l'adresse\n"
    "\n"
    "Options :\n"
    "  --coupe FICHIER     la coupe ; seule, affiche son résumé\n"
    "  --nouvelle NOM      crée la coupe NOM à partir de --equipes LISTE (CSV, ODS\n"
    "                      ou XLSX, comme velmorin-calc --equipes)\n"
    "  --graine S          graine du tirage (0 à 2^64-1), tirée au hasard sinon\n"
    "  --ordre-niveaux O   les niveaux du plus fort au plus faible, séparés par des\n"
    "                      virgules\n"
    "  --tour4 R, --quart R, --demi R  rapports 1/2 ou 3/4 (1/2 par défaut)\n"
    "  --entrees           le tour d'entrée de chaque équipe pour le plan choisi\n"
    "  --tirage T          tire le tour T (affiche ses parties)\n"
    "  --refaire           avec --tirage : tire de nouveau un tour sans résultat\n"
    "  --gagnant T EQUIPE  EQUIPE gagne sa partie en attente du tour T\n"
    "  --score G-P         avec --gagnant : points du gagnant, puis du perdant\n"
    "  --forfait T EQUIPE  EQUIPE se retire de la coupe au tour T : elle perd par\n"
    "                      forfait chaque partie qui lui reste\n"
    "  --partie P          la partie de l'équipe dans sa poule : 1, 2 ou barrage ;\n"
    "                      sans elle, --gagnant et --forfait prennent la partie que\n"
    "                      l'équipe a à jouer\n"
    "  --corriger          avec --gagnant ou --forfait : change un résultat saisi ;\n"
    "                      sans --partie, la dernière partie jouée que l'équipe a\n"
    "                      gagnée (--gagnant) ou perdue (--forfait), à défaut sa\n"
    "                      dernière partie jouée\n"
    "  --qualifiee T EQUIPE  quand les deux équipes d'une partie ont déclaré\n"
    "                      forfait, la mieux classée la gagne ; --qualifiee\n"
    "                      désigne l'autre\n"
    "  --exemptees \"A;B\"   les équipes exemptées du Tour 4\n"
    "  --annuler-tirage T  annule le tirage du dernier tour tiré T\n"    "  --pointage T EQUIPE  pointe EQUIPE présente au tour T, pas encore tiré\n"
    "  --absente           avec --pointage : pointe l'équipe absente\n"
    "  --jeux [SALLE] J    les jeux de la salle, du premier au dernier (1-24) ;\n"
    "                      sans SALLE, la salle unique ; aucun : plus de jeux\n"
    "  --horaire T H       l'heure de début du tour T (\"samedi 14:00\") ; aucune :\n"
    "                      pas d'heure\n"
    "  --duree D           la durée d'une partie (1 h 30 par défaut)\n"
    "  --tour T            affiche le tour T, ses parties et ses résultats\n"
    "  --tableau           affiche toute la coupe ; en html, une page lisible sur un\n"
    "                      téléphone, chaque score à côté de son équipe\n"
    "  --jeton T POULE     un jeton de saisie des résultats de la poule POULE du\n"
    "                      tour T depuis les jeux : affiche son adresse\n"
    "                      /saisie/JETON sur velmorin-serveur (montrée une fois)\n"
    "  --jetons            les jetons de la coupe, par leur nom court\n"
    "  --revoquer JETON    révoque un jeton (le jeton ou son nom court)\n"
    "  --format F          table (par défaut), csv, ou html avec --tableau\n"
    "  --separateur S      séparateur des champs csv : , (par défaut) ou ;\n"
    "  --publier ADRESSE   copie la coupe du fichier sur un serveur, pour que\n"
    "                      plusieurs salles la jouent ensemble\n"
    "  --copie FICHIER     copie la coupe du serveur dans un nouveau fichier\n"
    "  --salle NOM         avec --role ROLE : ajoute à la coupe du serveur la salle\n"
    "                      NOM, qui s'y connecte avec le rôle PostgreSQL ROLE et n'y\n"
    "                      saisit que les résultats de ses poules\n"
    "  --role ROLE         le rôle PostgreSQL de la salle (il doit exister)\n"
    "  --affecter T POULE SALLE  confie à la salle SALLE la poule POULE du tour T\n"
    "                      (la partie, aux tours en parties de deux)\n"
    "  -h, --help          affiche cette aide\n"
    "\n"
    "Code de retour : 0 réussite, 1 la coupe ou la sortie n'a pas pu être écrite\n"
    "(une opération enregistrée dont l'affichage échoue le dit), 2 refus (une\n"
    "phrase sur la sortie d'erreur ; la coupe n'est pas modifiée).\n";

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
    if (calc.format == OutputFormat::Csv) {
        CsvWriter csv(out, calc.separator);
        csv.header(std::array<std::string_view, 2>{"cle", "valeur"});
        const auto text = [&csv](std::string_view key, std::string_view value) {
            csv.plain(key).text(value).endRow();
        };
        const auto number = [&csv](std::string_view key, long long value) {
            csv.plain(key).number(value).endRow();
        };
        text("nom", setup.name);
        text("date", setup.date);
        number("inscrites", setup.registered);
        number("finale", setup.finale);
        number("entrants1", setup.entrants1);
        text("tour4", ratioText(problem.round4));
        text("quart", ratioText(problem.quarterFinal));
        text("demi", ratioText(problem.semiFinal));
        text("classe", classText);
        text("position", positionText);
        text("graine", seedText);
        text("equipes", teams);
        text("liste", listName);
        csv.flush();
        return;
    }
    LineBuffer line(out);
    // The cup may come from anyone: its texts cannot drive the terminal.
    line.text("Coupe : ").text(tableCellText(setup.name)).endLine();
    line.text("Date : ").text(tableCellText(setup.date)).endLine();
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
        line.text(tableCellText(listName)).text(" (").text(teams).text(" équipes)");
    else if (setup.list)
        line.text(tableCellText(listName))
            .text(" (illisible : ")
            .text(tableCellText(contents.listError))
            .text(")");
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
    bool separatorGiven = false;
    const ArgumentsRead read = readArguments(cup.rest, [&](const OptionArgument &option) {
        if (option.name != "--format" && option.name != "--separateur")
            return "option inconnue " + quotedArgument(option.name) + " avec --coupe";
        const std::optional<std::string_view> value = option.value();
        if (!value)
            return valueMissing(option.name);
        separatorGiven = separatorGiven || option.name == "--separateur";
        return applyValueOption(option.name, *value, calc);
    });
    if (read.end == ArgumentsRead::End::Refused)
        return refuse(err, read.error);
    if (separatorGiven && calc.format != OutputFormat::Csv)
        return refuse(err, separatorWithoutCsv());
    if (!read.positional.empty())
        return refuse(err, "Argument en trop " + quotedArgument(read.positional.front()) +
                               " avec --coupe.");

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
        return refuse(err, setup.list ? "La liste d'équipes de la coupe est illisible : " +
                                            contents.listError
                                      : "La coupe n'a pas de liste d'équipes.");
    if (!contents.plan)
        return refuse(err, "La coupe n'a pas de plan choisi qui existe pour ses nombres.");
    if (!setup.seed)
        return refuse(err, "La coupe n'a pas de graine de tirage.");
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
        return refuse(err, "L'option --nouvelle attend une liste d'équipes : --equipes LISTE.");
    if (request.levels)
        return refuse(err, "L'option --niveaux ne se combine pas avec --nouvelle.");
    if (cup.newName->empty())
        return refuse(err, "L'option --nouvelle attend le nom de la coupe.");

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
        return refuse(err, "Pas de solution " + std::to_string(request.position) +
                               " dans la classe " + std::to_string(request.classNumber) +
                               " pour ces nombres : la coupe n'est pas créée.");
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
                error = "Une seule coupe à la fois : --coupe est donnée deux fois.";
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
        cup.error = "L'option --coupe attend le nom d'un fichier.";
    if (cup.error.empty() && cup.entries && cup.newName)
        cup.error = "Les options --entrees et --nouvelle ne se combinent pas.";
    if (cup.error.empty() && cup.action.kind != CupAction::Kind::None &&
        (cup.entries || cup.newName))
        cup.error = "Une action sur la coupe ne se combine ni avec --entrees ni avec --nouvelle.";
    if (cup.error.empty() && cup.action.kind == CupAction::Kind::None &&
        (cup.action.redo || cup.action.correct || cup.action.score || cup.action.game ||
         cup.action.absent))
        cup.error = "Les options --refaire, --corriger, --score, --partie et --absente "
                    "accompagnent --tirage, --gagnant, --forfait, --qualifiee ou --pointage.";
    if (cup.error.empty() && cup.levelOrder && !cup.newName)
        cup.error = "L'option --ordre-niveaux ne s'emploie qu'avec --nouvelle.";
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
    if (isServerRun(args))
        return runCupServer(args, err);
    const CupArguments cup = splitCupArguments(args);
    if (!cup.error.empty())
        return refuse(err, cup.error);
    if (cup.action.kind != CupAction::Kind::None)
        return runCupAction(cup, out, err);
    return cup.newName ? createCup(cup, out, err) : showCup(cup, out, err);
}

std::string savedChange(const std::vector<std::string> &args)
{
    const CupArguments cup = splitCupArguments(args);
    if (!cup.error.empty())
        return {};
    const std::string round = "du Tour " + cup.action.roundText;
    switch (cup.action.kind) {
    case CupAction::Kind::Draw:
        return "Le tirage " + round;
    case CupAction::Kind::CancelDraw:
        return "L'annulation du tirage " + round;
    case CupAction::Kind::Winner:
    case CupAction::Kind::Forfeit:
        return "Le résultat";
    case CupAction::Kind::Exempted:
        return "Le choix des équipes exemptées";
    case CupAction::Kind::RollCall:
        return "Le pointage";
    case CupAction::Kind::Lanes:
        return "Le choix des jeux";
    case CupAction::Kind::Start:
        return "L'horaire " + round;
    case CupAction::Kind::GameLength:
        return "La durée des parties";
    case CupAction::Kind::Token:
        return "Le jeton";
    case CupAction::Kind::Revoke:
        return "La révocation du jeton";
    default:
        return {};
    }
}

int cupRunStatus(const std::vector<std::string> &args, int status, int writeError,
                 const std::string &writeMessage, std::ostream &err)
{
    if (writeError == 0 || writeError == EPIPE)
        return status;
    const std::string saved = status == kExitSuccess ? savedChange(args) : std::string();
    err << kProgram << ": "
        << sentence(saved.empty() ? writeMessage
                                  : saved + " est enregistré dans la coupe, mais son affichage a "
                                            "échoué : " +
                                        writeMessage)
        << '\n';
    return kExitWriteError;
}

} // namespace velmorin::cli
