#include "tst_vlmprg.h"

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
