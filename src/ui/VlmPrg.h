#pragma once

// The main window: the problem's inputs, the calculation, and the browsing of its solutions.

#include "Calculation.h"
#include "ErrorBox.h"
#include "Plan.h"
#include "VlmDec.h"

#include <QWidget>

#include <QHash>

#include <array>
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

namespace velmorin {
// The solution the round fields show: its class and its 1-based position in that class.
struct ShownSolution
{
    ExemptionClass exemptionClass = ExemptionClass::Class1;
    Count position = 0;

    friend bool operator==(const ShownSolution &a, const ShownSolution &b)
    {
        return a.exemptionClass == b.exemptionClass && a.position == b.position;
    }
    friend bool operator!=(const ShownSolution &a, const ShownSolution &b) { return !(a == b); }
};
} // namespace velmorin

class TVlmFPrg : public QWidget
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

    // --- What the features see of the window and ask of it -------------------------------
    //
    // Features never touch the controls: they read the problem, show a plan and follow the
    // signals below. Each call runs what the user's own gesture would run, with the same
    // handlers, event order and error box.

    // How a registered-teams text that is not an integer is met: with the error box, or in
    // silence (a feature following the inputs, where the window's own handler reports it).
    enum class Failure { Report, Quiet };

    // The problem "Calcul" would calculate now, read as the run reads it: Effectif, Finale,
    // E1 and the ratios of RG4, RG5, RG6. None when Effectif is not an integer.
    std::optional<velmorin::Problem> currentProblem(Failure failure = Failure::Report);
    // Whether the inputs are still those of the last calculation (false before any).
    bool matchesLastCalculation();
    // Whether Effectif holds a text typed since the focus last left it.
    bool registeredTeamsPending() const { return m_registeredTeamsPending; }
    // Runs the exit from Effectif, as leaving the field would (its proposal of round-1
    // entrants included); returns whether it succeeded. A bad text shows the error box.
    bool leaveRegisteredTeams();
    // Writes the registered teams into Effectif and leaves the field.
    bool setRegisteredTeams(std::int32_t registered);
    // Shows a plan as the user would reach it: the focus leaves Effectif for "Calcul", the
    // round-1 entrants are set as clicks on UpE1 would leave them, the calculation runs as a
    // press of "Calcul" runs it, then the class's slider moves to the position, if one is
    // given. Nothing runs when the entrant count is below UpE1's range or above both its
    // maximum and the registered teams; returns whether the plan is shown.
    bool showPlan(velmorin::Count entrants1,
                  std::optional<velmorin::ShownSolution> solution = std::nullopt);

    // The class and position whose values the round fields show now: the class whose
    // slider or run wrote them last. None before a calculation, once a run has emptied the
    // fields, and after a run without solution.
    std::optional<velmorin::ShownSolution> shownSolution() const { return m_shownSolution; }
    // The last calculation that ran to its end, with every class from the same inputs.
    const std::optional<velmorin::Calculation> &lastCalculation() const
    {
        return m_lastCalculation;
    }
    const velmorin::SolutionLists &solutionLists() const { return m_lists; }
    // The plan of the solution the round fields show, from the last calculation; none when
    // they show none, or while a run's fields are ahead of its calculation.
    std::optional<velmorin::Plan> shownPlan() const;

    // Where the inputs are on the screen (Effectif, Finale, E1, the round-4 to semi-final
    // ratios and "Calcul"): what a dialog opened beside the window keeps clear if it can.
    QRect inputFieldsArea() const;

    // What goes beyond the calculation reaches the user through the window's context menu
    // (a right click on its background or panels) and the actions' shortcuts, which work
    // anywhere in the window. The window takes the actions in the order they are added.
    void addContextAction(QAction *action);
    // A line between one feature's actions and the next one's.
    void addContextSeparator();
    QList<QAction *> contextActions() const { return m_contextActions; }

    // Runs a feature's slot as the window runs its handlers: a failure goes to the error box
    // and the program carries on. Returns whether it ran to its end.
    template <typename Slot> bool runGuarded(Slot &&slot)
    {
        return velmorin::guardHandler(this, std::forward<Slot>(slot));
    }

signals:
    void shownSolutionChanged();
    // A calculation ran to its end.
    void calculated();
    // The final, the round-1 entrants or a ratio changed, or the registered teams were
    // taken in by the exit from Effectif.
    void inputsChanged();

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

    void trackBarChange(velmorin::ExemptionClass exemptionClass);
    void showExemption(velmorin::ExemptionClass exemptionClass);
    void setShownSolution(std::optional<velmorin::ShownSolution> shown);
    void writeSolution(const velmorin::TSolution &solution, velmorin::Count tour4);
    velmorin::Ratio ratioOf(int round) const;

    velmorin::TTrackBar *trackBar(velmorin::ExemptionClass exemptionClass) const;
    velmorin::TAutoSizeLabel *solutionLabel(velmorin::ExemptionClass exemptionClass) const;

    velmorin::SolutionLists m_lists;
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
