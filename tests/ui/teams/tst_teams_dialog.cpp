#include "tst_teams_dialog.h"

// The settings go to a folder of the test's own, never to the user's.
void TestTeamsDialog::initTestCase()
{
    QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir));
}

void TestTeamsDialog::init()
{
    QVERIFY(velmorin::testing::startFeatureWindow(m_dir, m_boxes, m_window));
    setWindow(m_window.get());
    QTest::keyClick(m_window.get(), Qt::Key_F4);
    m_dialog = get<TeamsDialog>("Equipes");
    m_table = get<QTableView>("TableEquipes");
    m_levels = get<QTableWidget>("NiveauxTours");
}

void TestTeamsDialog::cleanup()
{
    QApplication::setPalette(QPalette());
    m_window.reset();
    m_boxes.reset();
    m_dir.reset();
}

// "Ouvrir une liste…", the file's name typed into Qt's own dialog.
void TestTeamsDialog::openThroughDialog(const QString &fileName)
{
    answerFileDialog(fileName);
    QTest::mouseClick(get<QPushButton>("OuvrirListe"), Qt::LeftButton);
}

// "Calcul" with the list's 80 teams, then the class-2 slider one step right.
void TestTeamsDialog::showPlanOf80()
{
    clickCalcul();
    QTest::keyClick(trackBar(2), Qt::Key_Right);
    QVERIFY(m_window->shownPlan());
}

QStringList TestTeamsDialog::levelRows() const
{
    QStringList rows;
    for (int r = 0; r < m_levels->rowCount(); ++r) {
        const auto *chooser = qobject_cast<QComboBox *>(m_levels->cellWidget(r, 2));
        rows << QStringLiteral("%1: %2 %3")
                    .arg(m_levels->item(r, 0)->text(), m_levels->item(r, 1)->text(),
                         chooser ? chooser->currentText() : QStringLiteral("?"));
    }
    return rows;
}

QStringList TestTeamsDialog::wishedCells() const
{
    auto *wishes = get<QTableWidget>("SouhaitsEquipes");
    QStringList cells;
    for (int c = 0; c < wishes->columnCount(); ++c)
        cells << wishes->item(0, c)->text();
    return cells;
}

QString TestTeamsDialog::cell(int row, int column) const
{
    return m_table->model()->index(row, column).data().toString();
}

// Teams per round as the table's round column shows them ("Tour 2, hors niveau" counts as 2).
std::map<int, int> TestTeamsDialog::roundsInTable() const
{
    std::map<int, int> rounds;
    for (int r = 0; r < m_table->model()->rowCount(); ++r) {
        const QString text = cell(r, 4);
        if (text.startsWith(QLatin1String("Tour ")))
            ++rounds[text.mid(5, 1).toInt()];
    }
    return rounds;
}

void TestTeamsDialog::opensWithF4()
{
    QAction *action = get<QAction>("actionEquipes");
    QCOMPARE(action->text(), QStringLiteral("Équipes inscrites…"));
    QVERIFY(m_window->contextActions().contains(action));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Équipes inscrites"));
    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_dialog->isModal());
    // A second F4 from the main window raises the same dialog.
    m_window->activateWindow();
    QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_F4);
    QCOMPARE(velmorin::testing::topLevelWindows<TeamsDialog>(QStringLiteral("Equipes")).size(), 1);
    // Nothing to save, print or search before a list.
    for (const char *name :
         {"ChercherPlans", "EnregistrerEntrees", "ImprimerEntrees", "ExporterEntreesPdf"})
        QVERIFY2(!get<QPushButton>(name)->isEnabled(), name);
}

void TestTeamsDialog::openingTheSample_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("csv") << kSample;
    QTest::newRow("ods") << QString(kSample).replace(QLatin1String(".csv"), QLatin1String(".ods"));
}

void TestTeamsDialog::openingTheSample()
{
    QFETCH(QString, fileName);
    openThroughDialog(fileName);
    QCOMPARE(m_boxes->texts(), QStringList());
    QCOMPARE(text("Effectif"), QStringLiteral("80"));
    // Leaving the field ran its exit: the round-1 proposal for 80 teams.
    QCOMPARE(text("E1"), QStringLiteral("24"));
    QCOMPARE(m_table->model()->rowCount(), 80);
    QCOMPARE(cell(0, 0), QStringLiteral("Les Fanny des Platanes"));
    QCOMPARE(cell(0, 1), QStringLiteral("Cercle Bouliste de Montclavier"));
    QCOMPARE(cell(0, 2), QStringLiteral("3"));
    QCOMPARE(cell(0, 3), QStringLiteral("178"));
    QCOMPARE(cell(0, 4), QString()); // no plan shown yet
    QCOMPARE(levelRows(), kSampleLevels);
    QCOMPARE(wishedCells(), (QStringList{"50", "12", "10", "8"}));
    QCOMPARE(get<QLabel>("OrdreNiveaux")->text(),
             QStringLiteral("Ordre des niveaux : les numéros croissants, le 1 le plus fort."));
    QVERIFY(get<QLabel>("SautNiveaux")->isHidden());
    QVERIFY(m_dialog->statusText().startsWith(QStringLiteral("Calculez un plan")));
}

void TestTeamsDialog::roundsFollowTheShownPlan()
{
    openThroughDialog(kSample);
    showPlanOf80();
    const auto entrants = [this](const char *field) { return text(field).toInt(); };
    const auto expectRounds = [&] {
        const std::map<int, int> rounds = roundsInTable();
        QCOMPARE(rounds.count(1) ? rounds.at(1) : 0, entrants("E1"));
        QCOMPARE(rounds.count(2) ? rounds.at(2) : 0, entrants("E2"));
        QCOMPARE(rounds.count(3) ? rounds.at(3) : 0, entrants("E3"));
        QCOMPARE(rounds.count(4) ? rounds.at(4) : 0, entrants("E4"));
    };
    expectRounds();
    const QString firstPlan = get<QLabel>("PlanEquipes")->text();
    QVERIFY2(firstPlan.contains(QStringLiteral("Classe 2 (1 exemptée), solution 2 sur")),
             qPrintable(firstPlan));

    // Every team marked "hors niveau" enters at another round than its level's chooser says.
    int marked = 0;
    for (int r = 0; r < m_table->model()->rowCount(); ++r)
        marked += cell(r, 4).endsWith(QLatin1String(", hors niveau")) ? 1 : 0;
    QCOMPARE(Count(marked), m_dialog->assignment()->outOfLevelCount);
    // The entrants said once, round 1 to 4, never cut inside "Tour 2 : 12".
    const QString status = m_dialog->statusText();
    QCOMPARE(status,
             QStringLiteral("Entrantes : Tour\u00A01\u00A0:\u00A0%1 · Tour\u00A02\u00A0:\u00A0%2 · "
                            "Tour\u00A03\u00A0:\u00A0%3 · Tour\u00A04\u00A0:\u00A0%4 — %5 hors "
                            "niveau.")
                 .arg(text("E1"), text("E2"), text("E3"), text("E4"))
                 .arg(marked));
    QVERIFY(!firstPlan.contains(QStringLiteral("Entrantes")));

    // The slider moves: the rounds follow the new plan.
    QTest::keyClick(trackBar(2), Qt::Key_Right);
    QVERIFY(get<QLabel>("PlanEquipes")->text() != firstPlan);
    expectRounds();
    for (const char *name : {"EnregistrerEntrees", "ImprimerEntrees", "ExporterEntreesPdf"})
        QVERIFY2(get<QPushButton>(name)->isEnabled(), name);
}

void TestTeamsDialog::levelRoundsMakeTheWishes_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("round");
    QTest::addColumn<QList<int>>("wished"); // entrants at rounds 1 to 4

    QTest::newRow("defaults") << 0 << 4 << QList<int>{50, 12, 10, 8};
    QTest::newRow("level 4 to round 2") << 3 << 2 << QList<int>{8, 54, 10, 8};
    QTest::newRow("level 1 to round 3") << 0 << 3 << QList<int>{50, 12, 18, 0};
    QTest::newRow("no level to round 4") << 4 << 4 << QList<int>{42, 12, 10, 16};
}

void TestTeamsDialog::levelRoundsMakeTheWishes()
{
    QFETCH(int, row);
    QFETCH(int, round);
    QFETCH(QList<int>, wished);

    // The wishes as the signal hands them to the plan search.
    QSignalSpy searched(m_dialog, &TeamsDialog::plansWanted);
    openThroughDialog(kSample);
    auto *chooser = qobject_cast<QComboBox *>(m_levels->cellWidget(row, 2));
    QVERIFY(chooser);
    // Chosen as a person does: the list opened, the round clicked.
    chooser->setFocus();
    QTest::keyClick(chooser, Qt::Key_Home);
    for (int r = 1; r < round; ++r)
        QTest::keyClick(chooser, Qt::Key_Down);
    QTRY_COMPARE(m_dialog->mapping().levels()[std::size_t(row)].round, round);
    QTRY_COMPARE(qobject_cast<QComboBox *>(m_levels->cellWidget(row, 2))->currentText(),
                 QStringLiteral("Tour %1").arg(round));

    auto *search = get<QPushButton>("ChercherPlans");
    QVERIFY(search->isEnabled());
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(searched.size(), 1);
    const auto wishes = searched.at(0).at(0).value<velmorin::Wishes>();
    for (int r = 0; r < 4; ++r) {
        const velmorin::Interval &interval =
            wishes.of(velmorin::kQuantities[std::size_t(r)]); // Entrants1 to Entrants4
        QCOMPARE(interval.lo, std::optional<std::int32_t>(wished[r]));
        QCOMPARE(interval.hi, std::optional<std::int32_t>(wished[r]));
    }
    QVERIFY(!wishes.of(velmorin::Quantity::Tour2).bounded());
}

void TestTeamsDialog::planForAnotherCount()
{
    openThroughDialog(kSample);
    typeEffectif(QStringLiteral("71"));
    clickCalcul();
    QVERIFY(m_window->shownPlan());
    QCOMPARE(m_dialog->statusText(),
             QStringLiteral("Le plan est fait pour 71 équipes et la liste en compte 80 : les "
                            "entrées ne peuvent être réparties que si les deux nombres sont "
                            "égaux."));
    QCOMPARE(get<QLabel>("EtatEquipes")->text(), m_dialog->statusText());
    QCOMPARE(m_boxes->texts(), QStringList());
    QVERIFY(!m_dialog->assignment());
    QCOMPARE(roundsInTable(), (std::map<int, int>{}));
    QVERIFY(!get<QPushButton>("EnregistrerEntrees")->isEnabled());
}

void TestTeamsDialog::levelsMovedUpAndDown_data()
{
    QTest::addColumn<bool>("keys"); // Ctrl+Up and Ctrl+Down on the table, or the buttons
    QTest::newRow("buttons") << false;
    QTest::newRow("keys") << true;
}

// Named levels in the list's order; moved, they take the rounds of their new rows and the
// teams' ranking follows.
void TestTeamsDialog::levelsMovedUpAndDown()
{
    QFETCH(bool, keys);
    const QString path = m_dir->filePath(QStringLiteral("divisions.csv"));
    QVERIFY(writeFile(path, "Équipe;Division\nA;Régionale\nB;Nationale\nC;régionale\nD;\n"));
    openThroughDialog(path);
    QCOMPARE(levelRows(),
             (QStringList{"Régionale: 2 Tour 4", "Nationale: 1 Tour 3", "Sans niveau: 1 Tour 1"}));
    QVERIFY(
        get<QLabel>("OrdreNiveaux")->text().contains(QStringLiteral("dans l'ordre de la liste")));
    auto *up = get<QPushButton>("MonterNiveau");
    auto *down = get<QPushButton>("DescendreNiveau");
    const auto move = [&](int step) {
        if (!keys)
            QTest::mouseClick(step < 0 ? up : down, Qt::LeftButton);
        else
            QTest::keyClick(m_levels, step < 0 ? Qt::Key_Up : Qt::Key_Down, Qt::ControlModifier);
    };

    m_dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog));
    m_levels->setFocus();
    m_levels->setCurrentCell(2, 0); // the teams without a level stay the weakest
    QVERIFY(!up->isEnabled() && !down->isEnabled());
    m_levels->setCurrentCell(1, 0);
    QVERIFY(up->isEnabled() && !down->isEnabled());
    move(-1);
    QCOMPARE(levelRows(),
             (QStringList{"Nationale: 1 Tour 4", "Régionale: 2 Tour 3", "Sans niveau: 1 Tour 1"}));
    QCOMPARE(m_levels->currentRow(), 0);
    QVERIFY(!up->isEnabled() && down->isEnabled());
    QCOMPARE(
        get<QLabel>("OrdreNiveaux")->text(),
        QStringLiteral("Ordre des niveaux : le vôtre, du plus fort (en haut) au plus faible."));
    QCOMPARE(wishedCells(), (QStringList{"1", "0", "2", "1"}));
    QCOMPARE(m_dialog->mapping().roundOf(velmorin::Level::named("NATIONALE")), 4);
    move(-1); // already the strongest: nothing moves
    QCOMPARE(levelRows().first(), QStringLiteral("Nationale: 1 Tour 4"));
    move(1);
    QCOMPARE(levelRows(),
             (QStringList{"Régionale: 2 Tour 4", "Nationale: 1 Tour 3", "Sans niveau: 1 Tour 1"}));
    QCOMPARE(m_levels->currentRow(), 1);
}

void TestTeamsDialog::gapsInTheLevelsAreTold()
{
    const QString path = m_dir->filePath(QStringLiteral("sauts.csv"));
    QVERIFY(writeFile(path, "Équipe;Niveau\nA;1\nB;4\nC;3\nD;4\n"));
    openThroughDialog(path);
    QCOMPARE(levelRows(),
             (QStringList{"Niveau 1: 1 Tour 4", "Niveau 3: 1 Tour 3", "Niveau 4: 2 Tour 2"}));
    auto *gaps = get<QLabel>("SautNiveaux");
    QVERIFY(!gaps->isHidden());
    QCOMPARE(gaps->text(),
             QStringLiteral("Les niveaux sautent des numéros (1, 3, 4) : le plus fort entre au "
                            "Tour 4, le suivant au Tour 3, le suivant au Tour 2, les autres au "
                            "Tour 1 ; changez les tours des niveaux si besoin."));
    openThroughDialog(kSample); // levels 1 to 4: nothing to say
    QVERIFY(gaps->isHidden());
}

void TestTeamsDialog::readableUnderADarkScheme_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("dark") << true;
    QTest::newRow("light") << false;
}

// The "hors niveau" rows and the plan in its class colour stay readable: the dialog keeps a
// light face of its own when the scheme would make them unreadable.
void TestTeamsDialog::readableUnderADarkScheme()
{
    QFETCH(bool, dark);
    if (dark) {
        QApplication::setPalette(velmorin::testing::darkScheme());
        cleanup();
        QApplication::setPalette(velmorin::testing::darkScheme());
        init();
    }
    openThroughDialog(kSample);
    // Class 3 (black) on the plan line, and level 4 sent to round 2: many "hors niveau".
    QVERIFY(m_window->showPlan(24, velmorin::ShownSolution{velmorin::ExemptionClass::Class3, 1}));
    m_dialog->setLevelRound(4, 2);
    QVERIFY(m_dialog->assignment()->outOfLevelCount > 0);

    const auto readable = [](const QColor &text, const QColor &background) {
        const QString fault = velmorin::testing::contrastFault(text, background);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    };
    int row = 0;
    while (!m_dialog->assignment()->outOfLevel[std::size_t(row)])
        ++row;
    const QModelIndex marked = m_table->model()->index(row, 4);
    readable(marked.data(Qt::ForegroundRole).value<QColor>(),
             m_table->palette().color(QPalette::Base));
    auto *plan = get<QLabel>("PlanEquipes");
    readable(plan->palette().color(QPalette::WindowText),
             m_dialog->palette().color(QPalette::Window));
    readable(m_table->palette().color(QPalette::Text), m_table->palette().color(QPalette::Base));
}

VELMORIN_WINDOW_TEST_MAIN(TestTeamsDialog)
