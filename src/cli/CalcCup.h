#pragma once

// velmorin-calc --coupe: a cup file's summary, its teams' entry rounds, or a new cup made
// from a team list. A program of its own (velmorin-calc-coupe), so that the calculator runs
// that open no cup never load the store.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace velmorin {
class ByteSink;
}

namespace velmorin::cli {

// What a run does to a played cup: one action at a time.
struct CupAction
{
    enum class Kind {
        None,
        Draw,
        CancelDraw,
        ShowRound,
        Winner,
        Forfeit,
        Qualified,
        Exempted,
        Board,
        Token,
        Tokens,
        Revoke,
        RollCall,
        Lanes,
        Start,
        GameLength
    };
    Kind kind = Kind::None;
    std::string roundText;            // as given, checked when the action runs
    // --gagnant, --forfait, --qualifiee, --pointage; --exemptees' list; --jeton's group;
    // --revoquer's token
    std::string team;
    std::optional<std::string> score; // --score
    std::optional<std::string> game;  // --partie: 1, 2 or barrage
    bool redo = false;                // --refaire
    bool correct = false;             // --corriger
    bool absent = false;              // --absente, with --pointage
    std::optional<std::string> hall;  // --jeux SALLE 1-24
    std::string value;                // --jeux's lanes, --horaire's time, --duree's length
};

// The options that belong to the cup lines, taken out of the arguments; what is left is read
// as the other command lines read it.
struct CupArguments
{
    std::string path;                      // --coupe
    std::optional<std::string> newName;    // --nouvelle
    std::optional<std::string> levelOrder; // --ordre-niveaux
    bool entries = false;                  // --entrees
    CupAction action;
    std::vector<std::string> rest;
    std::string error; // French, when the cup options themselves are wrong
};

CupArguments splitCupArguments(const std::vector<std::string> &args);

// The action's run on the cup file; `rest` holds at most --format.
int runCupAction(const CupArguments &cup, ByteSink &out, std::ostream &err);

// The entry tokens' actions (--jeton, --jetons, --revoquer), CalcCupTokens.cpp.
int runTokenAction(const CupArguments &cup, ByteSink &out, std::ostream &err);

// Exit codes as runCalc: 0 done, 1 the cup could not be written, 2 refused (nothing changed).
int runCupCalc(const std::vector<std::string> &args, ByteSink &out, std::ostream &err);

// What a run of these arguments saves in the cup before it prints anything ("Le résultat"),
// empty for a run that changes nothing: an output that fails after it must not hide that the
// change is kept.
std::string savedChange(const std::vector<std::string> &args);

// The run's exit status once its output is over: a failed write (but a reader that went away)
// is told, with what the run had already saved, and gives kExitWriteError.
int cupRunStatus(const std::vector<std::string> &args, int status, int writeError,
                 const std::string &writeMessage, std::ostream &err);

} // namespace velmorin::cli
