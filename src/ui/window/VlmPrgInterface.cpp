// The main window's interface to its features: the problem it would calculate, the
// registered teams and a plan set as the user would set them, the context menu, and the
// error guard for the features' slots.

#include "VlmPrg.h"

#include "FocusExit.h"
#include "LabeledEdit.h"
#include "RadioGroup.h"
#include "TrackBar.h"
#include "UpDown.h"
#include "WindowFields.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using namespace velmorin;

std::optional<Problem> TVlmFPrg::currentProblem(Failure failure)
{
    Problem problem;
    const std::string registered = m_effectif->text().toStdString();
    if (!tryStrToInt(registered, problem.registered)) {
        if (failure == Failure::Report)
            showErrorBox(this, ConversionError(registered));
        return std::nullopt;
    }
    // Only the program writes Finale and E1, always integers.
    problem.finale = toInt(m_finale);
    problem.entrants1 = toInt(m_e1);
    problem.round4 = ratioOf(4);
    problem.quarterFinal = ratioOf(5);
    problem.semiFinal = ratioOf(6);
    return problem;
}

bool TVlmFPrg::matchesLastCalculation()
{
    const std::optional<Problem> now = currentProblem(Failure::Quiet);
    return now && m_lastCalculation && m_lastCalculation->problem == *now;
}

bool TVlmFPrg::leaveRegisteredTeams()
{
    return guardHandler(this, [this] { EffectifExit(); });
}

std::optional<Plan> TVlmFPrg::shownPlan() const
{
    if (!m_shownSolution || !m_lastCalculation)
        return std::nullopt;
    const ShownSolution shown = *m_shownSolution;
    std::optional<Plan> plan = makePlan(*m_lastCalculation, shown.exemptionClass, shown.position);
    // In the middle of a run the fields already show the new run's solutions while the last
    // calculation is still the previous one: the window's record tells them apart.
    const std::optional<TSolution> record = m_lists.SolutionCursor(shown.exemptionClass);
    if (plan && record &&
        *record != m_lastCalculation->of(shown.exemptionClass).solutions.at(shown.position - 1))
        return std::nullopt;
    return plan;
}

bool TVlmFPrg::setRegisteredTeams(std::int32_t registered)
{
    setInt(m_effectif, registered);
    return leaveRegisteredTeams();
}

bool TVlmFPrg::showPlan(Count entrants1, std::optional<ShownSolution> solution)
{
    if (entrants1 < m_upE1->minimum())
        return false;
    // A press of "Calcul" takes the focus first: leaving Effectif runs its exit, which a bad
    // text stops there.
    if (m_effectif->hasFocus() && !m_effectifExit->moveFocusTo(m_button1))
        return false;
    // Past UpE1's maximum, up to the registered teams, some plans exist with "3/4" ratios: E1
    // then reads beyond the up-down, as it does after "Inscrites" changes.
    std::int32_t registered = 0;
    if (entrants1 >
        std::max<Count>(
            m_upE1->maximum(),
            velmorin::tryStrToInt(m_effectif->text().toStdString(), registered) ? registered : 0))
        return false;
    m_button1->setFocus(Qt::OtherFocusReason);
    m_upE1->setPosition(int(std::min<Count>(entrants1, m_upE1->maximum())));
    setInt(m_e1, std::int32_t(entrants1));
    if (!guardHandler(this, [this] { Button1Click(); }))
        return false;
    if (solution) {
        const ExemptionClass k = solution->exemptionClass;
        if (solution->position < 1 || solution->position > m_lists.NbSolutions(k))
            return false;
        // The slider's own change runs its handler, as a drag to that position would.
        if (!guardHandler(this, [&] {
                trackBar(k)->setPosition(int(solution->position));
                if (m_shownSolution != solution)
                    trackBarChange(k);
            }))
            return false;
    }
    return true;
}

QRect TVlmFPrg::keepVisibleArea() const
{
    const QWidget *const fields[] = {m_effectif, m_effectif->caption(),
                                     m_finale,   m_upFinale,
                                     m_e1,       m_upE1,
                                     m_button1,  m_ratio[4],
                                     m_ratio[5], m_ratio[6]};
    QRect area;
    const auto add = [&area](const QWidget *field) {
        if (field)
            area |= QRect(field->mapToGlobal(QPoint(0, 0)), field->size());
    };
    for (const QWidget *field : fields)
        add(field);
    for (const TLabeledEdit *field : m_tour)
        add(field);
    for (const TLabeledEdit *field : m_entrant)
        add(field);
    return area;
}

void TVlmFPrg::addContextAction(QAction *action)
{
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    m_contextActions.append(action);
}

void TVlmFPrg::addContextSeparator()
{
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    m_contextActions.append(separator);
}

// Edit boxes keep their own menu; the background, the panels and the labels show the
// window's.
void TVlmFPrg::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_contextActions.isEmpty()) {
        QWidget::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    menu.addActions(m_contextActions);
    menu.exec(event->globalPos());
}

FeatureHost::RatioChoices TVlmFPrg::ratioChoices() const
{
    RatioChoices choices{};
    for (int round = 1; round <= 6; ++round)
        choices[std::size_t(round - 1)] = m_ratio[round]->itemIndex();
    return choices;
}

bool TVlmFPrg::restoreInputs(std::int32_t registered, std::int32_t finale,
                             const RatioChoices &ratios)
{
    // The final first: leaving Effectif bounds E1 by it.
    if (finale >= m_upFinale->minimum() && finale <= m_upFinale->maximum() &&
        finale != m_upFinale->position()) {
        m_upFinale->setPosition(finale);
        if (!guardHandler(this, [this] { UpFinaleClick(); }))
            return false;
    }
    for (int round = 1; round <= 6; ++round) {
        const int index = ratios[std::size_t(round - 1)] == 0 ? 0 : 1;
        if (m_ratio[round]->itemIndex() != index)
            m_ratio[round]->setItemIndex(index);
    }
    return setRegisteredTeams(registered);
}

void TVlmFPrg::setTitleSuffix(const QString &suffix)
{
    setWindowTitle(windowCaption() + suffix);
}
