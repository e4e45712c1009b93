// The main window driven as a person would: typing, clicking, stepping the sliders.

#include "ErrorBox.h"
#include "Hints.h"
#include "MessageBoxCatcher.h"
#include "Propos.h"
#include "RadioGroup.h"
#include "TrackBar.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"
#include "aprop.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <limits>
#include <memory>

using velmorin::TRadioGroup;
using velmorin::TTrackBar;
using velmorin::TUpDown;
using velmorin::testing::conversionError;

class TestMainWindow : public QObject, private velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUp();
    void smallWindowScrolls();
    void tabOrder();
    void typicalUse();
    void defaultsRun();
    void roundFourThreeQuartersEnds();
    void rerunAfterMovingASlider_data();
    void rerunAfterMovingASlider();
    void classLosingItsSolutions();
    void whyNoSolutionTooltips_data();
    void whyNoSolutionTooltips();
    void nestedRunLeavesConsistentLists();
    void effectifErrors_data();
    void effectifErrors();
    void failedRunKeepsCountsAndSliders();
    void hexadecimalEffectif();
    void finaleStopsAtItsEnds();
    void roundOneProposalAndBound_data();
    void roundOneProposalAndBound();
    void steppedEntrantsBeforeFirstRun();
    void steppedEntrantsAfterFirstRun();
    void sliderThreeAtFirstSolution();
    void sliderOneHidesMarking();
    void everyScrollStepRunsTheHandlerOnce_data();
    void everyScrollStepRunsTheHandlerOnce();
    void largestCountAnswers();
    void switchingApplicationsChangesNothing();
    void anotherWindowReleasesTheLists();
    void errorBoxText_data();
    void errorBoxText();
    void quitterEndsTheProgram();
    void aboutBoxChangesNothing();

private:
    void clickArrow(const char *upDown, bool up, int times = 1);
    void moveSlider(int k, int position);
    void compareRounds(const QStringList &expected) const;
    QStringList snapshot() const;

    std::unique_ptr<TVlmFPrg> m_window;
};

void TestMainWindow::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    setWindow(m_window.get());
    QVERIFY(velmorin::testing::showActive(*m_window));
}

void TestMainWindow::cleanup()
{
    m_window.reset();
}

void TestMainWindow::clickArrow(const char *upDown, bool up, int times)
{
    auto *control = get<TUpDown>(upDown);
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(up ? control->upArrow() : control->downArrow(), Qt::LeftButton);
}

// Home, then one Right per step: every step is a scroll notification of its own.
void TestMainWindow::moveSlider(int k, int position)
{
    TTrackBar *bar = trackBar(k);
    QTest::keyClick(bar, Qt::Key_Home);
    for (int p = 1; p < position; ++p)
        QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(bar->position(), position);
}

// T1, T2, T3, T4, E2, E3, E4.
void TestMainWindow::compareRounds(const QStringList &expected) const
{
    const QStringList shown{text("T1"), text("T2"), text("T3"), text("T4"),
                            text("E2"), text("E3"), text("E4")};
    QCOMPARE(shown, expected);
}

void TestMainWindow::startUp()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("(2006) Calcul des tours en Velmorin"));
    QCOMPARE(text("Effectif"), QStringLiteral("71"));
    QCOMPARE(text("Finale"), QStringLiteral("6"));
    QCOMPARE(text("E1"), QStringLiteral("20"));
    QCOMPARE(text("E4"), QStringLiteral("52"));
    QCOMPARE(get<TUpDown>("UpFinale")->position(), 6);
    QCOMPARE(get<TUpDown>("UpE1")->position(), 20);
    QCOMPARE(get<TUpDown>("UpE1")->maximum(), 68);
    for (const char *group : {"RG1", "RG2", "RG3"}) {
        QCOMPARE(get<TRadioGroup>(group)->itemIndex(), 1);
        QVERIFY(!get<TRadioGroup>(group)->isEnabled());
    }
    for (const char *group : {"RG4", "RG5", "RG6"})
        QCOMPARE(get<TRadioGroup>(group)->itemIndex(), 0);
    QVERIFY(get<TRadioGroup>("RG4")->isEnabled());
    QVERIFY(!get<TRadioGroup>("RG5")->isEnabled());
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(labelText(solutionLabelName(k)), QStringLiteral("0 solution"));
        QVERIFY(!trackBar(k)->isVisible());
        QCOMPARE(trackBar(k)->minimum(), 1);
        QCOMPARE(trackBar(k)->maximum(), 10);
        QCOMPARE(trackBar(k)->position(), 1);
    }
    QVERIFY(!get<QLabel>("Fini")->isVisible());
    QVERIFY(get<QLabel>("ExempNbrs")->isVisible());
    QCOMPARE(labelText("ExempNbrs"), QStringLiteral("2"));
    QCOMPARE(labelText("ExempLabel"), QStringLiteral("Exemptée"));
    QCOMPARE(QApplication::focusWidget(), get<QWidget>("Effectif"));

    // A few layout values, as the layout table gives them.
    QCOMPARE(get<QPushButton>("Button1")->geometry(), QRect(294, 184, 75, 25));
    QCOMPARE(get<QPushButton>("Button1")->font().pixelSize(), 19);
    QCOMPARE(get<QPushButton>("Button1")->palette().color(QPalette::ButtonText), QColor(Qt::red));
    QCOMPARE(get<QLineEdit>("Effectif")->palette().color(QPalette::Text), QColor(Qt::blue));
    QCOMPARE(get<QLabel>("Solution2")->font().pixelSize(), 27);
    QCOMPARE(get<QPushButton>("Button3")->text(), QStringLiteral("&A Propos"));
    QVERIFY(get<QLineEdit>("T3")->isReadOnly());
    QCOMPARE(get<QLineEdit>("T3")->accessibleName(), QStringLiteral("Tour 3"));
    QCOMPARE(get<QToolButton>("up")->focusPolicy(), Qt::NoFocus);
}

void TestMainWindow::smallWindowScrolls()
{
    auto *scrollArea = m_window->findChild<QScrollArea *>();
    QVERIFY(scrollArea);
    QVERIFY(!scrollArea->horizontalScrollBar()->isVisible());
    QVERIFY(!scrollArea->verticalScrollBar()->isVisible());
    m_window->resize(300, 300);
    QTRY_VERIFY(scrollArea->horizontalScrollBar()->isVisible());
    QVERIFY(scrollArea->verticalScrollBar()->isVisible());
    QCOMPARE(get<QPushButton>("Button1")->geometry(), QRect(294, 184, 75, 25));
}

// Hidden sliders, disabled groups and the up-down arrows are no tab stops.
void TestMainWindow::tabOrder()
{
    QStringList visited;
    for (int i = 0; i < 17; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        const bool radio = qobject_cast<QRadioButton *>(focused) != nullptr;
        visited << (radio ? focused->parentWidget()->objectName() + QLatin1Char(':') +
                                static_cast<QRadioButton *>(focused)->text()
                          : focused->objectName());
    }
    const QStringList expected{"Finale", "Button1", "E1",      "T1",      "E2",      "T2",
                               "E3",     "T3",      "E4",      "T4",      "RG4:1/2", "T5",
                               "T6",     "T7",      "Button2", "Button3", "Effectif"};
    QCOMPARE(visited, expected);
}

void TestMainWindow::typicalUse()
{
    typeEffectif(QStringLiteral("80"));
    clickCalcul();
    QCOMPARE(text("E1"), QStringLiteral("24"));
    QCOMPARE(labelText("Solution3"), QStringLiteral("Solution : 1/4"));
    QCOMPARE(labelText("Solution2"), QStringLiteral("Solution : 1/4"));
    QCOMPARE(labelText("solution1"), QStringLiteral("Solution : 1/5"));

    moveSlider(2, 3);
    compareRounds({"24", "56", "52", "47", "38", "10", "8"});
    QCOMPARE(labelText("ExempNbrs"), QStringLiteral("1"));
    QCOMPARE(labelText("ExempLabel"), QStringLiteral("Exemptée"));
    QVERIFY(get<QLabel>("ExempNbrs")->isVisible());
    QVERIFY(get<QLabel>("ExempLabel")->isVisible());
    QCOMPARE(get<QLabel>("ExempNbrs")->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(get<QLabel>("ExempLabel")->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(labelText("Solution2"), QStringLiteral("Solution : 3/4"));
}

void TestMainWindow::defaultsRun()
{
    clickCalcul();
    compareRounds({"20", "40", "32", "48", "25", "2", "24"});
    QCOMPARE(text("T5"), QStringLiteral("24"));
    QCOMPARE(text("T6"), QStringLiteral("12"));
    QCOMPARE(text("T7"), QStringLiteral("6"));
    QVERIFY(!get<QLabel>("ExempNbrs")->isVisible());
    QVERIFY(!get<QLabel>("ExempLabel")->isVisible());
    QVERIFY(!get<QLabel>("Fini")->isVisible());
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(labelText(solutionLabelName(k)), QStringLiteral("Solution : 1/7"));
        QVERIFY(trackBar(k)->isVisible());
        QCOMPARE(trackBar(k)->maximum(), 7);
        QCOMPARE(trackBar(k)->position(), 1);
    }
    // The last position shows what the run wrote for the last solution.
    moveSlider(1, 7);
    compareRounds({"20", "40", "32", "48", "25", "2", "24"});
    QCOMPARE(labelText("solution1"), QStringLiteral("Solution : 7/7"));
}

void TestMainWindow::roundFourThreeQuartersEnds()
{
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(1), Qt::LeftButton);
    QCOMPARE(get<TRadioGroup>("RG4")->itemIndex(), 1);
    clickCalcul();
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(labelText(solutionLabelName(k)), QStringLiteral("0 solution"));
        QVERIFY(!trackBar(k)->isVisible());
    }
    QVERIFY(get<QLabel>("Fini")->isVisible());
    for (const char *field : {"T2", "T3", "E2", "E3", "E4"})
        QVERIFY2(text(field).isEmpty(), field);
}

void TestMainWindow::rerunAfterMovingASlider_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("handlerRuns");
    QTest::addColumn<QString>("label");

    // Back from 5 to 1: once. Beyond the new count: clamped to it, then set to 1: twice.
    QTest::newRow("same inputs, from 5") << "71" << 5 << 1 << "Solution : 1/7";
    QTest::newRow("fewer solutions, from 7") << "80" << 7 << 2 << "Solution : 1/4";
    QTest::newRow("fewer solutions, from 3") << "80" << 3 << 1 << "Solution : 1/4";
    QTest::newRow("already at 1") << "71" << 1 << 0 << "Solution : 1/7";
}

void TestMainWindow::rerunAfterMovingASlider()
{
    QFETCH(QString, registered);
    QFETCH(int, position);
    QFETCH(int, handlerRuns);
    QFETCH(QString, label);

    clickCalcul();
    moveSlider(2, position);
    typeEffectif(registered);
    QSignalSpy runs(trackBar(2), &TTrackBar::changed);
    clickCalcul();
    QCOMPARE(runs.count(), handlerRuns);
    QCOMPARE(trackBar(2)->position(), 1);
    QCOMPARE(labelText("Solution2"), label);
    // Class 1 comes last: its last solution (or its first, when its slider moved) stays.
    QVERIFY(!get<QLabel>("ExempNbrs")->isVisible());
    QCOMPARE(text("T4"), QStringLiteral("48"));
}

void TestMainWindow::classLosingItsSolutions()
{
    clickCalcul();
    moveSlider(3, 4);
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(1), Qt::LeftButton);
    clickCalcul();
    QCOMPARE(trackBar(3)->maximum(), 7);
    QCOMPARE(trackBar(3)->position(), 1);
    QVERIFY(!trackBar(3)->isVisible());
    QCOMPARE(labelText("Solution3"), QStringLiteral("0 solution"));
    QVERIFY(get<QLabel>("Fini")->isVisible());
}

void TestMainWindow::whyNoSolutionTooltips_data()
{
    QTest::addColumn<int>("round4");  // RG4's item: 0 for 1/2, 1 for 3/4
    QTest::addColumn<int>("e1Steps"); // clicks on UpE1 from the proposal, 20
    // The tooltips of solution1, Solution2, Solution3 and Fini; empty for the label's usual
    // hint.
    QTest::addColumn<QStringList>("tooltips");

    const QString fewer = QStringLiteral(
        "Il reste trop peu d'équipes pour les tours 2 à 4 : le tour 4 en compterait au plus %1, "
        "il en faut %2 ; valeurs de E1 les plus proches avec une solution dans cette classe : "
        "%3 en dessous, aucune au-dessus.");
    const QString quarterFinal = QStringLiteral(
        "Un tour 4 à 3/4 ne peut pas être entier avec cette finale et ces rapports : les places "
        "qu'il doit pourvoir en quart de finale (%1) ne sont pas un multiple de 3 ; aucune valeur "
        "de E1 ne donne de solution dans cette classe.");

    QTest::newRow("every class has solutions") << 0 << 0 << QStringList{"", "", "", ""};
    QTest::newRow("class 1 alone without, E1 40")
        << 0 << 5 << QStringList{fewer.arg(47).arg(48).arg(36), "", "", ""};
    QTest::newRow("no class, E1 44")
        << 0 << 6
        << QStringList{fewer.arg(44).arg(48).arg(36), fewer.arg(44).arg(47).arg(40),
                       fewer.arg(44).arg(46).arg(40),
                       "Aucune classe n'a de solution avec E1 = 44 ; valeurs de E1 les plus "
                       "proches avec une solution : 40 en dessous, aucune au-dessus."};
    QTest::newRow("round 4 at 3/4")
        << 1 << 0
        << QStringList{"Il reste trop d'équipes pour les tours 2 à 4 : le tour 4 en compterait au "
                       "moins 38, il en faut 32 ; valeurs de E1 les plus proches avec une "
                       "solution dans cette classe : aucune en dessous, 64 au-dessus.",
                       quarterFinal.arg(23), quarterFinal.arg(22),
                       "Aucune classe n'a de solution avec E1 = 20 ; valeurs de E1 les plus "
                       "proches avec une solution : aucune en dessous, 64 au-dessus."};
}

// Hovering over "0 solution" or "FIN" says why; a class with solutions again gives its usual
// hint.
// Each row starts where every label explains itself, at E1 48.
void TestMainWindow::whyNoSolutionTooltips()
{
    QFETCH(int, round4);
    QFETCH(int, e1Steps);
    QFETCH(QStringList, tooltips);

    const auto shownTooltips = [this] {
        return QStringList{get<QLabel>("solution1")->toolTip(), get<QLabel>("Solution2")->toolTip(),
                           get<QLabel>("Solution3")->toolTip(), get<QLabel>("Fini")->toolTip()};
    };
    clickCalcul();
    clickArrow("UpE1", true, 7);
    clickCalcul();
    for (const QString &tooltip : shownTooltips())
        QVERIFY(!tooltip.isEmpty());

    QTest::mouseClick(get<TRadioGroup>("RG4")->item(round4), Qt::LeftButton);
    clickArrow("UpE1", false, 7 - e1Steps);
    clickCalcul();
    QStringList expected = tooltips;
    const char *const names[] = {"solution1", "Solution2", "Solution3", "Fini"};
    for (int i = 0; i < expected.size(); ++i) {
        if (expected[i].isEmpty())
            expected[i] = velmorin::controlHint(QLatin1String(names[i]));
    }
    QCOMPARE(shownTooltips(), expected);
    // The texts stay as they were.
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(labelText(solutionLabelName(k)) == QStringLiteral("0 solution"),
                 !tooltips[k - 1].isEmpty());
    QCOMPARE(get<QLabel>("Fini")->isVisible(), !tooltips[3].isEmpty());
    QCOMPARE(labelText("Fini"), QStringLiteral("FIN"));
}

// A second press of "Calcul" that arrives while the first one lets events through.
void TestMainWindow::nestedRunLeavesConsistentLists()
{
    clickCalcul();
    moveSlider(1, 3);
    typeEffectif(QStringLiteral("80"));
    bool nested = false;
    QTimer::singleShot(0, this, [&] {
        nested = true;
        clickCalcul();
    });
    clickCalcul();
    QVERIFY(nested);
    QCOMPARE(labelText("Solution3"), QStringLiteral("Solution : 1/4"));
    QCOMPARE(labelText("solution1"), QStringLiteral("Solution : 1/5"));
    moveSlider(3, 4);
    compareRounds({"24", "64", "48", "46", "46", "0", "10"});
    QCOMPARE(labelText("Solution3"), QStringLiteral("Solution : 4/4"));
    moveSlider(1, 5);
    compareRounds({"24", "56", "48", "48", "38", "6", "12"});
}

void TestMainWindow::effectifErrors_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << "abc";
    QTest::newRow("trailing space") << "71 ";
    QTest::newRow("empty") << "";
    QTest::newRow("beyond 32 bits") << "2147483648";
}

// Leaving the field reports the error; the focus still moves on.
void TestMainWindow::effectifErrors()
{
    QFETCH(QString, typed);
    typeEffectif(typed);
    {
        MessageBoxCatcher catcher;
        QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Tab);
        QCOMPARE(catcher.shown().size(), 1);
        const ShownMessageBox &box = catcher.shown().first();
        QCOMPARE(box.text, conversionError(typed));
        QCOMPARE(box.title, QStringLiteral("Velmorin"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttonCount, 1);
    }
    QCOMPARE(text("E1"), QStringLiteral("20"));
    QCOMPARE(m_window->focusWidget(), get<QWidget>("Finale"));
}

// Leaving the field for "Calcul" reports the error and drops that click; the next click
// runs the calculation, which stops at the same conversion, keeping counts and sliders.
void TestMainWindow::failedRunKeepsCountsAndSliders()
{
    clickCalcul();
    typeEffectif(QStringLiteral("abc"));
    auto *calcul = get<QPushButton>("Button1");
    {
        MessageBoxCatcher catcher;
        clickCalcul();
        QCOMPARE(catcher.shown().size(), 1);
        QCOMPARE(catcher.shown().first().text, conversionError(QStringLiteral("abc")));
    }
    QCOMPARE(text("T2"), QStringLiteral("40"));
    QVERIFY(!calcul->isDown());
    QCOMPARE(m_window->focusWidget(), calcul);
    {
        MessageBoxCatcher catcher;
        clickCalcul();
        QCOMPARE(catcher.shown().size(), 1);
        QCOMPARE(catcher.shown().first().text, conversionError(QStringLiteral("abc")));
    }
    for (const char *field : {"T2", "T3", "E2", "E3", "E4"})
        QVERIFY2(text(field).isEmpty(), field);
    QCOMPARE(text("T1"), QStringLiteral("20"));
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(labelText(solutionLabelName(k)), QStringLiteral("Solution : 1/7"));
        QVERIFY(trackBar(k)->isVisible());
    }
    moveSlider(2, 3);
    compareRounds({"20", "24", "52", "47", "9", "34", "8"});
}

void TestMainWindow::hexadecimalEffectif()
{
    typeEffectif(QStringLiteral("$47"));
    clickCalcul();
    QCOMPARE(text("E1"), QStringLiteral("20"));
    QCOMPARE(labelText("solution1"), QStringLiteral("Solution : 1/7"));
}

void TestMainWindow::finaleStopsAtItsEnds()
{
    QSignalSpy clicks(get<TUpDown>("UpFinale"), &TUpDown::clicked);
    clickArrow("UpFinale", true, 20);
    QCOMPARE(text("Finale"), QStringLiteral("32"));
    QCOMPARE(clicks.count(), 13);
    clickArrow("UpFinale", false, 20);
    QCOMPARE(text("Finale"), QStringLiteral("0"));
    QCOMPARE(clicks.count(), 13 + 16);
    // The round-1 bound follows; E1 does not.
    QCOMPARE(get<TUpDown>("UpE1")->maximum(), 72);
    QCOMPARE(text("E1"), QStringLiteral("20"));
}

void TestMainWindow::roundOneProposalAndBound_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<int>("finale");
    QTest::addColumn<QString>("entrants1");
    QTest::addColumn<int>("bound");

    QTest::newRow("71") << "71" << 6 << "20" << 48;
    QTest::newRow("100") << "100" << 6 << "32" << 80;
    QTest::newRow("11") << "11" << 6 << "0" << -8;
    QTest::newRow("12") << "12" << 6 << "4" << -8;
    QTest::newRow("0") << "0" << 6 << "0" << -20;
    QTest::newRow("-5") << "-5" << 6 << "0" << -24;
    QTest::newRow("71, final 0") << "71" << 0 << "20" << 72;
    QTest::newRow("71, final 2") << "71" << 2 << "20" << 64;
    QTest::newRow("71, final 16") << "71" << 16 << "20" << 8;
    QTest::newRow("71, final 18") << "71" << 18 << "20" << 4;
    QTest::newRow("71, final 32") << "71" << 32 << "20" << -52;
    QTest::newRow("300 beyond the old bound") << "300" << 6 << "100" << 280;
    QTest::newRow("100000 in full") << "100000" << 6 << "33332" << 99980;
    QTest::newRow("32788 does not wrap") << "32788" << 6 << "10928" << 32768;
    QTest::newRow("int max, bound clamped")
        << "2147483647" << 0 << "715827880" << std::numeric_limits<int>::max();
    QTest::newRow("int min, bound clamped")
        << "-2147483648" << 32 << "-715827880" << std::numeric_limits<int>::min();
}

void TestMainWindow::roundOneProposalAndBound()
{
    QFETCH(QString, registered);
    QFETCH(int, finale);
    QFETCH(QString, entrants1);
    QFETCH(int, bound);

    clickArrow("UpFinale", finale > 6, std::abs(finale - 6) / 2);
    QCOMPARE(text("Finale"), QString::number(finale));
    typeEffectif(registered);
    QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Tab);
    QCOMPARE(text("E1"), entrants1);
    QCOMPARE(get<TUpDown>("UpE1")->position(), entrants1.toInt());
    QCOMPARE(get<TUpDown>("UpE1")->maximum(), bound);
}

// The focus is still in Effectif: leaving it for "Calcul" proposes 20 again first.
void TestMainWindow::steppedEntrantsBeforeFirstRun()
{
    clickArrow("UpE1", true);
    QCOMPARE(text("E1"), QStringLiteral("24"));
    QCOMPARE(QApplication::focusWidget(), get<QWidget>("Effectif"));
    clickCalcul();
    QCOMPARE(text("E1"), QStringLiteral("20"));
    QCOMPARE(text("T1"), QStringLiteral("20"));
    QCOMPARE(labelText("solution1"), QStringLiteral("Solution : 1/7"));
}

void TestMainWindow::steppedEntrantsAfterFirstRun()
{
    clickCalcul();
    clickArrow("UpE1", true);
    clickCalcul();
    QCOMPARE(text("E1"), QStringLiteral("24"));
    QCOMPARE(text("T1"), QStringLiteral("24"));
    QCOMPARE(labelText("Solution3"), QStringLiteral("Solution : 1/6"));
}

void TestMainWindow::sliderThreeAtFirstSolution()
{
    clickCalcul();
    moveSlider(3, 5);
    moveSlider(3, 1);
    compareRounds({"20", "20", "60", "46", "5", "45", "1"});
    QCOMPARE(labelText("ExempNbrs"), QStringLiteral("2"));
    QCOMPARE(labelText("ExempLabel"), QStringLiteral("Exemptées"));
    QCOMPARE(get<QLabel>("ExempNbrs")->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(get<QLabel>("ExempLabel")->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(labelText("Solution3"), QStringLiteral("Solution : 1/7"));
}

void TestMainWindow::sliderOneHidesMarking()
{
    clickCalcul();
    moveSlider(2, 2);
    QVERIFY(get<QLabel>("ExempLabel")->isVisible());
    moveSlider(1, 2);
    QVERIFY(!get<QLabel>("ExempNbrs")->isVisible());
    QVERIFY(!get<QLabel>("ExempLabel")->isVisible());
    compareRounds({"20", "20", "52", "48", "5", "37", "9"});
}

void TestMainWindow::everyScrollStepRunsTheHandlerOnce_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("end");

    QTest::newRow("right") << 3 << int(Qt::Key_Right) << 4;
    QTest::newRow("left") << 3 << int(Qt::Key_Left) << 2;
    QTest::newRow("page down") << 3 << int(Qt::Key_PageDown) << 1;
    QTest::newRow("page up") << 3 << int(Qt::Key_PageUp) << 5;
    QTest::newRow("right at the end") << 7 << int(Qt::Key_Right) << 7;
    QTest::newRow("home at the start") << 1 << int(Qt::Key_Home) << 1;
}

void TestMainWindow::everyScrollStepRunsTheHandlerOnce()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, end);

    clickCalcul();
    moveSlider(3, start);
    QSignalSpy runs(trackBar(3), &TTrackBar::changed);
    QTest::keyClick(trackBar(3), Qt::Key(key));
    QCOMPARE(trackBar(3)->position(), end);
    QCOMPARE(runs.count(), 1);
    QCOMPARE(labelText("Solution3"), QStringLiteral("Solution : %1/7").arg(end));
}

void TestMainWindow::largestCountAnswers()
{
    typeEffectif(QString::number(std::numeric_limits<int>::max()));
    clickCalcul();
    QCOMPARE(text("E1"), QStringLiteral("715827880"));
    QCOMPARE(text("T7"), QStringLiteral("6"));
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(labelText(solutionLabelName(k)), QStringLiteral("0 solution"));
    QVERIFY(get<QLabel>("Fini")->isVisible());
}

void TestMainWindow::switchingApplicationsChangesNothing()
{
    clickCalcul();
    typeEffectif(QStringLiteral("80"));
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(m_window.get());
    QCOMPARE(QApplication::focusWidget(), get<QWidget>("Effectif"));
    QCOMPARE(text("E1"), QStringLiteral("20"));
    moveSlider(2, 3);
    compareRounds({"20", "24", "52", "47", "9", "34", "8"});
}

// Another non-modal window of the program taking over releases the lists: the sliders then
// show only the exemption marking, and nothing released is read.
void TestMainWindow::anotherWindowReleasesTheLists()
{
    clickCalcul();
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    moveSlider(2, 3);
    compareRounds({"20", "40", "32", "48", "25", "2", "24"});
    QCOMPARE(labelText("Solution2"), QStringLiteral("Solution : 1/7"));
    QCOMPARE(labelText("ExempNbrs"), QStringLiteral("1"));
    QVERIFY(get<QLabel>("ExempLabel")->isVisible());
}

void TestMainWindow::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("letter") << "abc"
                            << "abc.";
    QTest::newRow("digit") << "71"
                           << "71.";
    QTest::newRow("accented letter") << "entière"
                                     << "entière.";
    QTest::newRow("period") << "fin."
                            << "fin.";
    QTest::newRow("below the period") << "quoi !"
                                      << "quoi !";
    QTest::newRow("empty") << ""
                           << "";
    // One mapping with the calculator's messages: the controls as their pictures, and the C1
    // controls, which some terminals obey, as the replacement character.
    QTest::newRow("escape sequence")
        << QStringLiteral("'\x1b]0;titre\a16'") << QStringLiteral("'␛]0;titre␇16'");
    QTest::newRow("C1 control") << QStringLiteral("7\u009b2J") << QStringLiteral("7�2J.");
}

void TestMainWindow::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(velmorin::errorBoxText(message), shown);
}

void TestMainWindow::quitterEndsTheProgram()
{
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(10000);
    QTimer::singleShot(0, this,
                       [this] { QTest::mouseClick(get<QPushButton>("Button2"), Qt::LeftButton); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!m_window->isVisible());
}

// Every input, result, label and slider of the window, as one list of texts.
QStringList TestMainWindow::snapshot() const
{
    QStringList state;
    for (const QLineEdit *edit : m_window->findChildren<QLineEdit *>())
        state << edit->objectName() + '=' + edit->text();
    for (const QLabel *label : m_window->findChildren<QLabel *>())
        state << label->objectName() + '=' + label->text() + (label->isVisible() ? "+" : "-");
    for (const TTrackBar *slider : m_window->findChildren<TTrackBar *>())
        state << QStringLiteral("%1=%2/%3..%4%5")
                     .arg(slider->objectName())
                     .arg(slider->value())
                     .arg(slider->minimum())
                     .arg(slider->maximum())
                     .arg(slider->isVisible() ? "+" : "-");
    for (const TRadioGroup *group : m_window->findChildren<TRadioGroup *>())
        state << group->objectName() + '=' + QString::number(group->itemIndex());
    return state;
}

void TestMainWindow::aboutBoxChangesNothing()
{
    typeEffectif(QStringLiteral("80"));
    clickCalcul();
    moveSlider(2, 3);
    const QStringList before = snapshot();

    QStringList shownCaptions;
    QList<int> shownLineCounts;
    m_window->Propos1->setDialogHook([&](TApropos &dialog) {
        shownCaptions << dialog.windowTitle();
        shownLineCounts << dialog.histoLignes().size();
        QTimer::singleShot(0, &dialog, &QDialog::reject);
    });
    for (int press = 0; press < 2; ++press)
        QTest::mouseClick(get<QPushButton>("Button3"), Qt::LeftButton);

    const QString caption = QStringLiteral("De l'utilitaire organisation Velmorin");
    QCOMPARE(shownCaptions, QStringList({caption, caption}));
    QCOMPARE(shownLineCounts, QList<int>({21, 21})); // the history once per press
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(snapshot(), before);

    moveSlider(2, 4); // the solutions can still be browsed
    QCOMPARE(labelText("Solution2"), QStringLiteral("Solution : 4/4"));
}

VELMORIN_WINDOW_TEST_MAIN(TestMainWindow)

#include "tst_vlmprg.moc"
