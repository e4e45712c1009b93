#pragma once

// The cup open in a window, shared by the cup's actions, the teams dialog and the cup's running
// window without their linking one another: one per host, owned by its widget. Once a cup is
// open, every change the organiser makes is written through its store at once; a failed write
// shows the store's message and leaves the window as it is.

#include "Cup.h"
#include "CupRunSource.h"
#include "CupStore.h"
#include "FeatureHost.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
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
};

class CupSession : public CupRunSource
{
    Q_OBJECT

public:
    // The host's session, made on first use.
    static CupSession &of(FeatureHost &host);

    bool isOpen() const { return m_store != nullptr; }
    bool readOnly() const { return m_store && m_store->readOnly(); }
    QString name() const;
    QString path() const;
    // What the cup holds now; none while no cup is open.
    const CupSetup *setup() const { return m_store ? &m_store->setup() : nullptr; }
    // The cup as it is played (its draws and results), once its list and plan make one; none
    // while no cup is open or the cup cannot be played yet.
    const Cup *cup() const override { return m_cup ? &*m_cup : nullptr; }
    QString cupName() const override { return name(); }
    QString readOnlyReason() const override;
    QString unplayableReason() const override;
    // Why the teams' list, levels, order and seed cannot change now: the cup is read-only, or
    // its round 1 is drawn; empty when they can.
    QString teamsLockedReason() const;
    // Whether the main window shows the cup's numbers and plan as the cup holds them; when not,
    // nothing the window shows is written into the cup.
    bool windowShowsCup() const { return m_windowShowsCup; }

    // Creates a cup from the window's inputs and the teams' list, and opens it.
    bool create(const QString &path, const QString &name);
    // Opens a cup and restores the window from it; a cup held by another program is offered
    // read-only. A refusal shows its message; whether the cup is open.
    bool open(const QString &path);
    void close();
    // Reads the cup again when another program wrote it since (the watch calls it every
    // half second); whether it was reloaded.
    bool followFile();

    // Applies a command to the cup being played and writes its draws and results at once, the
    // answer's sentence as the journal's line; the model's refusal is answered, a failed write
    // shows in an error box (and is refused too). A command that changes nothing writes nothing.
    CupAnswer apply(const CupCommand &command) override;

    // The teams dialog's list, levels and seed as they are now, with or without a cup; with
    // one, what changed is written.
    void setTeams(const CupTeams &teams);
    const CupTeams &teams() const { return m_teams; }

signals:
    void opened();
    void closed();
    // Something was written, or read back after another program wrote it.
    void changed();
    // The teams' side was read from a cup: the teams dialog shows it.
    void teamsRestored();

private:
    explicit CupSession(FeatureHost &host);

    void followHost();
    void saveInputs();
    enum class PlanPick { Slider, Calculation };
    void followShownPlan();
    void saveShownPlan(PlanPick pick);
    // Runs one write of the store; refused because another program wrote meanwhile, the cup
    // is read again and the answer says so.
    CupWrite tryWrite(const std::function<CupWrite(CupStore &)> &change);
    // The same, a failure shown in a box. Whether it was saved.
    bool write(const std::function<CupWrite(CupStore &)> &change);
    bool writable() const { return m_store && !m_store->readOnly() && !m_restoring; }
    // The main window's numbers and plan are the cup's to write: it shows the cup's own.
    bool followsWindow() const { return writable() && m_windowShowsCup; }
    // Takes the store's state as read again into the window, the cup and its windows.
    void reloaded(const CupSetup &before);
    // After an opening: why it may be read-only, the title, the watch, the notice once.
    void settleOpened(const std::string &notice, bool held);
    void restoreWindow();
    void showNotice(const QString &notice);
    void showTitle();
    // The cup its file makes now (after opening, or a change of its settings).
    void refreshCup();
    bool refuse(const std::string &message);
    // Writes what changed from `before` to `teams`; false at the first write refused.
    bool writeTeams(const CupTeams &before, const CupTeams &teams);

    FeatureHost &m_host;
    std::unique_ptr<CupStore> m_store;
    std::optional<Cup> m_cup;
    CupTeams m_teams;
    bool m_restoring = false;
    bool m_reloading = false;
    bool m_windowShowsCup = true;
    // A "Calcul" showed plans: a plan shown next is the organiser's move of a slider.
    bool m_slidersFree = false;
    // The organiser changed the cup's numbers: the next "Calcul" gives its plan.
    bool m_planOwed = false;
    QString m_readOnlyReason;
    QTimer m_watch; // polls the file's version while a cup is open
};

} // namespace velmorin
