// The search's form: bounds typed, texts refused while typing, the wishes filling it.

#include "tst_plansearch_dialog.h"

void TestPlanSearchDialog::typedBounds_data()
{
    QTest::addColumn<QStringList>("typed"); // field, text, field, text…
    QTest::addColumn<bool>("strict");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("first"); // the first three rows
    QTest::addColumn<QString>("how");       // the first row chosen by "double click" or "Enter"

    // 71 teams, a final of 6, every ratio 1/2: 169 plans in all.
    QTest::newRow("no wish") << QStringList{} << false
                             << "Les 100 plans les plus proches des souhaits." << 100
                             << QStringList{"0 0 1 1/7 28 43 0 28 64 48",
                                            "0 0 1 2/7 32 36 3 32 60 48",
                                            "0 0 1 3/7 36 29 6 36 56 48"}
                             << "Enter";
    QTest::newRow("E4 of 8, round 2 of 40 at most")
        << QStringList{"MinEntrants4", "8", "MaxEntrants4", "8", "MaxTour2", "40"} << false
        << "Les 100 plans les plus proches des souhaits." << 100
        << QStringList{"0 4 2 3/6 37 22 8 40 52 47", "0 8 2 3/6 30 25 8 36 52 47",
                       "0 12 2 3/7 23 28 8 32 52 47"}
        << "double click";
    QTest::newRow("strict, E2 of 30 at least")
        << QStringList{"MinEntrants4", "8", "MaxEntrants4", "8", "MinEntrants2", "30"} << true
        << "3 plans trouvés." << 3
        << QStringList{"0 0 2 3/5 44 19 8 44 52 47", "0 4 2 3/6 37 22 8 40 52 47",
                       "0 8 2 3/6 30 25 8 36 52 47"}
        << "Enter";
    QTest::newRow("strict, hexadecimal and a leading space")
        << QStringList{"MinEntrants1", "$28", "MaxEntrants1", " 40"} << true << "2 plans trouvés."
        << 2 << QStringList{"0 40 2 1/1 2 0 29 32 24 47", "0 40 3 1/1 2 4 25 32 28 46"}
        << "double click";
    QTest::newRow("nothing fits")
        << QStringList{"MinEntrants1", "40", "MinEntrants3", "10"} << false
        << "Les 100 plans les plus proches des souhaits. Aucun ne respecte tous les souhaits : "
           "le plus proche a un écart de 4."
        << 100
        << QStringList{"4 36 2 1/2 1 11 23 28 32 47", "4 36 3 1/3 1 15 19 28 36 46",
                       "6 36 3 2/3 5 8 22 32 32 46"}
        << "Enter";
    QTest::newRow("strict, nothing fits")
        << QStringList{"MinEntrants1", "40", "MinEntrants3", "10"} << true
        << "Aucun plan ne respecte tous les souhaits ; le plus proche a un écart de 4." << 0
        << QStringList{} << "";
}

void TestPlanSearchDialog::typedBounds()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, strict);
    QFETCH(QString, status);
    QFETCH(int, rows);
    QFETCH(QStringList, first);
    QFETCH(QString, how);

    MessageBoxCatcher boxes;
    if (strict) {
        auto *box = velmorin::testing::child<QCheckBox>(*m_dialog, "SeulementExacts");
        // On the box itself, at the left end of the row.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
        QVERIFY(box->isChecked());
    }
    for (int i = 0; i + 1 < typed.size(); i += 2)
        typeInto(qPrintable(typed[i]), typed[i + 1]);
    QCOMPARE(this->status(), status);
    QCOMPARE(m_table->model()->rowCount(), rows);
    QCOMPARE(tableRows(3), first);
    if (how.isEmpty())
        return;

    // The first plan, in the main window.
    velmorin::testing::chooseRow(*m_dialog, *m_table, 0, how);
    const QStringList plan = first.first().split(' ');
    const int k = plan[2].toInt();
    QCOMPARE(text("E1"), plan[1]);
    QCOMPARE((QStringList{text("T1"), text("E2"), text("E3"), text("E4"), text("T2"), text("T3"),
                          text("T4")}),
             (QStringList{plan[1], plan[4], plan[5], plan[6], plan[7], plan[8], plan[9]}));
    QCOMPARE(labelText(solutionLabelName(k)), QStringLiteral("Solution : ") + plan[3]);
    const ShownSolution shown{velmorin::exemptionClassFromNumber(k),
                              plan[3].section('/', 0, 0).toInt()};
    QCOMPARE(m_window->shownSolution(), std::optional(shown));
    QVERIFY(boxes.shown().isEmpty());
    // The window's new E1 changes no plan.
    QCOMPARE(tableRows(3), first);
}

void TestPlanSearchDialog::refusedTexts_data()
{
    QTest::addColumn<QStringList>("typed"); // field, text, field, text…
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<QString>("message");

    QTest::newRow("letters") << QStringList{"MinEntrants2", "abc"} << QStringList{"MinEntrants2"}
                             << "Entrantes min du tour 2 : 'abc' n'est pas une valeur entière "
                                "correcte.";
    QTest::newRow("trailing space")
        << QStringList{"MaxTour3", "12 "} << QStringList{"MaxTour3"}
        << "En jeu max du tour 3 : '12 ' n'est pas une valeur entière correcte.";
    QTest::newRow("beyond 32 bits")
        << QStringList{"MaxEntrants1", "2147483648"} << QStringList{"MaxEntrants1"}
        << "Entrantes max du tour 1 : '2147483648' est trop grand : au plus 2 147 483 647.";
    QTest::newRow("minimum above maximum")
        << QStringList{"MinTour4", "50", "MaxTour4", "40"} << QStringList{"MinTour4", "MaxTour4"}
        << "En jeu du tour 4 : le minimum (50) dépasse le maximum (40).";
}

// Marked at the field while typing, never with a box; the search waits, and comes back once
// the text is put right.
void TestPlanSearchDialog::refusedTexts()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, marked);
    QFETCH(QString, message);

    const QStringList before = tableRows(100);
    MessageBoxCatcher boxes;
    for (int i = 0; i + 1 < typed.size(); i += 2)
        typeInto(qPrintable(typed[i]), typed[i + 1]);
    QVERIFY(boxes.shown().isEmpty());
    auto *errors = m_dialog->findChild<QLabel *>("ErreursSouhaits");
    QVERIFY(errors->isVisible());
    QCOMPARE(errors->text(), message);
    for (const char *name : {"MinEntrants1", "MaxEntrants1", "MinEntrants2", "MinTour3", "MaxTour3",
                             "MinTour4", "MaxTour4"}) {
        auto *edit = velmorin::testing::child<QLineEdit>(*m_dialog, name);
        const bool refused = marked.contains(QLatin1String(name));
        // A field not refused says what it is.
        QCOMPARE(edit->toolTip(), refused ? message : edit->property("hint").toString());
        QVERIFY(!edit->toolTip().isEmpty());
        QCOMPARE(edit->styleSheet().isEmpty(), !refused);
    }
    QCOMPARE(m_table->model()->rowCount(), 0);
    QCOMPARE(status(), kNoBox);

    typeInto(qPrintable(typed[0]), QString());
    QVERIFY(errors->isHidden());
    auto *fixed = velmorin::testing::child<QLineEdit>(*m_dialog, qPrintable(marked.last()));
    QCOMPARE(fixed->toolTip(), fixed->property("hint").toString());
    if (typed.size() == 2)
        QCOMPARE(tableRows(100), before);
    QVERIFY(boxes.shown().isEmpty());
}

void TestPlanSearchDialog::wishesFillTheForm()
{
    velmorin::Wishes wishes;
    wishes.set(velmorin::Quantity::Entrants4, {8, 8});
    wishes.set(velmorin::Quantity::Tour2, {std::nullopt, 40});
    wishes.set(velmorin::Quantity::Entrants1, {-4, std::nullopt});
    typeInto("MinTour3", QStringLiteral("abc")); // what was there goes
    m_dialog->setWishes(wishes);

    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinEntrants4")->text(),
             QStringLiteral("8"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MaxEntrants4")->text(),
             QStringLiteral("8"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinTour2")->text(), QString());
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MaxTour2")->text(),
             QStringLiteral("40"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinEntrants1")->text(),
             QStringLiteral("-4"));
    QCOMPARE(velmorin::testing::child<QLineEdit>(*m_dialog, "MinTour3")->text(), QString());
    const std::optional<velmorin::Wishes> read = m_dialog->formWishes();
    QVERIFY(read);
    for (velmorin::Quantity q : velmorin::kQuantities)
        QCOMPARE(read->of(q), wishes.of(q));
    QCOMPARE(tableRows(1), QStringList{"0 4 2 3/6 37 22 8 40 52 47"});
}
