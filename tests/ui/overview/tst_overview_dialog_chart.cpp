// The overview's chart: its axes and bars for one set of inputs after another.

#include "tst_overview_dialog.h"

// The registered teams as typed and left, the final by clicks on its arrows, the round-4
// ratio by its item.
void TestOverviewDialog::setInputs(int registered, int finale, int round4Item)
{
    QVERIFY(m_window->setRegisteredTeams(registered));
    auto *upFinale = get<TUpDown>("UpFinale");
    while (text("Finale").toInt() != finale) {
        const int before = text("Finale").toInt();
        QTest::mouseClick(before < finale ? upFinale->upArrow() : upFinale->downArrow(),
                          Qt::LeftButton);
        QVERIFY(text("Finale").toInt() != before);
    }
    QTest::mouseClick(get<TRadioGroup>("RG4")->item(round4Item), Qt::LeftButton);
}

void TestOverviewDialog::chartAxes_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("finale");
    QTest::addColumn<int>("round4Item"); // 0: 1/2, 1: 3/4
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("solutionLabels");

    QTest::newRow("46, final 6: one row of one solution")
        << 46 << 6 << 0 << 1 << QStringList{"0", "1"};
    QTest::newRow("5, final 6: nothing examined") << 5 << 6 << 0 << 0 << QStringList{"0", "1"};
    QTest::newRow("71, round 4 at 3/4: one row past the up-down")
        << 71 << 6 << 1 << 1 << QStringList{"0", "1"};
    QTest::newRow("100 000, final 6: no solution")
        << 100000 << 6 << 0 << 0 << QStringList{"0", "1"};
    QTest::newRow("the defaults: highest bar 23")
        << 71 << 6 << 0 << 11 << QStringList{"0", "5", "10", "15", "20", "25"};
    QTest::newRow("400, final 32: 63 rows, highest bar 112")
        << 400 << 32 << 0 << 63 << QStringList{"0", "20", "40", "60", "80", "100", "120"};
}

// Integer ticks that never repeat, bars labelled without clipping, and the table's columns
// clear of its scroll bar, from the previous inputs' chart to these.
void TestOverviewDialog::chartAxes()
{
    QFETCH(int, registered);
    QFETCH(int, finale);
    QFETCH(int, round4Item);
    QFETCH(int, rows);
    QFETCH(QStringList, solutionLabels);

    setInputs(registered, finale, round4Item);
    QCOMPARE(tableRows().size(), rows);

    auto *view = m_dialog->findChild<QChartView *>(QStringLiteral("GraphiqueEnsemble"));
    QChart *chart = view->chart();
    auto *solutions = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).first());
    auto *entrants = qobject_cast<QCategoryAxis *>(chart->axes(Qt::Horizontal).first());
    QVERIFY(solutions && entrants);
    QStringList ticks;
    for (int i = 0; i < solutions->tickCount(); ++i) {
        const qreal at = solutions->min() +
                         i * (solutions->max() - solutions->min()) / (solutions->tickCount() - 1);
        QCOMPARE(at, std::round(at));
        ticks << QString::asprintf(qPrintable(solutions->labelFormat()), int(at));
    }
    QCOMPARE(ticks, solutionLabels);

    // Each E1 label stands under its own bar, in the table's order, and none is cut.
    const QStringList labels = entrants->categoriesLabels();
    QCOMPARE(labels.isEmpty(), rows == 0);
    QCOMPARE(entrants->max() - entrants->min(), qreal(std::max(rows, 1)));
    const QStringList shown = tableRows();
    int previous = -1;
    for (const QString &label : labels) {
        const int bar = int(entrants->endValue(label));
        QVERIFY(bar > previous);
        previous = bar;
        QCOMPARE(shown.at(bar).section(':', 0, 0), label);
    }
    QCoreApplication::processEvents();
    QStringList drawn;
    for (const QGraphicsItem *item : view->scene()->items()) {
        if (const auto *textItem = dynamic_cast<const QGraphicsTextItem *>(item);
            textItem && textItem->isVisible())
            drawn << textItem->toPlainText();
    }
    for (const QString &label : labels)
        QVERIFY2(drawn.contains(label), qPrintable(label));
    for (const QString &text : drawn)
        QVERIFY2(!text.contains(QChar(0x2026)), qPrintable(text));
    const QString summary = m_dialog->findChild<QLabel *>(QStringLiteral("ResumeEnsemble"))->text();
    QCOMPARE(summary.startsWith(QStringLiteral("Aucun nombre d'entrants")), rows == 0);

    // "Classe 1" whole beside the vertical scroll bar.
    const QHeaderView *header = m_table->horizontalHeader();
    for (int c = 0; c < header->count(); ++c)
        QVERIFY(header->sectionSize(c) >= header->sectionSizeHint(c));
    QVERIFY(header->sectionPosition(3) + header->sectionSize(3) <= m_table->viewport()->width());
}
