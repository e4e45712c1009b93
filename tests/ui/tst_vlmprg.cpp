#include "tst_vlmprg.h"

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

VELMORIN_WINDOW_TEST_MAIN(TestMainWindow)
