// The overview against one calculation per E1, and against the literal loops for small inputs.

#include "Overview.h"
#include "ReferencePlans.h"
#include "ReferenceSearch.h"
#include "RoundOne.h"

#include <QtTest>

#include <functional>
#include <limits>
#include <vector>

using velmorin::Count;
using velmorin::ExemptionClass;
using velmorin::OverviewRow;
using velmorin::Problem;
using velmorin::Ratio;

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

using ClassCount = std::function<Count(const Problem &, ExemptionClass)>;

Count calculated(const Problem &p, ExemptionClass k)
{
    return velmorin::calculate(p).of(k).solutions.count();
}

Count literalLoops(const Problem &p, ExemptionClass k)
{
    const Count tour4 = velmorin::RequiredTour4(k, velmorin::backwardChain(p).T5, p.round4);
    return Count(velmorin::reference::search(p.registered, p.entrants1, tour4).size());
}

std::vector<OverviewRow> overviewRows(const Problem &problem)
{
    std::vector<OverviewRow> rows;
    velmorin::Overview overview(problem);
    while (const std::optional<OverviewRow> row = overview.next())
        rows.push_back(*row);
    return rows;
}

// E1 = from, from + 4, ... to, each counted on its own; the values with a solution.
std::vector<OverviewRow> rowsOneByOne(Problem p, Count from, Count to, const ClassCount &count)
{
    std::vector<OverviewRow> rows;
    for (Count e1 = from; e1 <= to; e1 += 4) {
        p.entrants1 = std::int32_t(e1);
        OverviewRow row{e1, {}};
        for (ExemptionClass k : velmorin::kRunOrder)
            row.solutions[velmorin::classIndex(k)] = count(p, k);
        if (row.total() > 0)
            rows.push_back(row);
    }
    return rows;
}

Problem problem(std::int32_t registered, std::int32_t finale, int ratios)
{
    return velmorin::reference::problemWithRatios(registered, finale, ratios);
}

} // namespace

class TestOverview : public QObject
{
    Q_OBJECT

private slots:
    void sameAsOneSearchPerE1_data();
    void sameAsOneSearchPerE1();
    void largeInputsAroundTheirRows_data();
    void largeInputsAroundTheirRows();
    void examinedValues_data();
    void examinedValues();
    void solutionsScale_data();
    void solutionsScale();
};

// Every E1 from 0 to the bound; beyond N nothing can be found, so the walk stops there.
void TestOverview::sameAsOneSearchPerE1_data()
{
    QTest::addColumn<QList<int>>("registered");
    QTest::addColumn<bool>("literal"); // the literal loops rather than a calculation

    QTest::newRow("calculation") << QList<int>{-9, -1, 0,  1,  3,  4,   7,   8,   11, 12,
                                               20, 35, 47, 71, 80, 100, 151, 303, 600}
                                 << false;
    QTest::newRow("literal loops") << QList<int>{0, 4, 13, 24, 41, 56} << true;
}

void TestOverview::sameAsOneSearchPerE1()
{
    QFETCH(QList<int>, registered);
    QFETCH(bool, literal);

    int rowsSeen = 0;
    for (std::int32_t n : registered) {
        // Near N / 8 the finals leave many E1 values with solutions.
        for (std::int32_t f : {kMin, -7, -2, 0,    1,     2,     3,     5,         6,     8,     9,
                               16,   31, 32, kMax, n / 6, n / 7, n / 8, n / 8 + 1, n / 9, n / 10}) {
            for (int ratios = 0; ratios < 8; ++ratios) {
                const Problem p = problem(n, f, ratios);
                const Count last = velmorin::lastExaminedEntrants1(n);
                const std::vector<OverviewRow> expected =
                    rowsOneByOne(p, 0, last, literal ? literalLoops : calculated);
                QVERIFY2(
                    overviewRows(p) == expected,
                    qPrintable(QStringLiteral("N %1 F %2 ratios %3").arg(n).arg(f).arg(ratios)));
                rowsSeen += int(expected.size());
            }
        }
    }
    QVERIFY(rowsSeen > 200); // the grid is not all empty
}

// Too many E1 values to calculate them all: the overview's rows, and a margin of E1 values on
// each side of them, against one calculation each. Other ratios give these inputs hundreds of
// millions of rows.
void TestOverview::largeInputsAroundTheirRows_data()
{
    QTest::addColumn<std::int32_t>("registered");
    QTest::addColumn<std::int32_t>("finale");
    QTest::addColumn<int>("ratios");
    QTest::addColumn<int>("rows");

    QTest::newRow("int max, final near N / 8") << kMax << 268435450 << 0 << 22;
    QTest::newRow("int max, odd final") << kMax << 268435451 << 0 << 18;
    QTest::newRow("two billion") << 2000000000 << 249999990 << 0 << 35;
    QTest::newRow("round 4 at 3/4") << kMax << 402653180 << 1 << 9;
    QTest::newRow("quarter-final at 3/4") << kMax << 402653180 << 2 << 10;
    QTest::newRow("semi-final at 3/4") << kMax << 402653180 << 4 << 11;
    QTest::newRow("band ending at N, past the window's bound") << kMax << 113246210 << 0 << 22;
}

void TestOverview::largeInputsAroundTheirRows()
{
    QFETCH(std::int32_t, registered);
    QFETCH(std::int32_t, finale);
    QFETCH(int, ratios);
    QFETCH(int, rows);

    const Problem p = problem(registered, finale, ratios);
    const std::vector<OverviewRow> found = overviewRows(p);
    QCOMPARE(int(found.size()), rows);
    constexpr Count kMargin = 4 * 5000;
    const Count from = std::max<Count>(0, found.front().entrants1 - kMargin);
    const Count to =
        std::min(found.back().entrants1 + kMargin, velmorin::lastExaminedEntrants1(registered));
    QVERIFY(found == rowsOneByOne(p, from, to, calculated));
}

void TestOverview::examinedValues_data()
{
    QTest::addColumn<std::int32_t>("registered");
    QTest::addColumn<std::int32_t>("finale");
    QTest::addColumn<Count>("examined");
    QTest::addColumn<Count>("last");
    QTest::addColumn<Count>("upDown");

    // Every multiple of 4 up to N, whatever the window's bound.
    QTest::newRow("defaults") << 71 << 6 << Count(18) << Count(68) << Count(48);
    QTest::newRow("bound 0") << 0 << 1 << Count(1) << Count(0) << Count(0);
    QTest::newRow("negative bound") << 0 << 6 << Count(1) << Count(0) << Count(-20);
    QTest::newRow("negative N") << -5 << 0 << Count(0) << Count(-4) << Count(0);
    QTest::newRow("int max, no final")
        << kMax << 0 << Count(536870912) << Count(2147483644) << Count(2147483648);
    QTest::newRow("int min final") << 0 << kMin << Count(1) << Count(0) << Count(8589934596);
}

void TestOverview::examinedValues()
{
    QFETCH(std::int32_t, registered);
    QFETCH(std::int32_t, finale);
    QFETCH(Count, examined);
    QFETCH(Count, last);
    QFETCH(Count, upDown);

    const velmorin::Overview overview(problem(registered, finale, 0));
    QCOMPARE(overview.examined(), examined);
    QCOMPARE(overview.lastEntrants1(), last);
    QCOMPARE(overview.upDownBound(), upDown);
}

void TestOverview::solutionsScale_data()
{
    QTest::addColumn<Count>("highest");
    QTest::addColumn<Count>("top");
    QTest::addColumn<Count>("step");

    QTest::newRow("no bar") << Count(0) << Count(1) << Count(1);
    QTest::newRow("negative") << Count(-3) << Count(1) << Count(1);
    QTest::newRow("one solution (46 teams, final 6)") << Count(1) << Count(1) << Count(1);
    QTest::newRow("8: steps of 1") << Count(8) << Count(8) << Count(1);
    QTest::newRow("9: steps of 2") << Count(9) << Count(10) << Count(2);
    QTest::newRow("23 (the defaults): steps of 5") << Count(23) << Count(25) << Count(5);
    QTest::newRow("40: exactly 8 steps of 5") << Count(40) << Count(40) << Count(5);
    QTest::newRow("112 (400 teams, final 32)") << Count(112) << Count(120) << Count(20);
    QTest::newRow("161: steps of 50") << Count(161) << Count(200) << Count(50);
    QTest::newRow("largest count: one step")
        << std::numeric_limits<Count>::max() << std::numeric_limits<Count>::max()
        << std::numeric_limits<Count>::max();
}

void TestOverview::solutionsScale()
{
    QFETCH(Count, highest);
    QFETCH(Count, top);
    QFETCH(Count, step);
    const velmorin::SolutionsScale scale = velmorin::solutionsScale(highest);
    QCOMPARE(scale.top, top);
    QCOMPARE(scale.step, step);
}

QTEST_APPLESS_MAIN(TestOverview)
#include "tst_overview.moc"
