#pragma once

// What a feature sees of the main window and may ask of it: the problem it would calculate,
// the registered teams and a plan set as the user would set them, its context menu, the
// guard its handlers run under, and the news of its inputs and plan. Features include this
// header, never the window's own: they cannot reach its controls or handlers.

#include "Calculation.h"
#include "Plan.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QWidget;

namespace velmorin {

// The host's news. The host owns it: the window, already a QObject, stays free of the
// features' signals.
class FeatureNotifier : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // The round fields show another plan (or none).
    void planShown();
    // A calculation ran to its end.
    void calculated();
    // The final, the round-1 entrants or a ratio changed, or the registered teams were taken
    // in by leaving their field.
    void inputsChanged();
};

class FeatureHost
{
public:
    // How a registered-teams text that is not an integer is met: with the error box, or in
    // silence (a feature following the inputs, where the window's own handler reports it).
    enum class Failure { Report, Quiet };

    virtual ~FeatureHost() = default;

    // The window the features open beside and whose life they share.
    virtual QWidget *hostWidget() = 0;
    virtual FeatureNotifier *notifier() = 0;

    // The problem "Calcul" would calculate now. None when the registered teams are not an
    // integer.
    virtual std::optional<Problem> currentProblem(Failure failure = Failure::Report) = 0;
    // Whether the registered teams hold a text typed since the focus last left them.
    virtual bool registeredTeamsPending() const = 0;
    // Takes the registered teams in, as leaving their field would; whether it succeeded.
    virtual bool leaveRegisteredTeams() = 0;
    // Writes the registered teams and takes them in.
    virtual bool setRegisteredTeams(std::int32_t registered) = 0;
    // Shows a plan as the user would reach it: round-1 entrants set, "Calcul" pressed, the
    // class's slider moved to the position if one is given. Whether the plan is shown.
    virtual bool showPlan(Count entrants1,
                          std::optional<ShownSolution> solution = std::nullopt) = 0;
    // The plan the round fields show now, from the last calculation; none when they show
    // none.
    virtual std::optional<Plan> shownPlan() const = 0;
    // The last calculation that ran to its end.
    virtual const std::optional<Calculation> &lastCalculation() const = 0;

    // The six ratio groups' item indices, RG1 at [0]: 0 is "1/2", 1 is "3/4".
    using RatioChoices = std::array<int, 6>;
    virtual RatioChoices ratioChoices() const = 0;
    // Sets the final, the ratios and the registered teams as a person's clicks and leaving
    // of Effectif would (its E1 proposal included); whether the registered teams were taken.
    virtual bool restoreInputs(std::int32_t registered, std::int32_t finale,
                               const RatioChoices &ratios) = 0;
    // What the window's title says after its caption (" — Coupe du Rhône 2027"); empty:
    // the caption alone.
    virtual void setTitleSuffix(const QString &suffix) = 0;

    // What a window opened beside the host keeps visible if it can (screen coordinates): the
    // inputs, "Calcul" and the round fields.
    virtual QRect keepVisibleArea() const = 0;

    // The context menu, in the order the actions are added; their shortcuts work anywhere in
    // the host window.
    virtual void addContextAction(QAction *action) = 0;
    virtual void addContextSeparator() = 0;

    // Runs a feature's slot as the window runs its handlers: a failure goes to the error box
    // and the program carries on. Whether it ran to its end.
    virtual bool runGuarded(const std::function<void()> &slot) = 0;

    // The guide, opened at a section, by whichever feature offers it (none: nothing happens).
    void setHelpOpener(std::function<void(const QString &section)> opener)
    {
        m_helpOpener = std::move(opener);
    }
    void openHelp(const QString &section)
    {
        if (m_helpOpener)
            m_helpOpener(section);
    }

private:
    std::function<void(const QString &)> m_helpOpener;
};

} // namespace velmorin
