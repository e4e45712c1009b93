// A long session on one window: a hundred calculations with changing inputs, every solution
// browsed, the about box shown twenty times. Meant to run under a leak checker as well:
//   ASAN_OPTIONS=detect_leaks=1 tst_soak        valgrind --leak-check=full tst_soak

#include "VlmPrg.h"
#include "WindowOracle.h"

#include <QtTest>

#include <memory>

namespace {

constexpr int kCalculations = 100;
constexpr int kAboutEvery = 5; // twenty shows
constexpr int kHistoryAt = 49; // the one show that plays the history

// The window's objects once the deferred deletions have run.
qsizetype liveObjects(const QWidget &window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.findChildren<QObject *>().size();
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void longSession();

private:
    void verify(WindowOracle &oracle, const QString &step);
    void browseEverything(WindowOracle &oracle, int run);
};

void TestSoak::verify(WindowOracle &oracle, const QString &step)
{
    const QString problem = oracle.check();
    if (!problem.isEmpty())
        QFAIL(qPrintable(step + QStringLiteral(": ") + problem));
}

// Every solution of every class, first to last, then back to the first.
void TestSoak::browseEverything(WindowOracle &oracle, int run)
{
    for (int k = 1; k <= 3; ++k) {
        if (!oracle.sliderVisible(k))
            continue;
        const QString step = QStringLiteral("run %1, TrackBar%2").arg(run).arg(k);
        oracle.stepSlider(k, std::nullopt, WindowOracle::SliderKey::Home);
        verify(oracle, step + QStringLiteral(" Home"));
        for (velmorin::Count p = 2; p <= oracle.solutionCount(k); ++p) {
            oracle.stepSlider(k, std::nullopt, WindowOracle::SliderKey::Right);
            verify(oracle, step + QStringLiteral(" at %1").arg(p));
        }
        oracle.stepSlider(k, std::nullopt, WindowOracle::SliderKey::PageDown);
        verify(oracle, step + QStringLiteral(" PageDown"));
    }
}

void TestSoak::longSession()
{
    TVlmFPrg window;
    QVERIFY(velmorin::testing::showActive(window));
    WindowOracle oracle(window);

    int browsedRuns = 0;
    int modelledWithSolutions = 0; // the runs of the sequence that the model finds solutions for
    qsizetype objectsAfterFirstRun = 0;
    for (int run = 0; run < kCalculations; ++run) {
        // Finals from 2 to 16 and back, the round-4 ratio now and then the other way.
        if (run % 3 == 0)
            oracle.clickFinaleArrow((run / 24) % 2 == 0);
        if (run % 10 == 9)
            oracle.clickRatio4(1 - oracle.ratio4());
        // Registered counts where this final has solutions, in decimal or hexadecimal.
        const int finale = oracle.finale();
        const int registered = oracle.ratio4() == 0 ? 9 * finale + (run * 7) % (7 * finale + 5)
                                                    : (run * 13) % (10 * finale + 5);
        if (run % 25 == 12) {
            // A text that is no count, and the largest count: both leave things consistent.
            oracle.typeEffectif(QStringLiteral("7 1"));
            oracle.clickCalcul();
            verify(oracle, QStringLiteral("run %1, not a count").arg(run));
            oracle.typeEffectif(QStringLiteral("2147483647"));
            oracle.clickCalcul();
            verify(oracle, QStringLiteral("run %1, largest count").arg(run));
        }
        oracle.typeEffectif(run % 4 == 1 ? QLatin1Char('$') + QString::number(registered, 16)
                                         : QString::number(registered));
        if (run % 6 == 5) {
            oracle.tab(false);
            oracle.clickEntrantsArrow(run % 12 == 5);
        }
        const int withSolutionsBefore = oracle.runsWithSolutions();
        oracle.clickCalcul();
        modelledWithSolutions += oracle.runsWithSolutions() - withSolutionsBefore;
        verify(oracle, QStringLiteral("run %1 with %2 registered").arg(run).arg(registered));

        browseEverything(oracle, run);
        if (run == 0)
            objectsAfterFirstRun = liveObjects(window);
        browsedRuns +=
            oracle.sliderVisible(1) || oracle.sliderVisible(2) || oracle.sliderVisible(3);
        if (run % kAboutEvery == kAboutEvery - 1) {
            oracle.showAbout(run == kHistoryAt);
            verify(oracle, QStringLiteral("run %1, about").arg(run));
        }
    }
    QCOMPARE(oracle.aboutShows(), kCalculations / kAboutEvery);
    // Nothing piles up while the window lives: dialogs, boxes and helpers go with their use.
    QCOMPARE(liveObjects(window), objectsAfterFirstRun);
    QCOMPARE(QApplication::topLevelWidgets().size(), qsizetype{1});
    QCOMPARE(window.Propos1->Lignes().size(), qsizetype{21});
    QVERIFY(oracle.runs() >= kCalculations);
    QVERIFY2(browsedRuns > kCalculations / 2, "too few runs had solutions to browse");
    // Four of the runs also calculate with the largest count (the text that is no count
    // stops before the run); the inputs are fixed, and so is what they give.
    QCOMPARE(oracle.runs(), kCalculations + 4);
    // A slider shows after browsing exactly when the model found solutions for that run.
    QCOMPARE(browsedRuns, modelledWithSolutions);
    qInfo("%d runs (%d with solutions), %d solutions shown, %d error boxes, %d about shows",
          oracle.runs(), oracle.runsWithSolutions(), oracle.solutionsShown(), oracle.errorBoxes(),
          oracle.aboutShows());
}

VELMORIN_WINDOW_TEST_MAIN(TestSoak)

#include "tst_soak.moc"
