#pragma once

// What the cup's window says around the cup's own answers: where the cup stands, what a
// question would undo (in the conditional, before the organiser answers), what its keys ask
// for, where a file went. The answers after a command are the cup's (Cup::apply), the same
// for the window and the calculator.

#include "Cup.h"

#include <string>
#include <string_view>

namespace velmorin {

// "aucun résultat", "1 résultat", "3 résultats" ("aucune partie" when `feminine`): French
// counts take the singular below two.
std::string countOf(long long count, std::string_view singular, std::string_view plural,
                    bool feminine = false);

// "Tour 2".
std::string roundLabel(int round);
// "la partie 1 de la poule 3 du Tour 2", "le barrage de la poule 3 du Tour 2", "la partie n° 5
// du Tour 5".
std::string gameLabel(const CupLayout &layout, const GameRef &game);
// "« Tassin A »", its control characters shown.
std::string quotedTeam(const CupTeam &team);

// The banner: the round in play and its results so far, or what comes next.
std::string cupProgress(const Cup &cup, int round);
// "poule 3 : Tassin A et Tassin B (Tassin)".
std::string meetingText(const Cup &cup, const Meeting &meeting);
// The club meetings of a round the draw could not avoid, the first `shown` named; empty
// without any.
std::string meetingsLine(const Cup &cup, int round, std::size_t shown);
// Round 4's exempted teams, drawn, chosen or still to choose; empty when round 4 exempts none.
std::string exemptedLine(const Cup &cup);
// Why a choice of exempted teams that does not count the plan's number is not taken.
std::string exemptedCountRefusal(const Cup &cup);
// "Équipes de la finale : …"; empty before they are known.
std::string finalTeamsLine(const Cup &cup);

// The questions before undoing, in the conditional, with all that would go.
std::string cancelQuestion(const Cup &cup, int round);
std::string redrawQuestion(const Cup &cup, int round);
// `after` is `before` with the correction of `game` applied.
std::string correctionQuestion(const Cup &before, const Cup &after, const GameRef &game);

// "Feuilles du Tour 2 enregistrées dans /chemin/feuilles.pdf."
std::string sheetsSaved(int round, std::string_view path);
std::string pageSaved(std::string_view path);

namespace cupwords {
inline constexpr std::string_view kNoCup = "Aucune coupe n'est ouverte.";
inline constexpr std::string_view kWinnerFirst =
    "Choisissez d'abord le gagnant (1 ou A, 2 ou B) : le score donne ses points en premier.";
inline constexpr std::string_view kBarrageWaits =
    "Cette partie attend les résultats des parties 1 et 2 de la poule.";
inline constexpr std::string_view kForfeitAsked =
    "Forfait : 1 ou A si l'équipe A déclare forfait, 2 ou B si c'est l'équipe B, Échap pour "
    "y renoncer.";
inline constexpr std::string_view kForfeitDropped = "Forfait abandonné.";
inline constexpr std::string_view kNothingChanged = "Rien n'a changé.";
inline constexpr std::string_view kAllEntered =
    "Toutes les parties du tour qui peuvent se jouer ont leur résultat.";
} // namespace cupwords

} // namespace velmorin
