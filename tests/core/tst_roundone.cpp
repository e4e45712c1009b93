#include "RoundOne.h"

#include <QtTest>

#include <limits>

using velmorin::entrants1Bound;
using velmorin::proposedEntrants1;

class TestRoundOne : public QObject
{
    Q_OBJECT

private slots:
    void proposal_data();
    void proposal();
    void bound_data();
    void bound();
};

void TestRoundOne::proposal_data()
{
    QTest::addColumn<qint32>("registered");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("defaults") << 71 << qint64(20);
    QTest::newRow("80") << 80 << qint64(24);
    QTest::newRow("100") << 100 << qint64(32);
    QTest::newRow("11") << 11 << qint64(0);
    QTest::newRow("12") << 12 << qint64(4);
    QTest::newRow("zero") << 0 << qint64(0);
    QTest::newRow("-5 truncates to 0") << -5 << qint64(0);
    QTest::newRow("-13") << -13 << qint64(-4);
    QTest::newRow("100000 keeps all its bits") << 100000 << qint64(33332);
    QTest::newRow("int max") << std::numeric_limits<qint32>::max() << qint64(715827880);
    QTest::newRow("int min") << std::numeric_limits<qint32>::min() << qint64(-715827880);
}

void TestRoundOne::proposal()
{
    QFETCH(qint32, registered);
    QFETCH(qint64, expected);
    QCOMPARE(proposedEntrants1(registered), expected);
}

void TestRoundOne::bound_data()
{
    QTest::addColumn<qint32>("registered");
    QTest::addColumn<qint32>("finale");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("71, final 6") << 71 << 6 << qint64(48);
    QTest::newRow("100, final 6") << 100 << 6 << qint64(80);
    QTest::newRow("11, final 6") << 11 << 6 << qint64(-8);
    QTest::newRow("12, final 6") << 12 << 6 << qint64(-8);
    QTest::newRow("0, final 6") << 0 << 6 << qint64(-20);
    QTest::newRow("71, final 0") << 71 << 0 << qint64(72);
    QTest::newRow("71, final 2") << 71 << 2 << qint64(64);
    QTest::newRow("71, final 8") << 71 << 8 << qint64(40);
    QTest::newRow("71, final 16") << 71 << 16 << qint64(8);
    QTest::newRow("71, final 18") << 71 << 18 << qint64(4);
    QTest::newRow("71, final 32") << 71 << 32 << qint64(-52);
    QTest::newRow("32788, final 6 does not wrap") << 32788 << 6 << qint64(32768);
    QTest::newRow("int max, final 0")
        << std::numeric_limits<qint32>::max() << 0 << qint64(2147483648LL);
    QTest::newRow("int min, final 32")
        << std::numeric_limits<qint32>::min() << 32 << qint64(-2147483772LL);
}

void TestRoundOne::bound()
{
    QFETCH(qint32, registered);
    QFETCH(qint32, finale);
    QFETCH(qint64, expected);
    QCOMPARE(entrants1Bound(registered, finale), expected);
}

QTEST_APPLESS_MAIN(TestRoundOne)
#include "tst_roundone.moc"
