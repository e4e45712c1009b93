// The overview against one calculation per E1, and against the literal loops for small inputs.

#include "Overview.h"
#include "ReferenceSearch.h"
#include "RoundOne.h"

#include <QtTest>

#include <limits>
#include <sstream>
#include <vector>

using velmorin::Count;
using velmorin::Overview;
using velmorin::OverviewRow;
using velmorin::Problem;
using velmorin::Ratio;

Q_DECLARE_METATYPE(std::vector<Count>)

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

std::vector<OverviewRow> overviewRows(const Problem &problem)
{
    std::vector<OverviewRow> rows;
    Overview overview(problem);
    while (const std::optional<OverviewRow> row = overview.next())
        rows.push_back(*row);
    return rows;
}

OverviewRow calculatedRow(Problem problem, Count entrants1)
{
    problem.entrants1 = static_cast<std::int32_t>(entrants1);
    const velmorin::Calculation calculation = velmorin::calculate(problem);
    OverviewRow row;
    row.entrants1 = entrants1;
    for (velmorin::ExemptionClass k : velmorin::kRunOrder)
        row.solutions[velmorin::classIndex(k)] = calculation.of(k).solutions.count();
    return row;
}

// One calculation for each E1 from `from` to `to` (both multiples of 4), keeping the E1
// values with a solution.
std::vector<OverviewRow> calculatedRows(const Problem &problem, Count from, Count to)
{
    std::vector<OverviewRow> rows;
    for (Count e1 = from; e1 <= to; e1 += 4) {
        const OverviewRow row = calculatedRow(problem, e1);
        if (row.solutions != std::array<Count, 3>{})
            rows.push_back(row);
    }
    return rows;
}

// The eight choices of the three ratios.
std::vector<Problem> everyRatio(std::int32_t registered, std::int32_t finale)
{
    std::vector<Problem> problems;
    for (int bits = 0; bits < 8; ++bits) {
        Problem p;
        p.registered = registered;
        p.finale = finale;
        p.round4 = (bits & 1) ? Ratio::ThreeQuarters : Ratio::Half;
        p.quarterFinal = (bits & 2) ? Ratio::ThreeQuarters : Ratio::Half;
        p.semiFinal = (bits & 4) ? Ratio::ThreeQuarters : Ratio::Half;
        problems.push_back(p);
    }
    return problems;
}

QString describe(const Problem &p)
{
    return QStringLiteral("N %1 F %2 ratios %3%4%5")
        .arg(p.registered)
        .arg(p.finale)
        .arg(int(p.round4))
        .arg(int(p.quarterFinal))
        .arg(int(p.semiFinal));
}

} // namespace

class TestOverview : public QObject
{
    Q_OBJECT

private slots:
    void sameAsOneCalculationPerE1();
    void sameAsTheLiteralLoops();
    void largeInputsAroundTheirRows_data();
    void largeInputsAroundTheirRows();
    void examinedValues_data();
    void examinedValues();
    void defaultsTables();
};

// Every E1 from 0 to the bound; beyond N a calculation finds nothing, so the walk stops there.
void TestOverview::sameAsOneCalculationPerE1()
{
    const std::vector<std::int32_t> registered{-9, -1, 0,  1,  3,  4,   7,   8,   11, 12,
                                               20, 35, 47, 71, 80, 100, 151, 303, 600};
    int rowsSeen = 0;
    for (std::int32_t n : registered) {
        // Near N / 8 the finals leave many E1 values with solutions.
        for (std::int32_t f : {kMin, -7, -2, 0,    1,     2,     3,     5,         6,     8,     9,
                               16,   31, 32, kMax, n / 6, n / 7, n / 8, n / 8 + 1, n / 9, n / 10}) {
            for (const Problem &p : everyRatio(n, f)) {
                const Count bound = velmorin::entrants1Bound(n, f);
                const std::vector<OverviewRow> expected =
                    calculatedRows(p, 0, std::min<Count>(bound, std::max(n, 0)));
                QVERIFY2(overviewRows(p) == expected, qPrintable(describe(p)));
                rowsSeen += static_cast<int>(expected.size());
            }
        }
    }
    QVERIFY(rowsSeen > 1000); // the grid is not all empty
}

void TestOverview::sameAsTheLiteralLoops()
{
    for (std::int32_t n : {0, 4, 13, 24, 41, 56}) {
        for (std::int32_t f : {0, 1, 2, 3, 6}) {
            for (const Problem &p : everyRatio(n, f)) {
                const velmorin::BackwardChain chain = velmorin::backwardChain(p);
                std::vector<OverviewRow> expected;
                for (Count e1 = 0; e1 <= velmorin::entrants1Bound(n, f); e1 += 4) {
                    OverviewRow row;
                    row.entrants1 = e1;
                    bool any = false;
                    for (velmorin::ExemptionClass k : velmorin::kRunOrder) {
                        const Count tour4 = velmorin::RequiredTour4(k, chain.T5, p.round4);
                        const Count found = static_cast<Count>(
                            velmorin::reference::search(n, static_cast<std::int32_t>(e1), tour4)
                                .size());
                        row.solutions[velmorin::classIndex(k)] = found;
                        any = any || found > 0;
                    }
                    if (any)
                        expected.push_back(row);
                }
                QVERIFY2(overviewRows(p) == expected, qPrintable(describe(p)));
            }
        }
    }
}

// Too many E1 values to calculate them all: the overview's rows, and a margin of E1 values on
// each side of them, against one calculation each. Other ratios give these inputs hundreds of
// millions of rows.
void TestOverview::largeInputsAroundTheirRows_data()
{
    QTest::addColumn<std::int32_t>("registered");
    QTest::addColumn<std::int32_t>("finale");
    QTest::addColumn<int>("ratios"); // round 4, quarter, semi: bits 0, 1, 2 set for "3/4"
    QTest::addColumn<int>("rows");

    QTest::newRow("int max, final near N / 8") << kMax << 268435450 << 0 << 22;
    QTest::newRow("int max, odd final") << kMax << 268435451 << 0 << 18;
    QTest::newRow("two billion") << 2000000000 << 249999990 << 0 << 35;
    QTest::newRow("round 4 at 3/4") << kMax << 402653180 << 1 << 9;
    QTest::newRow("quarter-final at 3/4") << kMax << 402653180 << 2 << 10;
    QTest::newRow("semi-final at 3/4") << kMax << 402653180 << 4 << 11;
    QTest::newRow("band far from 0") << kMax << 121811049 << 0 << 25;
}

void TestOverview::largeInputsAroundTheirRows()
{
    QFETCH(std::int32_t, registered);
    QFETCH(std::int32_t, finale);
    QFETCH(int, ratios);
    QFETCH(int, rows);

    const Problem p = everyRatio(registered, finale).at(std::size_t(ratios));
    const std::vector<OverviewRow> found = overviewRows(p);
    QCOMPARE(int(found.size()), rows);

    constexpr Count kMargin = 4 * 5000;
    const Count first = found.front().entrants1;
    const Count last = found.back().entrants1;
    const std::vector<OverviewRow> expected =
        calculatedRows(p, std::max<Count>(0, first - kMargin),
                       std::min(last + kMargin, velmorin::entrants1Bound(registered, finale)));
    QVERIFY(found == expected);
}

void TestOverview::examinedValues_data()
{
    QTest::addColumn<std::int32_t>("registered");
    QTest::addColumn<std::int32_t>("finale");
    QTest::addColumn<Count>("examined");
    QTest::addColumn<Count>("last");

    QTest::newRow("defaults") << 71 << 6 << Count(13) << Count(48);
    QTest::newRow("bound 0") << 0 << 1 << Count(1) << Count(0);
    QTest::newRow("negative bound") << 0 << 6 << Count(0) << Count(-20);
    QTest::newRow("int max, no final") << kMax << 0 << Count(536870913) << Count(2147483648);
    QTest::newRow("int min final") << 0 << kMin << Count(2147483650) << Count(8589934596);
}

void TestOverview::examinedValues()
{
    QFETCH(std::int32_t, registered);
    QFETCH(std::int32_t, finale);
    QFETCH(Count, examined);
    QFETCH(Count, last);

    Problem p;
    p.registered = registered;
    p.finale = finale;
    const Overview overview(p);
    QCOMPARE(overview.examined(), examined);
    QCOMPARE(overview.lastEntrants1(), last);
}

// The calculator prints these writers' output; the defaults as a person reads them.
void TestOverview::defaultsTables()
{
    Problem p;
    p.registered = 71;
    p.finale = 6;
    std::ostringstream csv;
    velmorin::OstreamSink csvSink(csv);
    QVERIFY(velmorin::writeOverviewCsv(p, csvSink));
    QCOMPARE(QByteArray::fromStdString(csv.str()),
             QByteArray("entrant1,classe3,classe2,classe1\n0,5,5,7\n4,5,6,7\n8,6,6,8\n"
                        "12,6,7,8\n16,7,7,8\n20,7,7,7\n24,6,6,5\n28,5,4,4\n32,4,4,3\n"
                        "36,3,2,2\n40,1,1,0\n"));

    std::ostringstream table;
    velmorin::OstreamSink tableSink(table);
    QVERIFY(velmorin::writeOverviewTable(p, tableSink));
    const QStringList lines = QString::fromStdString(table.str()).split('\n');
    QCOMPARE(lines.first(), QStringLiteral("Entrant 1  Classe 3  Classe 2  Classe 1"));
    QCOMPARE(lines.at(1), QStringLiteral("        0         5         5         7"));
    QCOMPARE(lines.at(lines.size() - 2),
             QStringLiteral("13 valeurs de E1 examinées (de 0 à 48), 11 avec au moins une "
                            "solution"));
}

QTEST_APPLESS_MAIN(TestOverview)
#include "tst_overview.moc"
