// The main window: its construction, its life on the desktop, and the specified handlers.

#include "VlmPrg.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "AutoSizeLabel.h"
#include "ClassAppearance.h"
#include "Contrast.h"
#include "FocusExit.h"
#include "FormBuilder.h"
#include "Hints.h"
#include "LabeledEdit.h"
#include "Placement.h"
#include "Propos.h"
#include "RadioGroup.h"
#include "RoundOne.h"
#include "TrackBar.h"
#include "UpDown.h"
#include "WhyNoSolution.h"
#include "WindowFields.h"

#include <QApplication>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

using namespace velmorin;

TVlmFPrg::TVlmFPrg(QWidget *parent) : QWidget(parent), m_notifier(new FeatureNotifier(this))
{
    setWindowTitle(windowCaption());
    QFont windowFont;
    windowFont.setFamilies(fontFamilies(QStringLiteral("MS Sans Serif")));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    // Blue and black texts need a light face under them, whatever the desktop's scheme.
    keepDesignedBackground(this, {Qt::blue, Qt::black});

    // The controls keep their places when the window is resized; a window smaller than
    // them scrolls.
    auto *scrollArea = new QScrollArea(this);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setFocusPolicy(Qt::NoFocus);
    auto *client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    QPalette background = client->palette();
    background.setColor(QPalette::Window, palette().color(QPalette::Button));
    client->setPalette(background);
    client->setAutoFillBackground(true);
    // In its place first, so that the controls are measured in the window's font, which
    // they show, and no font is loaded for nothing.
    scrollArea->setWidget(client);
    const FormControls controls = buildForm(client, mainWindowControls());
    velmorin::setTabOrder(controls, mainWindowTabOrder());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea);
    resize(kClientWidth, kClientHeight);

    bindControls(controls);

    Propos1 = createPropos1(this);

    m_effectif->setFocus();
    connectHandlers();
}

QString TVlmFPrg::windowCaption()
{
    return QStringLiteral("(2006) Calcul des tours en Velmorin");
}

TVlmFPrg::~TVlmFPrg()
{
    // The focus moves while the controls are destroyed; that is no exit from Effectif.
    m_effectifExit->stop();
}

// The first showing applies the defaults before anything is painted.
void TVlmFPrg::showEvent(QShowEvent *event)
{
    if (!m_activated && !event->spontaneous()) {
        m_activated = true;
        centreOnScreen();
        guardHandler(this, [this] { FormActivate(); });
        // Typing at start replaces the default count, as in any desktop field that has the
        // focus when its window opens.
        m_effectif->selectAll();
    }
    QWidget::showEvent(event);
}

void TVlmFPrg::centreOnScreen()
{
    centreOnAvailableArea(this);
}

// Only another, non-modal window of the program taking over deactivates the main window;
// dialogs, message boxes and other applications do not.
bool TVlmFPrg::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate) {
        const QWidget *active = QApplication::activeWindow();
        if (active && active != this && !active->isModal() && active->windowType() == Qt::Window)
            guardHandler(this, [this] { FormDeactivate(); });
    }
    return QWidget::event(event);
}

void TVlmFPrg::FormActivate()
{
    m_effectif->setText(QStringLiteral("71"));
    m_finale->setText(QStringLiteral("6"));
    m_upFinale->setPosition(6);
    m_e1->setText(QStringLiteral("20"));
    m_upE1->setPosition(20);
    m_upE1->setMin(0);
    m_upE1->setMax(68);
    for (int round = 1; round <= 3; ++round)
        m_ratio[round]->setItemIndex(1);
    for (int round = 4; round <= 6; ++round)
        m_ratio[round]->setItemIndex(0);
    for (ExemptionClass k : kRunOrder)
        m_lists.setNbSolutions(k, 0);
}

void TVlmFPrg::FormDeactivate()
{
    for (ExemptionClass k :
         {ExemptionClass::Class1, ExemptionClass::Class2, ExemptionClass::Class3}) {
        if (m_lists.NbSolutions(k) > 0)
            m_lists.FreeSolutionList(k);
    }
}

void TVlmFPrg::EffectifExit()
{
    const std::int32_t registered = toInt(m_effectif);
    m_upE1->setPosition(toUpDownValue(proposedEntrants1(registered)));
    setInt(m_e1, m_upE1->position());
    m_upE1->setMax(toUpDownValue(entrants1Bound(toInt(m_effectif), m_upFinale->position())));
    m_registeredTeamsPending = false;
    emit m_notifier->inputsChanged();
}

void TVlmFPrg::UpFinaleClick()
{
    setInt(m_finale, m_upFinale->position());
    m_upE1->setMax(toUpDownValue(entrants1Bound(toInt(m_effectif), m_upFinale->position())));
}

void TVlmFPrg::UpE1Click()
{
    setInt(m_e1, m_upE1->position());
}

void TVlmFPrg::Button1Click()
{
    m_fini->hide();
    for (QLineEdit *field : {m_tour[2], m_tour[3], m_entrant[2], m_entrant[3], m_entrant[4]})
        field->clear();
    setShownSolution(std::nullopt);
    Problem problem;
    problem.registered = toInt(m_effectif);

    Calculation calculation;
    // A run nested in the pending-event processing may change the inputs between two
    // classes; such a run's classes answer different problems and make no calculation.
    bool oneProblem = true;
    for (std::size_t i = 0; i < kRunOrder.size(); ++i) {
        const ExemptionClass k = kRunOrder[i];
        trackBar(k)->hide();
        // Lets the hidden slider vanish before the search; a handler may run nested here,
        // so everything below reads the state afresh.
        QCoreApplication::processEvents();

        problem.finale = toInt(m_finale);
        setInt(m_tour[7], problem.finale);
        problem.entrants1 = toInt(m_e1);
        problem.round4 = ratioOf(4);
        problem.quarterFinal = ratioOf(5);
        problem.semiFinal = ratioOf(6);
        const BackwardChain chain = backwardChain(problem);
        setInt(m_tour[6], chain.T6);
        setInt(m_tour[5], chain.T5);

        const ClassResult found = solveClass(problem, chain, k);
        m_lists.replace(k, found.solutions);
        oneProblem = oneProblem && (i == 0 || calculation.problem == problem);
        calculation.problem = problem;
        calculation.chain = chain;
        calculation.classes[i] = found;
        // Nothing is painted during a class's search: only the last solution's values stay.
        const Count count = m_lists.NbSolutions(k);
        if (count >= 1) {
            showExemption(k);
            writeSolution(found.solutions.at(count - 1), found.tour4);
            setShownSolution(ShownSolution{k, count});
        }

        TTrackBar *bar = trackBar(k);
        bar->setMin(1);
        bar->setMax(toUpDownValue(m_lists.NbSolutions(k)));
        bar->setPosition(1);
        if (count > 0) {
            bar->show();
            solutionLabel(k)->setText(QStringLiteral("Solution : 1/%1").arg(count));
        } else {
            solutionLabel(k)->setText(QStringLiteral("0 solution"));
        }
        // Hovering over "0 solution" tells why and which E1 would give one.
        // Why the class has no solution says more than the label's usual hint.
        solutionLabel(k)->setToolTip(count > 0 ? controlHint(solutionLabel(k)->objectName())
                                               : toQString(whyNoSolution(problem, k)));
    }

    bool anySolution = false;
    for (ExemptionClass k : kRunOrder)
        anySolution = anySolution || m_lists.NbSolutions(k) > 0;
    if (!anySolution)
        m_fini->show();
    m_fini->setToolTip(anySolution ? controlHint(m_fini->objectName())
                                   : toQString(whyNoClassSolution(problem)));
    if (oneProblem)
        m_lastCalculation = calculation;
    else
        m_lastCalculation.reset();
    emit m_notifier->calculated();
}

void TVlmFPrg::Button2Click()
{
    QCoreApplication::quit();
}

void TVlmFPrg::Button3Click()
{
    prepareVelmorinAbout(*Propos1);
    Propos1->ShowAbout();
}

void TVlmFPrg::TrackBar1Change()
{
    trackBarChange(ExemptionClass::Class1);
}

void TVlmFPrg::TrackBar2Change()
{
    trackBarChange(ExemptionClass::Class2);
}

void TVlmFPrg::TrackBar3Change()
{
    trackBarChange(ExemptionClass::Class3);
}

// Everything shown derives from the position, so running it twice shows the same thing.
void TVlmFPrg::trackBarChange(ExemptionClass exemptionClass)
{
    showExemption(exemptionClass);
    const int position = trackBar(exemptionClass)->position();
    // A class without records (no solution this run) shows nothing more.
    const std::optional<TSolution> solution = m_lists.moveCursorTo(exemptionClass, position);
    if (!solution)
        return;
    writeSolution(*solution, solution->tour4());
    setShownSolution(ShownSolution{exemptionClass, position});
    solutionLabel(exemptionClass)
        ->setText(QStringLiteral("Solution : %1/%2")
                      .arg(position)
                      .arg(m_lists.NbSolutions(exemptionClass)));
}

// Class 1 exempts nobody and hides the marking; classes 2 and 3 show theirs in their colour.
void TVlmFPrg::showExemption(ExemptionClass exemptionClass)
{
    if (exemptedTeams(exemptionClass) == 0) {
        m_exempNbrs->hide();
        m_exempLabel->hide();
        return;
    }
    const ClassWording &said = wording(exemptionClass);
    const QColor colour = classColour(exemptionClass);
    m_exempNbrs->setText(QString::number(exemptedTeams(exemptionClass)));
    describeExemption(m_exempNbrs, exemptionClass);
    setFontColour(m_exempNbrs, colour);
    m_exempNbrs->show();
    m_exempLabel->setText(toQString(said.markingLabel));
    setFontColour(m_exempLabel, colour);
    m_exempLabel->show();
}

void TVlmFPrg::setShownSolution(std::optional<ShownSolution> shown)
{
    if (shown == m_shownSolution)
        return;
    m_shownSolution = shown;
    emit m_notifier->planShown();
}

void TVlmFPrg::writeSolution(const TSolution &solution, Count tour4)
{
    setInt(m_tour[1], solution.Tour1);
    setInt(m_tour[2], solution.Tour2);
    setInt(m_tour[3], solution.Tour3);
    setInt(m_tour[4], tour4);
    setInt(m_entrant[2], solution.Entrant2);
    setInt(m_entrant[3], solution.Entrant3);
    setInt(m_entrant[4], solution.Entrant4);
}

Ratio TVlmFPrg::ratioOf(int round) const
{
    return ratioFromIndex(m_ratio[round]->itemIndex());
}

TTrackBar *TVlmFPrg::trackBar(ExemptionClass exemptionClass) const
{
    return m_trackBar.at(classIndex(exemptionClass));
}

TAutoSizeLabel *TVlmFPrg::solutionLabel(ExemptionClass exemptionClass) const
{
    return m_solution.at(classIndex(exemptionClass));
}
