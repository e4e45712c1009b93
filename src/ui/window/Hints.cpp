#include "Hints.h"

#include <QWidget>

#include <array>
#include <utility>

namespace velmorin {

namespace {

constexpr std::array<std::pair<const char *, const char *>, 33> kHints{{
    {"Effectif", "Nombre de quadrettes inscrites — entier, ou hexadécimal avec $"},
    {"Finale", "Équipes jouant la finale — flèches, Haut, Bas, + ou − pour changer"},
    {"UpFinale", "Change le nombre d'équipes en finale, de 2 en 2"},
    {"E1", "Équipes entrant au Tour 1, qui le jouent toutes — flèches, Haut, Bas, + ou −"},
    {"UpE1", "Change le nombre d'entrantes au Tour 1, de 4 en 4"},
    {"Button1", "Calcule les solutions des trois classes (Entrée dans « Inscrites »)"},
    {"Button2", "Quitte Velmorin (Ctrl+Q)"},
    {"Button3", "Version, auteur et historique de Velmorin"},
    {"T1", "Équipes jouant le Tour 1"},
    {"T2", "Équipes jouant le Tour 2 : les qualifiées du Tour 1 et les entrantes"},
    {"T3", "Équipes jouant le Tour 3 : les qualifiées du Tour 2 et les entrantes"},
    {"T4", "Équipes jouant le Tour 4 (1/8 de finale), exemptées comprises"},
    {"T5", "Équipes jouant les quarts de finale"},
    {"T6", "Équipes jouant les demi-finales"},
    {"T7", "Équipes jouant la finale"},
    {"E2", "Équipes entrant dans la coupe au Tour 2"},
    {"E3", "Équipes entrant dans la coupe au Tour 3"},
    {"E4", "Équipes entrant dans la coupe au Tour 4"},
    {"RG1", "Part des équipes du Tour 1 qui passent : toujours les trois quarts"},
    {"RG2", "Part des équipes du Tour 2 qui passent : toujours les trois quarts"},
    {"RG3", "Part des équipes du Tour 3 qui passent : toujours les trois quarts"},
    {"RG4", "Part des équipes du Tour 4 qui passent en quart de finale : la moitié ou les "
            "trois quarts"},
    {"RG5", "Part des quarts de finale qui passent : la moitié dans la fenêtre "
            "(velmorin-calc --quart pour les trois quarts)"},
    {"RG6", "Part des demi-finales qui passent : la moitié dans la fenêtre "
            "(velmorin-calc --demi pour les trois quarts)"},
    {"TrackBar1", "Parcourt les solutions sans équipe exemptée (classe 1)"},
    {"TrackBar2", "Parcourt les solutions avec une équipe exemptée du Tour 4 (classe 2)"},
    {"TrackBar3", "Parcourt les solutions avec deux équipes exemptées du Tour 4 (classe 3)"},
    {"solution1", "Solution affichée et nombre de solutions sans équipe exemptée"},
    {"Solution2", "Solution affichée et nombre de solutions avec une équipe exemptée"},
    {"Solution3", "Solution affichée et nombre de solutions avec deux équipes exemptées"},
    {"ExempNbrs", "Équipes exemptées du Tour 4 dans la classe affichée"},
    {"ExempLabel", "Équipes exemptées du Tour 4 dans la classe affichée : elles passent "
                   "directement en quart de finale"},
    {"Fini", "Aucune classe n'a de solution pour ces données"},
}};

} // namespace

QString controlHint(const QString &name)
{
    for (const auto &[control, hint] : kHints) {
        if (name == QLatin1String(control))
            return QString::fromUtf8(hint);
    }
    return {};
}

void installHints(const FormControls &controls)
{
    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        const QString hint = controlHint(it.key());
        if (hint.isEmpty())
            continue;
        it.value()->setToolTip(hint);
        if (it.value()->accessibleDescription().isEmpty())
            it.value()->setAccessibleDescription(hint);
    }
}

} // namespace velmorin
