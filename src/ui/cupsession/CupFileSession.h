#pragma once

// The cup session over a cup kept in a file: every change written through the cup's home at
// once, the file watched for other programs' changes. The only window code that reaches the
// cup store (and SQL).

#include "CupHome.h"
#include "CupSession.h"
#include "InstallCupSession.h"

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

class CupFileSession final : public CupSession, private CupHomeListener
{
    Q_OBJECT

public:
    explicit CupFileSession(FeatureHost &host);

    bool isOpen() const override { return m_home != nullptr; }
    bool readOnly() const override { return m_home && m_home->readOnly(); }
    QString name() const override;
    QString path() const override;
    const CupSetup *setup() const override { return m_home ? &m_home->setup() : nullptr; }
    // The cup as it is played (its draws and results), once its list and plan make one; none
    // while no cup is open or the cup cannot be played yet.
    const Cup *cup() const override { return m_cup ? &*m_cup : nullptr; }
    QString cupName() const override { return name(); }
    QString readOnlyReason() const override;
    QString unplayableReason() const override;
    QString teamsLockedReason() const override;
    bool windowShowsCup() const override { return m_windowShowsCup; }

    bool create(const QString &path, const QString &name) override;
    bool open(const QString &path) override;
    void close() override;
    bool followFile() override;

    // Applies a command to the cup being played, decided on the cup the window shows, and
    // writes its draws and results at once, the answer's sentence as the journal's line; the
    // model's refusal is answered, a command decided on a cup another program changed since is
    // refused naming the change (the cup then shown as it is), a failed write shows in an error
    // box (and is refused too). A command that changes nothing writes nothing.
    CupAnswer apply(const CupCommand &command) override;

    void setTeams(const CupTeams &teams) override;
    const CupTeams &teams() const override { return m_teams; }

private:
    // Writes what changed from `before` to `teams`; false at the first write refused.
    bool writeTeams(const CupTeams &before, const CupTeams &teams);
    void followHost();
    void saveInputs();
    enum class PlanPick { Slider, Calculation };
    void followShownPlan();
    void saveShownPlan(PlanPick pick);
    // Runs one write of the store; refused because another program wrote meanwhile, the cup
    // is read again and the answer says so.
    CupWrite tryWrite(const std::function<CupWrite(CupHome &)> &change);
    // The same, a failure shown in a box. Whether it was saved.
    bool write(const std::function<CupWrite(CupHome &)> &change);
    bool writable() const { return m_home && !m_home->readOnly() && !m_restoring; }
    // The main window's numbers and plan are the cup's to write: it shows the cup's own.
    bool followsWindow() const { return writable() && m_windowShowsCup; }
    // Takes the cup as read again into the window, the cup and its windows.
    void cupChangedElsewhere(CupHome &home, const CupSetup &before) override;
    // After an opening: why it may be read-only, the title, the watch, the notice once.
    void settleOpened(const std::string &notice, bool held);
    void restoreWindow();
    void showNotice(const QString &notice);
    void showTitle();
    // The cup its file makes now (after opening, or a change of its settings).
    void refreshCup();
    bool refuse(const std::string &message);

    FeatureHost &m_host;
    std::unique_ptr<CupHome> m_home;
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
