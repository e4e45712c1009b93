#pragma once

// The main window: the problem's inputs, the calculation, and the browsing of its solutions.

#include "Calculation.h"
#include "ErrorBox.h"
#include "FeatureHost.h"
#include "Plan.h"
#include "VlmDec.h"

#include <QWidget>

#include <QHash>

#include <array>
#include <functional>
#include <optional>
#include <utility>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class TPropos;

namespace velmorin {
using FormControls = QHash<QString, QWidget *>;
class TAutoSizeLabel;
class TFocusExit;
class TLabeledEdit;
class TRadioGroup;
class TTrackBar;
class TUpDown;
} // namespace velmorin

class TVlmFPrg : public QWidget, public velmorin::FeatureHost
{
    Q_OBJECT

public:
    explicit TVlmFPrg(QWidget *parent = nullptr);
    ~TVlmFPrg() override;

    // The event handlers. They may throw; the connections run them through the error box.
    void FormActivate();
    void FormDeactivate();
    void EffectifExit();
    void UpFinaleClick();
    void UpE1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();

    // The about-box component, owned by the window.
    TPropos *Propos1 = nullptr;

    // --- The features' host: what they see of the window and ask of it -------------------
    //
    // Each call runs what the user's own gesture would run, with the same handlers, event
    // order and error box.

    QWidget *hostWidget() override { return this; }
    velmorin::FeatureNotifier *notifier() override { return m_notifier; }
    std::optional<velmorin::Problem> currentProblem(Failure failure = Failure::Report) override;
    bool registeredTeamsPending() const override { return m_registeredTeamsPending; }
    // Runs the exit from Effectif (its proposal of round-1 entrants included). A bad text
    // shows the error box.
    bool leaveRegisteredTeams() override;
    // Writes the registered teams into Effectif and leaves the field.
    bool setRegisteredTeams(std::int32_t registered) override;
    // The focus leaves Effectif for "Calcul", the round-1 entrants are set as clicks on UpE1
    // would leave them, the calculation runs as a press of "Calcul" runs it, then the class's
    // slider moves to the position, if one is given. Nothing runs when the entrant count is
    // below UpE1's range or above both its maximum and the registered teams.
    bool showPlan(velmorin::Count entrants1,
                  std::optional<velmorin::ShownSolution> solution = std::nullopt) override;
    // None also while a run's fields are ahead of its calculation.
    std::optional<velmorin::Plan> shownPlan() const override;
    const std::optional<velmorin::Calculation> &lastCalculation() const override
    {
        return m_lastCalculation;
    }
    RatioChoices ratioChoices() const override;
    // The final's up-down clicked to its value, each ratio clicked, then Effectif written and
    // left.
    bool restoreInputs(std::int32_t registered, std::int32_t finale,
                       const RatioChoices &ratios) override;
    void setTitleSuffix(const QString &suffix) override;
    // Effectif, Finale, E1, the round-4 to semi-final ratios and "Calcul".
    QRect keepVisibleArea() const override;
    // The context menu opens on a right click on the window's background or panels; the
    // window takes the actions in the order they are added.
    void addContextAction(QAction *action) override;
    void addContextSeparator() override;
    bool runGuarded(const std::function<void()> &slot) override
    {
        return velmorin::guardHandler(this, slot);
    }

    // --- What the tests read of the window, beyond its controls --------------------------

    // The class and position whose values the round fields show now: the class whose
    // slider or run wrote them last. None before a calculation, once a run has emptied the
    // fields, and after a run without solution.
    std::optional<velmorin::ShownSolution> shownSolution() const { return m_shownSolution; }
    // Whether the inputs are still those of the last calculation (false before any).
    bool matchesLastCalculation();
    QList<QAction *> contextActions() const { return m_contextActions; }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void bindControls(const velmorin::FormControls &controls);
    template <typename Sender, typename Signal>
    void connectHandler(Sender *sender, Signal signal, void (TVlmFPrg::*handler)());
    void connectHandlers();
    void announceInputChanges();
    void centreOnScreen();
    static QString windowCaption();

    void trackBarChange(velmorin::ExemptionClass exemptionClass);
    void showExemption(velmorin::ExemptionClass exemptionClass);
    void setShownSolution(std::optional<velmorin::ShownSolution> shown);
    void writeSolution(const velmorin::TSolution &solution, velmorin::Count tour4);
    velmorin::Ratio ratioOf(int round) const;

    velmorin::TTrackBar *trackBar(velmorin::ExemptionClass exemptionClass) const;
    velmorin::TAutoSizeLabel *solutionLabel(velmorin::ExemptionClass exemptionClass) const;

    velmorin::SolutionLists m_lists;
    velmorin::FeatureNotifier *m_notifier = nullptr;
    std::optional<velmorin::ShownSolution> m_shownSolution;
    std::optional<velmorin::Calculation> m_lastCalculation;
    QList<QAction *> m_contextActions;
    bool m_activated = false;
    bool m_registeredTeamsPending = false;

    velmorin::TLabeledEdit *m_effectif = nullptr;
    velmorin::TLabeledEdit *m_finale = nullptr;
    velmorin::TUpDown *m_upFinale = nullptr;
    velmorin::TLabeledEdit *m_e1 = nullptr;
    velmorin::TUpDown *m_upE1 = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
    QPushButton *m_button3 = nullptr;
    std::array<velmorin::TLabeledEdit *, 8> m_tour{};    // T1..T7 at 1..7
    std::array<velmorin::TLabeledEdit *, 5> m_entrant{}; // E2..E4 at 2..4
    std::array<velmorin::TRadioGroup *, 7> m_ratio{};    // RG1..RG6 at 1..6
    std::array<velmorin::TTrackBar *, 3> m_trackBar{};   // per exemption class, by classIndex
    std::array<velmorin::TAutoSizeLabel *, 3> m_solution{};
    velmorin::TAutoSizeLabel *m_fini = nullptr;
    velmorin::TAutoSizeLabel *m_exempLabel = nullptr;
    QLabel *m_exempNbrs = nullptr;
    velmorin::TFocusExit *m_effectifExit = nullptr;
};
