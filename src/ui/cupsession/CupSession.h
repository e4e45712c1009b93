#pragma once

// The cup open in a window, shared by the cup's actions, the teams dialog and the cup's running
// window without their linking one another: one per host, owned by its widget. Once a cup is
// open, every change the organiser makes is kept at once; a failed write shows why and leaves
// the window as it is. What the windows see of it is this interface: where the cup is kept
// (a file, through the cup store) is the business of its implementation (CupFileSession).

#include "Cup.h"
#include "CupRunSource.h"
#include "CupSetup.h"
#include "FeatureHost.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmorin {

// The teams dialog's side of a cup: its list, levels and seed.
struct CupTeams
{
    std::optional<ImportedList> list;
    std::vector<LevelRoundChoice> levelRounds;
    std::vector<std::string> levelOrder; // empty: by number
    std::optional<std::uint64_t> seed;
    // The list's teams as the cup keeps them; none: read from `list`.
    std::optional<TeamList> teams;
};

class CupSession : public CupRunSource
{
    Q_OBJECT

public:
    // The host's session, installed with the features (installCupSession).
    static CupSession &of(FeatureHost &host);

    virtual bool isOpen() const = 0;
    virtual bool readOnly() const = 0;
    virtual QString name() const = 0;
    virtual QString path() const = 0;
    // What the cup holds now; none while no cup is open.
    virtual const CupSetup *setup() const = 0;
    // Why the teams' list, levels, order and seed cannot change now: the cup is read-only, or
    // its round 1 is drawn; empty when they can.
    virtual QString teamsLockedReason() const = 0;
    // Whether the main window shows the cup's numbers and plan as the cup holds them; when not,
    // nothing the window shows is written into the cup.
    virtual bool windowShowsCup() const = 0;

    // Creates a cup from the window's inputs and the teams' list, and opens it.
    virtual bool create(const QString &path, const QString &name) = 0;
    // Opens a cup and restores the window from it; a cup held by another program is offered
    // read-only. A refusal shows its message; whether the cup is open.
    virtual bool open(const QString &path) = 0;
    virtual void close() = 0;
    // Reads the cup again when another program changed it since (a watch calls it every half
    // second); whether it was read again.
    virtual bool followFile() = 0;

    // The teams dialog's list, levels and seed as they are now, with or without a cup; with
    // one, what changed is kept.
    virtual void setTeams(const CupTeams &teams) = 0;
    virtual const CupTeams &teams() const = 0;

signals:
    void opened();
    void closed();
    // Something was written, or read back after another program wrote it.
    void changed();
    // The teams' side was read from a cup: the teams dialog shows it.
    void teamsRestored();

protected:
    // Made the host's session: a child of its widget, found by of().
    explicit CupSession(FeatureHost &host);
};

} // namespace velmorin
