#include "tst_planexport.h"

// The settings go to a folder of the test's own, never to the user's.
void TestPlanExport::initTestCase()
{
    QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir));
}

void TestPlanExport::init()
{
    programSettings().clear();
    QVERIFY(velmorin::testing::startFeatureWindow(m_dir, m_boxes, m_window));
    setWindow(m_window.get());
}

void TestPlanExport::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_dir.reset();
}

void TestPlanExport::calculate(const QString &registered, int round4)
{
    typeEffectif(registered);
    if (round4 != 0)
        QTest::mouseClick(get<velmorin::TRadioGroup>("RG4")->item(round4), Qt::LeftButton);
    clickCalcul();
}

// 80 teams, "Calcul", the class-2 slider on its third solution.
void TestPlanExport::typicalUse()
{
    calculate(QStringLiteral("80"));
    velmorin::TTrackBar *bar = trackBar(2);
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(text("T2"), QStringLiteral("56"));
}

void TestPlanExport::actionsFollowTheShownSolution_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<int>("round4");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("before a calculation") << QString() << 0 << false;
    QTest::newRow("defaults") << QStringLiteral("71") << 0 << true;
    QTest::newRow("FIN") << QStringLiteral("71") << 1 << false;
}

void TestPlanExport::actionsFollowTheShownSolution()
{
    QFETCH(QString, registered);
    QFETCH(int, round4);
    QFETCH(bool, enabled);

    if (!registered.isEmpty())
        calculate(registered, round4);
    for (const char *name : kActions) {
        QVERIFY2(action(name)->isEnabled() == enabled, name);
        QVERIFY2(m_window->contextActions().contains(action(name)), name);
    }

    // A failed run (the second click: the first one only leaves the field) empties the
    // fields; browsing the last calculation's solutions afterwards shows one again.
    calculate(QStringLiteral("abc"));
    clickCalcul();
    QCOMPARE(m_boxes->shown().size(), 2);
    for (const char *name : kActions)
        QVERIFY2(!action(name)->isEnabled(), name);
    velmorin::TTrackBar *bar = trackBar(1);
    if (bar->isVisible()) {
        QTest::keyClick(bar, Qt::Key_Right);
        QVERIFY(action("actionCopierSolution")->isEnabled());
    }
}

void TestPlanExport::shortcutsWorkFromTheFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<bool>("opensDialog");

    for (const char *field : {"Effectif", "T2"}) {
        QTest::addRow("%s, copy", field) << field << QKeySequence(QStringLiteral("Ctrl+Shift+C"))
                                         << "actionCopierSolution" << false;
        QTest::addRow("%s, save", field) << field << QKeySequence(QStringLiteral("Ctrl+S"))
                                         << "actionEnregistrerSolutions" << true;
        QTest::addRow("%s, print", field)
            << field << QKeySequence(QStringLiteral("Ctrl+P")) << "actionImprimerPlan" << true;
    }
}

void TestPlanExport::shortcutsWorkFromTheFields()
{
    QFETCH(QString, field);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, actionName);
    QFETCH(bool, opensDialog);

    calculate(QStringLiteral("71"));
    auto *edit = get<QLineEdit>(qPrintable(field));
    edit->setFocus();
    QSignalSpy triggered(action(qPrintable(actionName)), &QAction::triggered);
    if (opensDialog)
        whenModal<QDialog>([](QDialog *dialog) { dialog->reject(); });
    QTest::keySequence(edit, keys);
    QCOMPARE(triggered.size(), 1);
    QCOMPARE(edit->text(),
             field == QLatin1String("Effectif") ? QStringLiteral("71") : QStringLiteral("40"));
}

void TestPlanExport::copyTypicalUse()
{
    typicalUse();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(m_window.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    // All that the printed sheet says, the shown solution's position and class included (the
    // whole text is pinned in the core's test).
    const QString text = data->text();
    QVERIFY2(text.startsWith(QStringLiteral("Plan de la coupe\n\nÉquipes inscrites\t80\n")),
             qPrintable(text));
    for (const QString &line :
         {QStringLiteral("\nClasse\t1 équipe exemptée du Tour 4\nPosition\tsolution 3 sur 4\n"),
          QStringLiteral("\nTour 2\t56\t38\t42\t3/4\n"),
          QStringLiteral("\nAu Tour 4, 1 équipe exemptée passe directement en 1/4 Finale : "
                         "46 équipes jouent, 23 sont qualifiées.\n"),
          QStringLiteral("\nContrôle : 24 + 38 + 10 + 8 = 80 entrantes = 80 inscrites\n")})
        QVERIFY2(text.contains(line), qPrintable(line));
    QVERIFY(data->hasHtml());
    const QString html = data->html();
    QVERIFY2(html.contains(QStringLiteral("<tr><td>Tour 2</td><td>56</td><td>38</td><td>42</td>"
                                          "<td>3/4</td></tr>")),
             qPrintable(html));
    QVERIFY(html.contains(
        QStringLiteral("<tr><td>Finale</td><td>6</td><td>0</td><td>—</td><td>—</td></tr>")));
    QVERIFY(html.contains(QStringLiteral("<b>solution 3 sur 4</b>")));
    QVERIFY(html.contains(QStringLiteral("<p>Contrôle : 24 + 38 + 10 + 8 = 80 entrantes")));
    QCOMPARE(html.count(QStringLiteral("<tr>")), 6 + 8);
}

void TestPlanExport::savedFileIsTheCalculatorOutput_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<int>("round4");
    QTest::addColumn<QString>("nameFilter");
    QTest::addColumn<QStringList>("calculatorArgs");

    QTest::newRow("defaults") << QStringLiteral("71") << 0 << QString()
                              << QStringList{"--format", "csv", "71", "6", "20"};
    QTest::newRow("round 4 at 3/4")
        << QStringLiteral("46") << 1 << QString()
        << QStringList{"--format", "csv", "--tour4", "3/4", "46", "6", "12"};
    QTest::newRow("French spreadsheet")
        << QStringLiteral("80") << 0 << QStringLiteral("CSV pour tableur français (;) (*.csv)")
        << QStringList{"--format", "csv", "--separateur", ";", "80", "6", "24"};
}

void TestPlanExport::savedFileIsTheCalculatorOutput()
{
    QFETCH(QString, registered);
    QFETCH(int, round4);
    QFETCH(QString, nameFilter);
    QFETCH(QStringList, calculatorArgs);

    calculate(registered, round4);
    const QString fileName = m_dir->filePath(QStringLiteral("solutions.csv"));
    QString proposed;
    answerFileDialog(fileName, nameFilter, &proposed);
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    // The first time, in the documents folder, or the home folder when there is none.
    const QString name = calculatorArgs.mid(calculatorArgs.size() - 3).join('-');
    QCOMPARE(proposed, firstFolder().filePath("velmorin-" + name + ".csv"));

    std::vector<std::string> args;
    for (const QString &arg : calculatorArgs)
        args.push_back(arg.toStdString());
    std::ostringstream out, err;
    QCOMPARE(velmorin::cli::runCalc(args, out, err), 0);
    QCOMPARE(readAll(fileName), QByteArray::fromStdString(out.str()));
    QVERIFY(m_boxes->shown().isEmpty());
}

VELMORIN_WINDOW_TEST_MAIN(TestPlanExport)
