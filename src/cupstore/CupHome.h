#pragma once

// A cup wherever it is kept: loaded whole, changed one command or setting at a time against
// the version it was decided on, its changes since any version asked for, and a listener told
// when another program changed it. The SQLite file (CupStore) is its first home; a server's
// database would be another behind the same calls. Everything that speaks a database's own
// dialect stays inside its home.
//
// One version counts every change of a cup, its settings and its play alike: the home's
// version() is the Cup's version() (Cup::apply moves both by one) and the number of the
// change that made it (changesSince).

#include "Cup.h"
#include "CupChanges.h"
#include "CupCommand.h"
#include "CupSetup.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmorin {

// A setting's answer. `message` is French, for the organiser: why it was not saved, or a
// notice about a change that was (the file had been removed and was written again).
struct CupWrite
{
    bool saved = true;
    std::string message;
    // Not saved: another program changed the cup since the version it was decided on, which
    // `message` names (staleCommandRefusal).
    bool changedMeanwhile = false;
};

// A command's answer.
struct CupApplied
{
    enum class Outcome {
        Done,       // applied and kept, or nothing to change (answer.changed)
        Refused,    // the cup's rules refuse it: nothing changed
        Stale,      // decided on a cup another program changed since: nothing changed
        WriteFailed // the home could not keep it: nothing changed
    };

    Outcome outcome = Outcome::Refused;
    // Done: the cup's answer; otherwise a refusal whose sentence says why (Stale: what
    // changed meanwhile).
    CupAnswer answer;
    std::optional<Cup> cup; // Done: the cup after the command
    std::string notice;     // Done, with something the organiser must read

    bool done() const { return outcome == Outcome::Done; }
};

enum class CupCount { Registered, Finale, Entrants1 };

class CupHome;

// Told when the home read the cup again because another program changed it.
class CupHomeListener
{
public:
    virtual ~CupHomeListener() = default;
    // `before`: the settings as they were, so that only what changed is shown again.
    virtual void cupChangedElsewhere(CupHome &home, const CupSetup &before) = 0;
};

class CupHome
{
public:
    virtual ~CupHome() = default;

    // Where the cup is kept, as the organiser named it (a file's path).
    virtual QString path() const = 0;
    virtual bool readOnly() const = 0;
    virtual const CupSetup &setup() const = 0;
    // The draws and results; their version is version().
    virtual const CupRecords &records() const = 0;
    // The version the cup was at when it was last read or written here.
    virtual std::uint64_t version() const = 0;
    // The cup its settings and records make, or the sentence saying what it lacks.
    virtual CupCreation cup() const = 0;
    // Round 1 drawn: the settings the cup is played from are refused until its draw is
    // cancelled (the name, the date and the wishes still change).
    bool isFrozen() const { return !records().draws.empty(); }

    // Applies a command decided on the cup at command.basedOn (version() when it names none):
    // the cup's refusal, or the command kept at once with its sentence as the change's, or,
    // when the cup changed since that version, a refusal naming the changes made meanwhile,
    // the cup then read again (the listener is told). `seen`: the cup the command was decided
    // on, as this home gave it, which saves making it again.
    CupApplied apply(const CupCommand &command, const Cup *seen = nullptr);

    // The changes since `version`, oldest first; none when they cannot be read.
    virtual std::optional<std::vector<CupChange>> changesSince(std::uint64_t version) = 0;
    // The refusal of what was decided on the cup at `version`, naming the changes since.
    std::string refusalSince(std::uint64_t version);

    // The version the cup is at where it is kept now, read cheaply: another program changed it
    // when it differs from version(). None when it cannot be read.
    virtual std::optional<std::uint64_t> storedVersion() = 0;
    // Reads the cup again as it is kept now: its settings, records and version, all from one
    // reading. False, the home as it was, when it cannot be read or no longer makes a cup.
    virtual bool reload() = 0;
    // Reads the cup again when another program changed it, and tells the listener; whether it
    // did. A window calls it often (its watch); a home told of changes may call it itself.
    bool refresh();
    // One listener at most (the window's session); null for none.
    void setListener(CupHomeListener *listener) { m_listener = listener; }

    // One setting each, kept at once.
    virtual CupWrite setName(const std::string &name) = 0;
    virtual CupWrite setDate(const std::string &date) = 0;
    virtual CupWrite setCount(CupCount which, std::int32_t value) = 0;
    virtual CupWrite setRatioChoice(int group, int itemIndex) = 0; // group 1 to 6
    virtual CupWrite setShownPlan(std::optional<int> classNumber,
                                  std::optional<std::int32_t> position) = 0;
    virtual CupWrite setWish(Quantity quantity, const Interval &interval) = 0;
    // A list opened: its rows and its levels' rounds replace the old ones.
    virtual CupWrite setList(const ImportedList &list,
                             const std::vector<LevelRoundChoice> &levelRounds) = 0;
    virtual CupWrite setLevelRound(const std::string &level, int round) = 0;
    virtual CupWrite setSeed(std::uint64_t seed) = 0;
    virtual CupWrite setLevelOrder(const std::vector<std::string> &levels) = 0;

    // Replaces the draws and results, decided on the cup at `basedOn`; records that do not
    // make a cup with its settings are refused, and nothing is kept when the cup is no longer
    // at that version (changedMeanwhile).
    virtual CupWrite saveRecords(const CupRecords &records, const std::string &what,
                                 std::uint64_t basedOn) = 0;
    CupWrite saveRecords(const CupRecords &records, const std::string &what)
    {
        return saveRecords(records, what, version());
    }
    // The records of `played`, a cup this home gave and its commands changed: a home may keep
    // them without replaying the cup, since a cup only holds records its rules accepted.
    virtual CupWrite saveCup(const Cup &played, const std::string &what, std::uint64_t basedOn)
    {
        return saveRecords(played.records(), what, basedOn);
    }

private:
    CupHomeListener *m_listener = nullptr;
};

} // namespace velmorin
