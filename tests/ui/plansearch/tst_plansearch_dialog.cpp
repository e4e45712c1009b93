#include "tst_plansearch_dialog.h"

void TestPlanSearchDialog::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    velmorin::installFeatures(*m_window);
    setWindow(m_window.get());
    QVERIFY(velmorin::testing::showActive(*m_window));
    pressF3();
    m_dialog = get<PlanSearchDialog>("RecherchePlans");
    m_table = velmorin::testing::child<QTableView>(*m_dialog, "TablePlans");
}

void TestPlanSearchDialog::cleanup()
{
    m_window.reset();
}

// The shortcut belongs to the main window, which must be the active one.
void TestPlanSearchDialog::pressF3()
{
    velmorin::testing::pressShortcut(*m_window, Qt::Key_F3);
}

void TestPlanSearchDialog::typeInto(const char *field, const QString &typed)
{
    auto *edit = velmorin::testing::child<QLineEdit>(*m_dialog, field);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
}

// "écart E1 classe p/n E2 E3 E4 T2 T3 T4", the class by its number.
QStringList TestPlanSearchDialog::tableRows(int most) const
{
    const QAbstractItemModel *model = m_table->model();
    QStringList rows;
    for (int r = 0; r < std::min(model->rowCount(), most); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        cells[2] = cells[2].section(' ', 1, 1); // "Classe 2 (1 exemptée)"
        rows << cells.join(' ');
    }
    return rows;
}

void TestPlanSearchDialog::opensWithF3()
{
    auto *action = get<QAction>("actionRecherchePlans");
    QCOMPARE(action->text(), QStringLiteral("Rechercher un plan…"));
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F3));
    const QList<QAction *> menu = m_window->contextActions();
    QCOMPARE(menu.indexOf(action), menu.indexOf(get<QAction>("actionVueEnsemble")) + 1);

    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_dialog->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Recherche d'un plan"));
    QCOMPARE(m_dialog->findChild<QLabel *>("EntreesRecherche")->text(),
             QStringLiteral("Équipes inscrites : 71 — Finale : 6 — Tour 4 : 1/2 (quart de "
                            "finale 1/2, demi-finale 1/2)"));
    const QStringList headers{"Écart", "E1", "Classe", "Solution p/n", "E2",
                              "E3",    "E4", "T2",     "T3",           "T4"};
    for (int c = 0; c < headers.size(); ++c)
        QCOMPARE(m_table->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    // Class texts in their colours: class 1 red.
    QCOMPARE(m_table->model()->index(0, 2).data().toString(),
             QStringLiteral("Classe 1 (aucune exemptée)"));
    QCOMPARE(m_table->model()->index(0, 2).data(Qt::ForegroundRole).value<QBrush>().color(),
             QColor(Qt::red));

    // The window stays usable, and a second F3 shows the same dialog.
    QTest::mouseClick(get<velmorin::TUpDown>("UpE1")->upArrow(), Qt::LeftButton);
    QCOMPARE(text("E1"), QStringLiteral("24"));
    pressF3();
    QCOMPARE(velmorin::testing::topLevelWindows<QDialog>(QStringLiteral("RecherchePlans")).size(),
             1);
}

// Registered teams typed after the plans were listed: choosing one takes them in first, as
// leaving Effectif would, and shows the new plans instead of running one found for 71 teams;
// the status line says why nothing ran, and a plan shown before stays as it was.
void TestPlanSearchDialog::planForOtherInputs_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("planShown");
    QTest::addColumn<QString>("proposedE1");
    QTest::newRow("80, nothing shown") << QStringLiteral("80") << false << QStringLiteral("24");
    QTest::newRow("100, a plan shown") << QStringLiteral("100") << true << QStringLiteral("32");
}

void TestPlanSearchDialog::planForOtherInputs()
{
    QFETCH(QString, typed);
    QFETCH(bool, planShown);
    QFETCH(QString, proposedE1);
    const auto doubleClick = [this] {
        velmorin::testing::chooseRow(*m_dialog, *m_table, 0, QStringLiteral("double click"));
    };
    if (planShown)
        doubleClick();
    const QString shownT1 = text("T1");
    const QString first71 = tableRows(1).value(0);
    typeEffectif(typed);
    m_dialog->activateWindow();
    doubleClick();

    QVERIFY(m_dialog->findChild<QLabel *>("EntreesRecherche")
                ->text()
                .startsWith(QStringLiteral("Équipes inscrites : %1 —").arg(typed)));
    QCOMPARE(
        status(),
        QStringLiteral("Ce plan n'existe plus pour %1 équipes : la liste est à jour.").arg(typed));
    QCOMPARE(bool(m_window->lastCalculation()), planShown);
    if (planShown)
        QCOMPARE(m_window->lastCalculation()->problem.registered, 71);
    QCOMPARE(text("T1"), shownT1); // the old round fields stay until a calculation
    QCOMPARE(text("E1"), proposedE1);
    QVERIFY(tableRows(1).value(0) != first71);
    QVERIFY(!m_window->registeredTeamsPending());

    // The new rows run.
    doubleClick();
    QVERIFY(m_window->lastCalculation());
    QCOMPARE(m_window->lastCalculation()->problem.registered, typed.toInt());
}

// A dialog does not inherit the main window's light face: it keeps its own where the
// class texts (black, blue) would not read on the scheme's.
void TestPlanSearchDialog::readableUnderADarkScheme_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<int>("column"); // of the table, on the row of a class-3 plan
    for (bool dark : {true, false}) {
        QTest::addRow("%s, class", dark ? "dark" : "light") << dark << 2;
        QTest::addRow("%s, solution", dark ? "dark" : "light") << dark << 3;
        QTest::addRow("%s, E1", dark ? "dark" : "light") << dark << 1;
    }
}

void TestPlanSearchDialog::readableUnderADarkScheme()
{
    QFETCH(bool, dark);
    QFETCH(int, column);
    const QPalette before = QApplication::palette();
    if (dark)
        QApplication::setPalette(velmorin::testing::darkScheme());
    cleanup();
    init();
    QApplication::setPalette(before);

    // Strict on E4 = 7: class 3's plans alone.
    typeInto("MinEntrants4", QStringLiteral("7"));
    typeInto("MaxEntrants4", QStringLiteral("7"));
    QTest::mouseClick(velmorin::testing::child<QCheckBox>(*m_dialog, "SeulementExacts"),
                      Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(m_table->model()->rowCount() > 0);
    const QModelIndex cell = m_table->model()->index(0, column);
    QCOMPARE(cell.sibling(0, 2).data().toString(), QStringLiteral("Classe 3 (2 exemptées)"));
    const QVariant foreground = cell.data(Qt::ForegroundRole);
    const QColor text = foreground.isValid() ? foreground.value<QBrush>().color()
                                             : m_table->palette().color(QPalette::Text);
    const QColor base = m_table->palette().color(QPalette::Base);
    QVERIFY2(velmorin::contrastRatio(text, base) >= velmorin::kReadableContrast,
             qPrintable(text.name() + " on " + base.name()));
}

VELMORIN_WINDOW_TEST_MAIN(TestPlanSearchDialog)
