#include "tst_overview_dialog.h"

void TestOverviewDialog::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    velmorin::installFeatures(*m_window);
    setWindow(m_window.get());
    QVERIFY(velmorin::testing::showActive(*m_window));
    pressF2();
    m_dialog = get<QDialog>("VueEnsemble");
    QVERIFY(m_dialog);
    m_table = m_dialog->findChild<QTableView *>(QStringLiteral("TableEnsemble"));
    QVERIFY(m_table);
}

void TestOverviewDialog::cleanup()
{
    m_window.reset();
}

// The shortcut belongs to the main window, which must be the active one.
void TestOverviewDialog::pressF2()
{
    velmorin::testing::pressShortcut(*m_window, Qt::Key_F2);
}

QStringList TestOverviewDialog::tableRows() const
{
    const QAbstractItemModel *model = m_table->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        const auto cell = [&](int c) { return model->index(r, c).data().toString(); };
        rows << QStringLiteral("%1: %2 %3 %4").arg(cell(0), cell(1), cell(2), cell(3));
    }
    return rows;
}

QStringList TestOverviewDialog::solutionLabels() const
{
    return {labelText("Solution3"), labelText("Solution2"), labelText("solution1")};
}

velmorin::OverviewChart *TestOverviewDialog::chart() const
{
    return m_dialog->findChild<velmorin::OverviewChart *>(QStringLiteral("GraphiqueEnsemble"));
}

// Chooses a row of the table as the user would, from the dialog.
void TestOverviewDialog::chooseBy(const QString &how, int row)
{
    if (how == "double click" || how == "Enter") {
        velmorin::testing::chooseRow(*m_dialog, *m_table, row, how);
    } else {
        // The middle of the bar's lowest segment, class 3's.
        const auto bar = chart()->drawing().bars.at(std::size_t(row));
        const QPoint at =
            bar.pieces[classIndex(velmorin::ExemptionClass::Class3)].center().toPoint();
        QTest::mouseClick(chart(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents(); // the choice runs once the click is over
    }
}

void TestOverviewDialog::opensWithF2()
{
    QAction *action = get<QAction>("actionVueEnsemble");
    QVERIFY(m_window->contextActions().contains(action));
    QCOMPARE(action->text(), QStringLiteral("Vue d'ensemble…"));
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F2));

    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_dialog->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Vue d'ensemble des entrées au Tour 1"));
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(m_dialog->findChild<QLabel *>(QStringLiteral("EntreesEnsemble"))->text(),
             QStringLiteral("Équipes inscrites : 71 — Finale : 6 — Tour 4 : 1/2 (quart de "
                            "finale 1/2, demi-finale 1/2)"));
    // The window's E1 is marked.
    QCOMPARE(m_table->selectionModel()->selectedRows().value(0).row(), 5);

    // The window stays usable, and a second F2 shows the same dialog.
    QTest::mouseClick(get<TUpDown>("UpE1")->upArrow(), Qt::LeftButton);
    QCOMPARE(text("E1"), QStringLiteral("24"));
    pressF2();
    QCOMPARE(velmorin::testing::topLevelWindows<QDialog>(QStringLiteral("VueEnsemble")).size(), 1);
}

// Opened beside the window once; closed and opened again, it stands where the user left it.
void TestOverviewDialog::keepsWhereItWasMoved()
{
    const QPoint movedTo = m_dialog->pos() + QPoint(-37, 23);
    m_dialog->move(movedTo);
    m_dialog->close();
    QVERIFY(!m_dialog->isVisible());
    pressF2();
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->pos(), movedTo);
}

void TestOverviewDialog::choosingAnEntrantCount_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("labels"); // classes 3, 2, 1

    QTest::newRow("double click") << "double click" << 2
                                  << QStringList{"Solution : 1/6", "Solution : 1/6",
                                                 "Solution : 1/8"};
    QTest::newRow("Enter") << "Enter" << 10
                           << QStringList{"Solution : 1/1", "Solution : 1/1", "0 solution"};
    QTest::newRow("bar") << "bar" << 0
                         << QStringList{"Solution : 1/5", "Solution : 1/5", "Solution : 1/7"};
}

void TestOverviewDialog::choosingAnEntrantCount()
{
    QFETCH(QString, how);
    QFETCH(int, row);
    QFETCH(QStringList, labels);

    const QString entrants1 = kDefaultRows.at(row).section(':', 0, 0);
    chooseBy(how, row);

    QCOMPARE(text("E1"), entrants1);
    QCOMPARE(get<TUpDown>("UpE1")->position(), entrants1.toInt());
    QCOMPARE(text("T1"), entrants1);
    QCOMPARE(solutionLabels(), labels);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(m_table->selectionModel()->selectedRows().value(0).row(), row);
}

// A registered-teams text typed but not left, then a row chosen from the rows built for 71
// teams: the new count is taken in first, and the row runs only if its E1 is still one.
void TestOverviewDialog::staleRow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("labels"); // classes 3, 2, 1; empty when nothing ran

    QTest::newRow("100, Enter") << "100"
                                << "Enter" << kRows100 << QStringList();
    QTest::newRow("100, bar") << "100"
                              << "bar" << kRows100 << QStringList();
    QTest::newRow("70, Enter") << "70"
                               << "Enter" << kRows70
                               << QStringList{"Solution : 1/2", "Solution : 1/2", "Solution : 1/1"};
    QTest::newRow("71 typed again, bar")
        << "71"
        << "bar" << kDefaultRows
        << QStringList{"Solution : 1/3", "Solution : 1/2", "Solution : 1/2"};
}

void TestOverviewDialog::staleRow()
{
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, labels);

    const int row = int(kDefaultRows.indexOf(QStringLiteral("36: 3 2 2")));
    QSignalSpy calculated(m_window->notifier(), &FeatureNotifier::calculated);
    typeEffectif(typed);
    QCOMPARE(tableRows(), kDefaultRows);
    chooseBy(how, row);

    QCOMPARE(tableRows(), rows);
    QCOMPARE(text("Effectif"), typed);
    QVERIFY(!m_window->registeredTeamsPending());
    if (labels.isEmpty()) {
        QCOMPARE(calculated.size(), 0);
        QVERIFY(!m_window->lastCalculation());
        QVERIFY(text("E1") != QStringLiteral("36"));
    } else {
        QCOMPARE(calculated.size(), 1);
        QCOMPARE(m_window->lastCalculation()->problem.registered, typed.toInt());
        QCOMPARE(text("E1"), QStringLiteral("36"));
        QCOMPARE(text("T1"), QStringLiteral("36"));
        QCOMPARE(solutionLabels(), labels);
    }
}

void TestOverviewDialog::followsTheInputs()
{
    auto *summary = m_dialog->findChild<QLabel *>(QStringLiteral("ResumeEnsemble"));
    // At 3/4 the one E1 with a solution lies past the up-down's maximum.
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(1), Qt::LeftButton);
    QCOMPARE(tableRows(), QStringList{"64*: 0 0 1"});
    QCOMPARE(summary->text(),
             QStringLiteral("18 valeurs de E1 examinées (de 0 à 68 ; la fenêtre propose jusqu'à "
                            "48), 1 avec au moins une solution. Les valeurs marquées * dépassent "
                            "ce que propose la flèche de E1 : les choisir affiche quand même leur "
                            "plan."));
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(0), Qt::LeftButton);
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(summary->text(), QStringLiteral("18 valeurs de E1 examinées (de 0 à 68 ; la fenêtre "
                                             "propose jusqu'à 48), 11 avec au moins une "
                                             "solution."));

    QTest::mouseClick(get<TUpDown>("UpFinale")->upArrow(), Qt::LeftButton);
    QCOMPARE(text("Finale"), QStringLiteral("8"));
    QCOMPARE(tableRows(), kRows71Final8);

    auto *effectif = get<QLineEdit>("Effectif");
    typeEffectif(QStringLiteral("80"));
    QCOMPARE(tableRows(), kRows71Final8); // typing alone changes nothing
    QTest::keyClick(effectif, Qt::Key_Tab);
    QCOMPARE(tableRows(), kRows80Final8);

    effectif->setText(QStringLiteral("100")); // no focus exit: the calculation follows it
    clickCalcul();
    QCOMPARE(tableRows(), kRows100Final8);
}

// The error box is shown once, by whichever handler meets the text first; the dialog keeps
// what it showed.
void TestOverviewDialog::badEffectif_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("F2") << "F2";
    QTest::newRow("round-4 ratio") << "ratio";
    QTest::newRow("leaving Effectif") << "Tab";
    QTest::newRow("final") << "final";
}

void TestOverviewDialog::badEffectif()
{
    QFETCH(QString, trigger);
    auto *inputs = m_dialog->findChild<QLabel *>(QStringLiteral("EntreesEnsemble"));
    const QString shownInputs = inputs->text();
    auto *effectif = get<QLineEdit>("Effectif");

    MessageBoxCatcher catcher;
    if (trigger == "Tab") {
        typeEffectif(QStringLiteral("abc"));
        QTest::keyClick(effectif, Qt::Key_Tab);
    } else {
        effectif->setText(QStringLiteral("abc"));
        if (trigger == "F2")
            pressF2();
        else if (trigger == "ratio")
            QTest::mouseClick(get<TRadioGroup>("RG4")->item(1), Qt::LeftButton);
        else
            QTest::mouseClick(get<TUpDown>("UpFinale")->upArrow(), Qt::LeftButton);
    }

    QCOMPARE(catcher.shown().size(), 1);
    QCOMPARE(catcher.shown().first().text, velmorin::testing::conversionError("abc"));
    QCOMPARE(catcher.shown().first().title, QStringLiteral("Velmorin"));
    QCOMPARE(tableRows(), kDefaultRows);
    QCOMPARE(inputs->text(), shownInputs);
}

VELMORIN_WINDOW_TEST_MAIN(TestOverviewDialog)
