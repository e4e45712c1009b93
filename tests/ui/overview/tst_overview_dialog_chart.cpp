// The overview's chart: its axes and bars for one set of inputs after another.

#include "tst_overview_dialog.h"

#include "ClassAppearance.h"

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

namespace {

// Whether anything is painted in this box of the chart's picture besides its background.
bool inked(const QImage &picture, const QRectF &box, const QColor &background)
{
    const QRect pixels = QRectF(box.topLeft() * picture.devicePixelRatio(),
                                box.size() * picture.devicePixelRatio())
                             .toAlignedRect()
                             .intersected(picture.rect());
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (QColor(picture.pixel(x, y)) != background)
                return true;
        }
    }
    return false;
}

} // namespace

// Integer ticks that never repeat, a bar per row as high as its solutions, bars labelled
// without clipping, what the chart says it draws drawn there, and the table's columns clear
// of its scroll bar, from the previous inputs' chart to these.
void TestOverviewDialog::chartAxes()
{
    using velmorin::ExemptionClass;
    QFETCH(int, registered);
    QFETCH(int, finale);
    QFETCH(int, round4Item);
    QFETCH(int, rows);
    QFETCH(QStringList, solutionLabels);

    setInputs(registered, finale, round4Item);
    const QStringList shown = tableRows();
    QCOMPARE(shown.size(), rows);

    velmorin::OverviewChart *view = chart();
    const velmorin::OverviewChart::Drawing drawn = view->drawing();
    QStringList ticks;
    for (const auto &tick : drawn.ticks)
        ticks << tick.text;
    QCOMPARE(ticks, solutionLabels);
    // Evenly spaced from the plot's foot to its top, each label level with its line.
    const qreal spacing = drawn.plot.height() / (ticks.size() - 1);
    for (std::size_t i = 0; i < drawn.tickYs.size(); ++i) {
        QCOMPARE(drawn.tickYs[i], drawn.plot.bottom() - qreal(i) * spacing);
        QCOMPARE(drawn.ticks[i].rect.center().y(), drawn.tickYs[i]);
        QVERIFY(drawn.ticks[i].rect.right() < drawn.plot.left());
    }

    // Each bar's pieces stacked 3, 2, 1 from the foot, each as high as its count.
    QCOMPARE(int(drawn.bars.size()), rows);
    const qreal perSolution = drawn.plot.height() / ticks.last().toInt();
    for (const auto &bar : drawn.bars) {
        const QStringList counts = shown.at(bar.index).section(": ", 1).split(' ');
        qreal foot = drawn.plot.bottom();
        for (int column = 0; column < 3; ++column) {
            const QRectF piece = bar.pieces[classIndex(velmorin::kRunOrder[std::size_t(column)])];
            const int count = counts.at(column).toInt();
            QCOMPARE(piece.isEmpty(), count == 0);
            if (count == 0)
                continue;
            QCOMPARE(piece.bottom(), foot);
            QCOMPARE(piece.height(), count * perSolution);
            foot = piece.top();
        }
    }

    // Each E1 label stands under its own bar, in the table's order, whole and apart.
    QCOMPARE(drawn.entrants.empty(), rows == 0);
    QCOMPARE(drawn.entrants.size(), drawn.labelledBars.size());
    for (std::size_t i = 0; i < drawn.entrants.size(); ++i) {
        const int bar = drawn.labelledBars[i];
        const QRectF label = drawn.entrants[i].rect;
        QCOMPARE(drawn.entrants[i].text, shown.at(bar).section(':', 0, 0));
        const qreal slot = drawn.plot.width() / rows;
        QCOMPARE(label.center().x(), drawn.plot.left() + (bar + 0.5) * slot);
        QVERIFY(label.top() > drawn.plot.bottom());
        QVERIFY(QRectF(view->rect()).contains(label));
        if (i > 0)
            QVERIFY(label.left() > drawn.entrants[i - 1].rect.right());
    }

    // What the drawing lists is what is painted: every text and bar inked, nothing between
    // the E1 labels.
    const QImage picture = view->grab().toImage();
    const QColor background = view->palette().color(QPalette::Base);
    std::vector<velmorin::OverviewChart::Text> texts = drawn.ticks;
    texts.insert(texts.end(), drawn.entrants.begin(), drawn.entrants.end());
    texts.insert(texts.end(), drawn.legend.begin(), drawn.legend.end());
    texts.push_back(drawn.entrantsTitle);
    texts.push_back(drawn.solutionsTitle);
    for (const auto &text : texts) {
        QVERIFY2(inked(picture, text.rect, background), qPrintable(text.text));
        QVERIFY2(QRectF(view->rect()).contains(text.rect), qPrintable(text.text));
    }
    for (std::size_t i = 1; i < drawn.entrants.size(); ++i) {
        const QRectF gap(QPointF(drawn.entrants[i - 1].rect.right() + 1,
                                 drawn.entrants[i].rect.top()),
                         QPointF(drawn.entrants[i].rect.left() - 1, drawn.entrants[i].rect.bottom()));
        QVERIFY(!inked(picture, gap, background));
    }
    for (const auto &bar : drawn.bars) {
        for (ExemptionClass k : velmorin::kRunOrder) {
            const QRectF piece = bar.pieces[classIndex(k)];
            if (!piece.isEmpty())
                QCOMPARE(QColor(picture.pixel(piece.center().toPoint() * picture.devicePixelRatio())),
                         velmorin::classColour(k));
        }
    }
    const QString summary = m_dialog->findChild<QLabel *>(QStringLiteral("ResumeEnsemble"))->text();
    QCOMPARE(summary.startsWith(QStringLiteral("Aucun nombre d'entrants")), rows == 0);

    // "Classe 1" whole beside the vertical scroll bar.
    const QHeaderView *header = m_table->horizontalHeader();
    for (int c = 0; c < header->count(); ++c)
        QVERIFY(header->sectionSize(c) >= header->sectionSizeHint(c));
    QVERIFY(header->sectionPosition(3) + header->sectionSize(3) <= m_table->viewport()->width());
}
