// Which solution the round fields show, as the window reports it to the features that use it.

#include "MessageBoxCatcher.h"
#include "RadioGroup.h"
#include "TrackBar.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using velmorin::ExemptionClass;
using velmorin::ShownSolution;
using velmorin::testing::child;

class TestShownSolution : public QObject
{
    Q_OBJECT

private slots:
    void followsRunsAndSliders();
};

void TestShownSolution::followsRunsAndSliders()
{
    MessageBoxCatcher boxes;
    auto window = std::make_unique<TVlmFPrg>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy changes(window.get(), &TVlmFPrg::shownSolutionChanged);
    QSignalSpy runs(window.get(), &TVlmFPrg::calculated);
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

    // A run without solution shows none.
    child<velmorin::TRadioGroup>(*window, "RG4")->setItemIndex(1);
    QTest::mouseClick(calcul, Qt::LeftButton);
    QVERIFY(!shown());
    QVERIFY(!window->lastCalculation()->anySolution());

    // Nor does a run stopped by a bad count, and it is no calculation.
    child<velmorin::TRadioGroup>(*window, "RG4")->setItemIndex(0);
    QTest::mouseClick(calcul, Qt::LeftButton);
    QVERIFY(shown());
    effectif->setText(QStringLiteral("abc"));
    QTest::mouseClick(calcul, Qt::LeftButton); // the focus is on "Calcul": no exit first
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(!shown());
    QCOMPARE(runs.count(), 3);
    QVERIFY(changes.count() >= 4);
}

QTEST_MAIN(TestShownSolution)
#include "tst_shownsolution.moc"
