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

    // Creates a cup from the window's inputs and the teams' list, and opens it.
    bool create(const QString &path, const QString &name);
    // Opens a cup and restores the window from it; a cup held by another program is offered
    // read-only. A refusal shows its message; whether the cup is open.
    bool open(const QString &path);
    void close();

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
    // Something was written.
    void changed();
    // The teams' side was read from a cup: the teams dialog shows it.
    void teamsRestored();

private:
    explicit CupSession(FeatureHost &host);

    void followHost();
    void saveInputs();
    void saveShownPlan();
    // Runs one write of the store; a failure shows its message. Whether it was saved.
    bool write(const std::function<CupWrite(CupStore &)> &change);
    bool writable() const { return m_store && !m_store->readOnly() && !m_restoring; }
    void restoreWindow();
    void showTitle();
    // The cup its file makes now (after opening, or a change of its settings).
    void refreshCup();
    bool refuse(const std::string &message);

    FeatureHost &m_host;
    std::unique_ptr<CupStore> m_store;
    std::optional<Cup> m_cup;
    CupTeams m_teams;
    bool m_restoring = false;
};

} // namespace velmorin
