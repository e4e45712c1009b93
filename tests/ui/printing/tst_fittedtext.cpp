// The sheets posted on a wall never cut a name: at the entry sheet's club column on A4, every
// text comes back whole, each line within the cell, the font no smaller than the readable
// minimum and, when it had to shrink, the lines within the row.

#include "FittedText.h"
#include "PrintedSheet.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QtTest>

class TestFittedText : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheWholeText_data();
    void keepsTheWholeText();
};

void TestFittedText::keepsTheWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("share"); // of the page's width, as the sheet's columns
    QTest::addColumn<bool>("oneLineAtFullSize");

    const QString club60 = QStringLiteral("Entente Pétanque d'Aubrac-les-Monts et du Haut-Vallon");
    QTest::newRow("short club") << QStringLiteral("Boule d'Aubrac") << 0.31 << true;
    QTest::newRow("60-character club")
        << (club60 + QString(60 - club60.size(), QLatin1Char('e'))) << 0.31 << false;
    QTest::newRow("60 characters, no space") << QString(60, QLatin1Char('W')) << 0.31 << false;
    QTest::newRow("120 characters")
        << QString(12, QLatin1Char(' ')).replace(QLatin1String(" "), QStringLiteral("Pétanque "))
        << 0.31 << false;
    QTest::newRow("plan sheet's round name") << QStringLiteral("1/4 de finale") << 0.32 << true;
    QTest::newRow("name over its club")
        << QStringLiteral("Équipe n° 12\nUnion Bouliste Majoritaire") << 0.32 << false;
    QTest::newRow("empty") << QString() << 0.09 << true;
}

void TestFittedText::keepsTheWholeText()
{
    QFETCH(QString, text);
    QFETCH(qreal, share);
    QFETCH(bool, oneLineAtFullSize);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    const velmorin::Ruler mm(&writer);
    const QFont font = velmorin::sheetFont(&writer, 10);
    const qreal rowHeight = QFontMetricsF(font, &writer).height() + mm(2);
    const qreal width = share * writer.width() - 2 * mm(1.5);

    const velmorin::FittedText fitted =
        velmorin::fitText(text, font, width, rowHeight - mm(1), &writer);
    QCOMPARE(fitted.lines.join(QString()), text);
    const QFontMetricsF metrics(fitted.font, &writer);
    for (const QString &line : fitted.lines)
        QVERIFY2(metrics.horizontalAdvance(line.trimmed()) <= width + 0.5, qPrintable(line));
    QVERIFY(fitted.font.pointSizeF() >= velmorin::kSmallestSheetPointSize);
    QVERIFY(fitted.height() <= rowHeight - mm(1) ||
            fitted.font.pointSizeF() == velmorin::kSmallestSheetPointSize);
    QCOMPARE(fitted.lines.size() == 1 && fitted.font.pointSizeF() == font.pointSizeF(),
             oneLineAtFullSize);
}

QTEST_MAIN(TestFittedText)
#include "tst_fittedtext.moc"
