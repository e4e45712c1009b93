#include "Calc.h"

#include "CalcOptions.h"
#include "CalcTeams.h"
#include "Overview.h"
#include "SolutionTable.h"
#include "Version.h"

#include <ostream>
#include <string>

namespace velmorin::cli {

namespace {

constexpr const char *kProgram = "velmorin-calc";

constexpr const char *kHelp =
    "Usage : velmorin-calc [OPTIONS] INSCRITES FINALE ENTRANTS1\n"
    "        velmorin-calc --scan [OPTIONS] INSCRITES FINALE\n"
    "        velmorin-calc --plans [SOUHAITS] [OPTIONS] INSCRITES FINALE\n"
    "        velmorin-calc --equipes FICHIER [OPTIONS] FINALE ENTRANTS1 CLASSE POSITION\n"
    "        velmorin-calc --equipes FICHIER --niveaux [--ordre-niveaux ORDRE]\n"
    "        velmorin-calc --coupe FICHIER ... (velmorin-calc --coupe FICHIER --help)\n"
    "\n"
    "Cherche, pour les classes d'exemption 3, 2 puis 1 (2, 1 puis aucune équipe\n"
    "exemptée du tour 4), toutes les répartitions des équipes inscrites entre les\n"
    "tours 1 à 4 qui donnent des tours entiers.\n"
    "\n"
    "Arguments :\n"
    "  INSCRITES    nombre d'équipes inscrites\n"
    "  FINALE       nombre d'équipes en finale\n"
    "  ENTRANTS1    nombre d'équipes entrant au tour 1\n"
    "  Entiers sur 32 bits (de -2147483648 à 2147483647), en décimal ou en\n"
    "  hexadécimal ('$47', 0x47, au plus 8 chiffres significatifs). Un nombre\n"
    "  négatif se donne après -- (velmorin-calc -- -5 6 0).\n"
    "  Mettez la forme $ entre apostrophes : sans elles, le shell remplace $4 par\n"
    "  un texte vide et $47 devient 7.\n"
    "\n"
    "Options :\n"
    "  --tour4 R        rapport de qualification du tour 4 (1/8 finale), 1/2 ou 3/4\n"
    "  --quart R        rapport du quart de finale, 1/2 ou 3/4\n"
    "  --demi R         rapport de la demi-finale, 1/2 ou 3/4\n"
    "                   (1/2 par défaut pour les trois)\n"
    "  --format F       table (par défaut, pour la lecture) ou csv\n"
    "  --separateur S   séparateur des champs csv : , (par défaut) ou ;\n"
    "                   (pour les tableurs français) ; refusé avec le format table\n"
    "  --counts         seulement le nombre de solutions de chaque classe, en csv\n"
    "                   (selon --separateur), ou en table avec --format table\n"
    "  --scan           vue d'ensemble, sans ENTRANTS1 : pour ENTRANTS1 = 0, 4, 8, ...\n"
    "                   jusqu'à INSCRITES (au-delà du maximum de la fenêtre aussi),\n"
    "                   le nombre de solutions des classes 3, 2, 1 (seules les\n"
    "                   valeurs avec une solution)\n"
    "  --plans          les meilleurs plans, sans ENTRANTS1 : parmi ENTRANTS1 = 0, 4,\n"
    "                   8, ... jusqu'à INSCRITES, chaque classe et chaque\n"
    "                   solution, classés par écart aux souhaits (la somme des\n"
    "                   distances aux intervalles), puis classe 1, 2, 3, ENTRANTS1\n"
    "                   et position\n"
    "  --equipes F      liste des équipes inscrites (CSV ou ODS, colonnes Équipe ou\n"
    "                   Nom, Club, Niveau ou Division (numéro ou nom), Points) :\n"
    "                   INSCRITES est son nombre d'équipes ; affiche le tour\n"
    "                   d'entrée de chaque équipe pour la solution POSITION (1, 2,\n"
    "                   ...) de la classe CLASSE (1, 2 ou 3) ; table ou csv\n"
    "                   (tour,equipe,club,niveau,points)\n"
    "  --graine S       graine du tirage entre équipes à égalité (0 à 2^64-1) ;\n"
    "                   tirée au hasard et affichée quand elle n'est pas donnée\n"
    "  --niveaux        avec --equipes : chaque niveau, ses équipes et son tour\n"
    "                   d'entrée (niveau le plus fort au tour 4, le suivant au\n"
    "                   tour 3, le suivant au tour 2, les autres au tour 1)\n"
    "  --ordre-niveaux O  avec --equipes : les niveaux du plus fort au plus faible,\n"
    "                   séparés par des points-virgules (\"Nationale 1;Régionale\") ;\n"
    "                   sinon les numéros croissants, puis les noms dans l'ordre de\n"
    "                   la liste\n"
    "  --coupe FICHIER  une coupe (fichier .velmorin) : la créer, la lire, tirer ses\n"
    "                   tours, enregistrer ses résultats ; ses lignes :\n"
    "                   velmorin-calc --coupe FICHIER --help\n"
    "  -h, --help       affiche cette aide\n"
    "  --version        affiche la version\n"
    "  Les options s'écrivent aussi --option=valeur.\n"
    "\n"
    "Souhaits, avec --plans. I vaut 8 (exactement), 6..10, 20.. (au moins) ou ..60\n"
    "(au plus), chaque nombre écrit comme les arguments :\n"
    "  --e1 I           équipes entrant au tour 1\n"
    "  --e2 I           équipes entrant au tour 2\n"
    "  --e3 I           équipes entrant au tour 3\n"
    "  --e4 I           équipes entrant au tour 4\n"
    "  --t2 I           équipes en jeu au tour 2\n"
    "  --t3 I           équipes en jeu au tour 3\n"
    "  --t4 I           équipes en jeu au tour 4\n"
    "  --strict         seulement les plans qui respectent tous les souhaits\n"
    "  --limite K       nombre de plans, de 1 à 1000000 (20 par défaut)\n"
    "\n"
    "Code de retour : 0 réussite (aussi quand le lecteur ferme la sortie, par\n"
    "exemple avec | head), 1 erreur d'écriture (disque plein, taille limite de\n"
    "fichier atteinte), 2 erreur d'utilisation.\n";

} // namespace

std::string_view calcHelp()
{
    return kHelp;
}

int runCalc(const std::vector<std::string> &args, ByteSink &out, std::ostream &err)
{
    // A team list is read by velmorin-calc-listes alone (runCalcWithLists): not here.
    if (usesTeamList(args)) {
        err << kProgram << ": la lecture des listes d'équipes passe par velmorin-calc-listes.\n"
            << std::flush;
        return kExitUsage;
    }
    const ParsedCommandLine parsed = parseCommandLine(args);
    switch (parsed.action) {
    case ParsedCommandLine::Action::Error:
        err << kProgram << ": " << parsed.error << '\n'
            << "Essayez « " << kProgram << " --help ».\n"
            << std::flush;
        return kExitUsage;
    case ParsedCommandLine::Action::Help:
        out.write(kHelp);
        return kExitSuccess;
    case ParsedCommandLine::Action::Version:
        out.write(std::string(kProgram) + ' ' + VELMORIN_VERSION + '\n');
        return kExitSuccess;
    case ParsedCommandLine::Action::Run:
        break;
    }

    // A failed write stops the output; whether it deserves a message is the caller's call.
    if (parsed.request.plans.enabled) {
        writePlans(parsed.request.problem, parsed.request.plans,
                   parsed.request.format == OutputFormat::Csv, parsed.request.separator, out);
        return kExitSuccess;
    }
    if (parsed.request.scan) {
        if (parsed.request.format == OutputFormat::Csv)
            writeOverviewCsv(parsed.request.problem, out, parsed.request.separator);
        else
            writeOverviewTable(parsed.request.problem, out);
        return kExitSuccess;
    }
    const Calculation calculation = calculate(parsed.request.problem);
    switch (parsed.request.format) {
    case OutputFormat::Csv:
        writeCsv(calculation, out, parsed.request.separator);
        break;
    case OutputFormat::Counts:
        writeCounts(calculation, out, parsed.request.separator);
        break;
    case OutputFormat::CountsTable:
        writeCountsTable(calculation, out);
        break;
    case OutputFormat::Table:
        writeTable(calculation, out);
        break;
    }
    return kExitSuccess;
}

int runCalc(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    OstreamSink sink(out);
    const int status = runCalc(args, sink, err);
    out.flush();
    return status;
}

} // namespace velmorin::cli
