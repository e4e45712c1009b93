// The window's interface to its features: which solution the round fields show, the problem
// it would calculate, and a plan shown as the user would reach it.

#include "FeatureWindow.h"
#include "MessageBoxCatcher.h"
#include "RadioGroup.h"
#include "TrackBar.h"
#include "VlmPrg.h"
#include "WaitCursor.h"
#include "WindowDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

using velmorin::ExemptionClass;
using velmorin::FeatureNotifier;
using velmorin::ShownSolution;
using velmorin::testing::child;

class TestShownSolution : public QObject
{
    Q_OBJECT

private slots:
    void followsRunsAndSliders();
    void showPlan_data();
    void showPlan();
    void registeredTeamsAsTyped();
    void nestedRunMakesNoMixedCalculation();
    void failingFeatureSlotIsGuarded();
};

void TestShownSolution::followsRunsAndSliders()
{
    MessageBoxCatcher boxes;
    auto window = std::make_unique<TVlmFPrg>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy changes(window->notifier(), &FeatureNotifier::planShown);
    QSignalSpy runs(window->notifier(), &FeatureNotifier::calculated);
    QVERIFY(!window->shownSolution());
    QVERIFY(!window->lastCalculation());

    auto *calcul = child<QPushButton>(*window, "Button1");
    auto *effectif = child<QLineEdit>(*window, "Effectif");
    const auto shown = [&window] { return window->shownSolution(); };

    // The defaults: the fields end on class 1's last solution.
    QTest::mouseClick(calcul, Qt::LeftButton);
    QCOMPARE(shown(), std::optional(ShownSolution{ExemptionClass::Class1, 7}));
    QCOMPARE(runs.count(), 1);
    QCOMPARE(window->lastCalculation()->problem.entrants1, 20);
    QCOMPARE(child<QLineEdit>(*window, "T4")->text(), QStringLiteral("48"));

    child<velmorin::TTrackBar>(*window, "TrackBar2")->setPosition(3);
    QCOMPARE(shown(), std::optional(ShownSolution{ExemptionClass::Class2, 3}));
    // Its plan is the one the round fields show.
    const std::optional<velmorin::Plan> plan = window->shownPlan();
    QVERIFY(plan);
    QCOMPARE(plan->exemptionClass, ExemptionClass::Class2);
    QCOMPARE(plan->position, 3);
    QCOMPARE(QString::number(plan->rounds[3].playing), child<QLineEdit>(*window, "T4")->text());
    QCOMPARE(QString::number(plan->rounds[1].entering), child<QLineEdit>(*window, "E2")->text());

    // A run without solution shows none.
    child<velmorin::TRadioGroup>(*window, "RG4")->setItemIndex(1);
    QTest::mouseClick(calcul, Qt::LeftButton);
    QVERIFY(!shown());
    QVERIFY(!window->lastCalculation()->anySolution());
    QVERIFY(!window->shownPlan());

    // Nor does a run stopped by a bad count, and it is no calculation.
    child<velmorin::TRadioGroup>(*window, "RG4")->setItemIndex(0);
    QTest::mouseClick(calcul, Qt::LeftButton);
    QVERIFY(shown());
    effectif->setText(QStringLiteral("abc"));
    QTest::mouseClick(calcul, Qt::LeftButton); // the focus is on "Calcul": no exit first
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(!shown());
    QVERIFY(!window->shownPlan());
    QCOMPARE(runs.count(), 3);
    QVERIFY(changes.count() >= 4);
}

void TestShownSolution::showPlan_data()
{
    QTest::addColumn<QString>("registered"); // Effectif's text before the call
    QTest::addColumn<int>("entrants1");
    QTest::addColumn<int>("exemptionClass"); // 0: no slider moved
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QStringList>("fields"); // E1, T1, T4, E4, label of the class moved
    QTest::addColumn<int>("boxes");

    QTest::newRow("defaults, class 3 at 1")
        << "71" << 20 << 3 << 1 << true << QStringList{"20", "20", "46", "1", "Solution : 1/7"}
        << 0;
    QTest::newRow("80 teams, class 2 at 3")
        << "80" << 24 << 2 << 3 << true << QStringList{"24", "24", "47", "8", "Solution : 3/4"}
        << 0;
    QTest::newRow("no slider: the run's own display")
        << "71" << 36 << 0 << 0 << true << QStringList{"36", "36", "48", "30", ""} << 0;
    QTest::newRow("position past the count: the run only")
        << "71" << 20 << 1 << 8 << false << QStringList{"20", "20", "48", "24", "Solution : 1/7"}
        << 0;
    QTest::newRow("E1 beyond UpE1's range: nothing runs")
        << "71" << 72 << 0 << 0 << false << QStringList{"20", "", "", "52", ""} << 0;
    QTest::newRow("bad Effectif: one box, the run stops")
        << "7x" << 20 << 1 << 1 << false << QStringList{"20", "", "", "52", "0 solution"} << 1;
}

void TestShownSolution::showPlan()
{
    QFETCH(QString, registered);
    QFETCH(int, entrants1);
    QFETCH(int, exemptionClass);
    QFETCH(int, position);
    QFETCH(bool, shown);
    QFETCH(QStringList, fields);
    QFETCH(int, boxes);

    MessageBoxCatcher catcher;
    TVlmFPrg window;
    QVERIFY(velmorin::testing::showActive(window));
    if (registered != "71") {
        auto *effectif = child<QLineEdit>(window, "Effectif");
        effectif->setText(registered); // typed, not yet left
        QVERIFY(effectif->hasFocus());
    }
    std::optional<ShownSolution> solution;
    if (exemptionClass > 0)
        solution = ShownSolution{velmorin::exemptionClassFromNumber(exemptionClass), position};
    QCOMPARE(window.showPlan(entrants1, solution), shown);

    const auto text = [&window](const char *name) {
        return child<QLineEdit>(window, name)->text();
    };
    const char *label = exemptionClass > 0
                            ? velmorin::testing::WindowDriver::solutionLabelName(exemptionClass)
                            : nullptr;
    QCOMPARE((QStringList{text("E1"), text("T1"), text("T4"), text("E4"),
                          label ? child<QLabel>(window, label)->text() : QString()}),
             fields);
    QCOMPARE(catcher.shown().size(), boxes);
    if (shown && solution)
        QCOMPARE(window.shownSolution(), solution);
    // The focus went to "Calcul", as a press would leave it.
    if (fields.at(1) != "")
        QVERIFY(child<QPushButton>(window, "Button1")->hasFocus());
}

void TestShownSolution::registeredTeamsAsTyped()
{
    MessageBoxCatcher catcher;
    TVlmFPrg window;
    QVERIFY(velmorin::testing::showActive(window));
    QSignalSpy inputs(window.notifier(), &FeatureNotifier::inputsChanged);
    QVERIFY(window.setRegisteredTeams(80));
    QCOMPARE(child<QLineEdit>(window, "E1")->text(), QStringLiteral("24")); // the proposal
    QVERIFY(inputs.count() > 0);
    const std::optional<velmorin::Problem> problem = window.currentProblem();
    QVERIFY(problem);
    QCOMPARE(problem->registered, 80);
    QCOMPARE(problem->entrants1, 24);
    QVERIFY(!window.matchesLastCalculation());
    QTest::mouseClick(child<QPushButton>(window, "Button1"), Qt::LeftButton);
    QVERIFY(window.matchesLastCalculation());

    // Typed but not left: pending, and the last calculation no longer matches.
    auto *effectif = child<QLineEdit>(window, "Effectif");
    effectif->setFocus();
    QTest::keyClicks(effectif, QStringLiteral("1"));
    QVERIFY(window.registeredTeamsPending());
    QVERIFY(!window.matchesLastCalculation());
    effectif->setText(QStringLiteral("abc"));
    QVERIFY(!window.currentProblem(TVlmFPrg::Failure::Quiet));
    QCOMPARE(catcher.shown().size(), 0);
    QVERIFY(!window.currentProblem());
    QCOMPARE(catcher.shown().size(), 1);
    QVERIFY(!window.leaveRegisteredTeams());
    QVERIFY(window.registeredTeamsPending());
}

// A handler that runs nested in the run's pending-event processing changes the round-4
// ratio between class 3 and class 2: the run's classes then answer two problems.
void TestShownSolution::nestedRunMakesNoMixedCalculation()
{
    TVlmFPrg window;
    QVERIFY(velmorin::testing::showActive(window));
    auto *calcul = child<QPushButton>(window, "Button1");
    QTest::mouseClick(calcul, Qt::LeftButton);
    QVERIFY(window.lastCalculation());

    auto *ratio4 = child<velmorin::TRadioGroup>(window, "RG4");
    auto *trackBar2 = child<velmorin::TTrackBar>(window, "TrackBar2");
    struct OnHide : QObject
    {
        std::function<void()> act;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Hide && act)
                std::exchange(act, nullptr)();
            return false;
        }
    } onHide;
    onHide.act = [ratio4] { ratio4->setItemIndex(1); };
    trackBar2->installEventFilter(&onHide);
    QTest::mouseClick(calcul, Qt::LeftButton);
    QVERIFY(!onHide.act); // the change came in the middle of the run
    QVERIFY(!window.lastCalculation());

    // The next run reads one problem again.
    QTest::mouseClick(calcul, Qt::LeftButton);
    QVERIFY(window.lastCalculation());
    QCOMPARE(window.lastCalculation()->problem.round4, velmorin::Ratio::ThreeQuarters);
}

// A feature's action whose slot fails midway, with the wait cursor on: the action's own
// trigger (as the menu or its shortcut runs it) shows the error box saying why, gives the
// cursor back, and the next action still runs.
void TestShownSolution::failingFeatureSlotIsGuarded()
{
    MessageBoxCatcher boxes;
    TVlmFPrg window;
    QVERIFY(velmorin::testing::showActive(window));
    int ran = 0;
    QAction *failing = velmorin::addFeatureAction(
        window, QStringLiteral("Échoue"), QStringLiteral("actionEchoue"), QKeySequence(), [&ran] {
            const velmorin::WaitCursor waiting;
            ++ran;
            throw std::runtime_error("écriture impossible");
        });
    QAction *next = velmorin::addFeatureAction(window, QStringLiteral("Suivante"),
                                               QStringLiteral("actionSuivante"), QKeySequence(),
                                               [&ran] { ran += 10; });
    QVERIFY(window.contextActions().contains(failing));
    failing->trigger();
    QCOMPARE(ran, 1);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().text, QStringLiteral("écriture impossible."));
    next->trigger();
    QCOMPARE(ran, 11);
    QCOMPARE(boxes.shown().size(), 1);
}

QTEST_MAIN(TestShownSolution)
#include "tst_shownsolution.moc"
