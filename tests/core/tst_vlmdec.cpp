#include "ReferenceSearch.h"
#include "VlmDec.h"

#include <QtTest>

#include <limits>
#include <set>

using namespace velmorin;

namespace {

// The seven columns of the solution tables: Tour1, Tour2, Tour3, round 4, Entrant2..4.
using Row = std::array<Count, 7>;

Row row(const TSolution &s)
{
    return {s.Tour1, s.Tour2, s.Tour3, s.tour4(), s.Entrant2, s.Entrant3, s.Entrant4};
}

std::vector<TSolution> all(const ClassSolutions &solutions)
{
    std::vector<TSolution> result;
    for (Count i = 0; i < solutions.count(); ++i)
        result.push_back(solutions.at(i));
    return result;
}

ExemptionClass cls(int k)
{
    return exemptionClassFromNumber(k);
}

Count requiredFor(int k, Count finale, Ratio round4, Ratio quarter, Ratio semi)
{
    return RequiredTour4(cls(k), backwardChain(finale, semi, quarter).T5, round4);
}

// Tests a, b and c of the search, exactly, in 128 bits so no value can wrap.
bool passesAllTests(const TSolution &s, Count registered, Count tour4)
{
    __extension__ typedef __int128 Wide;
    const Wide e1 = s.Tour1, e2 = s.Entrant2, e3 = s.Entrant3, e4 = s.Entrant4;
    return e2 >= 0 && e3 >= 0 && e4 >= 0 && s.Tour2 % 4 == 0 && s.Tour3 % 4 == 0 &&
           s.Tour2 == (3 * s.Tour1) / 4 + s.Entrant2 && s.Tour3 == (3 * s.Tour2) / 4 + s.Entrant3 &&
           e1 + e2 + e3 + e4 == registered && 36 * e1 + 48 * e2 + 64 * e3 == 64 * Wide(s.Tour3) &&
           27 * e1 + 36 * e2 + 48 * e3 + 64 * e4 == 64 * Wide(tour4);
}

const Ratio kRatios[] = {Ratio::Half, Ratio::ThreeQuarters};

} // namespace

Q_DECLARE_METATYPE(velmorin::Ratio)

class TestVlmDec : public QObject
{
    Q_OBJECT

private slots:
    void backwardChainSizes_data();
    void backwardChainSizes();
    void requiredTour4_data();
    void requiredTour4();
    void defaultsTable();
    void counts_data();
    void counts();
    void typicalUse();
    void matchesReferenceOnGrid();
    void matchesReferenceOnLargerInputs();
    void extremeInputsStayExact_data();
    void extremeInputsStayExact();
    void entrants1RangeIsExact();
    void listsAppendBrowseAndRelease();
    void releasingKeepsCount();
};

void TestVlmDec::backwardChainSizes_data()
{
    QTest::addColumn<Count>("finale");
    QTest::addColumn<Ratio>("semi");
    QTest::addColumn<Ratio>("quarter");
    QTest::addColumn<Count>("t6");
    QTest::addColumn<Count>("t5");

    QTest::newRow("defaults") << Count(6) << Ratio::Half << Ratio::Half << Count(12) << Count(24);
    QTest::newRow("semi 3/4") << Count(6) << Ratio::ThreeQuarters << Ratio::Half << Count(8)
                              << Count(16);
    QTest::newRow("both 3/4 truncates")
        << Count(8) << Ratio::ThreeQuarters << Ratio::ThreeQuarters << Count(10) << Count(13);
    QTest::newRow("negative truncates toward zero")
        << Count(-4) << Ratio::ThreeQuarters << Ratio::ThreeQuarters << Count(-5) << Count(-6);
    QTest::newRow("int max does not wrap") << Count(2147483647) << Ratio::Half << Ratio::Half
                                           << Count(4294967294LL) << Count(8589934588LL);
}

void TestVlmDec::backwardChainSizes()
{
    QFETCH(Count, finale);
    QFETCH(Ratio, semi);
    QFETCH(Ratio, quarter);
    const BackwardChain chain = backwardChain(finale, semi, quarter);
    QCOMPARE(chain.T7, finale);
    QTEST(chain.T6, "t6");
    QTEST(chain.T5, "t5");
}

void TestVlmDec::requiredTour4_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<Count>("t5");
    QTest::addColumn<Ratio>("round4");
    QTest::addColumn<Count>("expected");

    QTest::newRow("class 3 half") << 3 << Count(24) << Ratio::Half << Count(46);
    QTest::newRow("class 2 half") << 2 << Count(24) << Ratio::Half << Count(47);
    QTest::newRow("class 1 half") << 1 << Count(24) << Ratio::Half << Count(48);
    QTest::newRow("class 3 three quarters, 22 not a third")
        << 3 << Count(24) << Ratio::ThreeQuarters << Count(0);
    QTest::newRow("class 2 three quarters, 23 not a third")
        << 2 << Count(24) << Ratio::ThreeQuarters << Count(0);
    QTest::newRow("class 1 three quarters") << 1 << Count(24) << Ratio::ThreeQuarters << Count(32);
    QTest::newRow("class 2 three quarters whole")
        << 2 << Count(25) << Ratio::ThreeQuarters << Count(33);
    QTest::newRow("negative quarter-final") << 1 << Count(-6) << Ratio::ThreeQuarters << Count(-8);
}

void TestVlmDec::requiredTour4()
{
    QFETCH(int, k);
    QFETCH(Count, t5);
    QFETCH(Ratio, round4);
    QTEST(RequiredTour4(cls(k), t5, round4), "expected");
}

void TestVlmDec::defaultsTable()
{
    // Class, then the rows in discovery order (Tour1, Tour2, Tour3, round 4, E2, E3, E4).
    const std::map<int, std::vector<Row>> expected = {
        {3,
         {{20, 20, 60, 46, 5, 45, 1},
          {20, 24, 56, 46, 9, 38, 4},
          {20, 28, 52, 46, 13, 31, 7},
          {20, 32, 48, 46, 17, 24, 10},
          {20, 36, 44, 46, 21, 17, 13},
          {20, 40, 40, 46, 25, 10, 16},
          {20, 44, 36, 46, 29, 3, 19}}},
        {2,
         {{20, 16, 60, 47, 1, 48, 2},
          {20, 20, 56, 47, 5, 41, 5},
          {20, 24, 52, 47, 9, 34, 8},
          {20, 28, 48, 47, 13, 27, 11},
          {20, 32, 44, 47, 17, 20, 14},
          {20, 36, 40, 47, 21, 13, 17},
          {20, 40, 36, 47, 25, 6, 20}}},
        {1,
         {{20, 16, 56, 48, 1, 44, 6},
          {20, 20, 52, 48, 5, 37, 9},
          {20, 24, 48, 48, 9, 30, 12},
          {20, 28, 44, 48, 13, 23, 15},
          {20, 32, 40, 48, 17, 16, 18},
          {20, 36, 36, 48, 21, 9, 21},
          {20, 40, 32, 48, 25, 2, 24}}},
    };
    for (int k : {3, 2, 1}) {
        const Count r = requiredFor(k, 6, Ratio::Half, Ratio::Half, Ratio::Half);
        const ClassSolutions found = searchClass(71, 20, r);
        QCOMPARE(found.tour4(), r);
        std::vector<Row> rows;
        for (const TSolution &s : all(found))
            rows.push_back(row(s));
        QCOMPARE(rows, expected.at(k));
    }
}

void TestVlmDec::counts_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("finale");
    QTest::addColumn<int>("entrants1");
    QTest::addColumn<Ratio>("round4");
    QTest::addColumn<QList<Count>>("counts"); // classes 3, 2, 1

    QTest::newRow("defaults") << 71 << 6 << 20 << Ratio::Half << QList<Count>{7, 7, 7};
    QTest::newRow("round 4 three quarters")
        << 71 << 6 << 20 << Ratio::ThreeQuarters << QList<Count>{0, 0, 0};
    QTest::newRow("E1 = 0") << 71 << 6 << 0 << Ratio::Half << QList<Count>{5, 5, 7};
    QTest::newRow("E1 = 8") << 71 << 6 << 8 << Ratio::Half << QList<Count>{6, 6, 8};
    QTest::newRow("E1 not a multiple of 4")
        << 71 << 6 << 22 << Ratio::Half << QList<Count>{0, 0, 0};
    QTest::newRow("E1 above N") << 71 << 6 << 72 << Ratio::Half << QList<Count>{0, 0, 0};
    QTest::newRow("typical use") << 80 << 6 << 24 << Ratio::Half << QList<Count>{4, 4, 5};
    QTest::newRow("largest N, E1 proposed")
        << 2147483647 << 6 << 715827880 << Ratio::Half << QList<Count>{0, 0, 0};
}

void TestVlmDec::counts()
{
    QFETCH(int, registered);
    QFETCH(int, finale);
    QFETCH(int, entrants1);
    QFETCH(Ratio, round4);
    QFETCH(QList<Count>, counts);
    QList<Count> actual;
    for (int k : {3, 2, 1})
        actual << searchClass(registered, entrants1,
                              requiredFor(k, finale, round4, Ratio::Half, Ratio::Half))
                      .count();
    QCOMPARE(actual, counts);
}

void TestVlmDec::typicalUse()
{
    const ClassSolutions class2 =
        searchClass(80, 24, requiredFor(2, 6, Ratio::Half, Ratio::Half, Ratio::Half));
    QCOMPARE(class2.count(), Count(4));
    QCOMPARE(row(class2.at(2)), (Row{24, 56, 52, 47, 38, 10, 8}));

    const ClassSolutions e1zero =
        searchClass(71, 0, requiredFor(1, 6, Ratio::Half, Ratio::Half, Ratio::Half));
    QCOMPARE(row(e1zero.at(0)), (Row{0, 28, 64, 48, 28, 43, 0}));
}

// Same solutions, same order, same counts as the literal search, over every ratio
// combination and class, negative and odd E1, E1 above N, negative N and F.
void TestVlmDec::matchesReferenceOnGrid()
{
    std::set<Count> tour4s = {0, -1, -4, 1, 3};
    for (Count finale : {-6, -2, 0, 2, 4, 6, 8, 10, 12, 16, 32})
        for (Ratio r4 : kRatios)
            for (Ratio quarter : kRatios)
                for (Ratio semi : kRatios)
                    for (int k = 1; k <= 3; ++k)
                        tour4s.insert(requiredFor(k, finale, r4, quarter, semi));

    int compared = 0;
    int withSolutions = 0;
    for (int n = -8; n <= 64; ++n) {
        for (int e1 = -13; e1 <= n + 5; ++e1) {
            for (Count r : tour4s) {
                const std::vector<TSolution> expected = reference::search(n, e1, r);
                const ClassSolutions found = searchClass(n, e1, r);
                if (all(found) != expected) {
                    QFAIL(qPrintable(QStringLiteral("N=%1 E1=%2 R=%3: %4 solutions, expected %5")
                                         .arg(n)
                                         .arg(e1)
                                         .arg(r)
                                         .arg(found.count())
                                         .arg(expected.size())));
                }
                ++compared;
                withSolutions += expected.empty() ? 0 : 1;
            }
        }
    }
    QVERIFY(compared > 100000);
    QVERIFY(withSolutions > 1000); // the grid does reach inputs with solutions
    // The same numbers from the equations solved by hand (see extremeInputsStayExact).
    QCOMPARE(compared, 349962);
    QCOMPARE(withSolutions, 6111);
}

void TestVlmDec::matchesReferenceOnLargerInputs()
{
    for (int n : {150, 197, 240}) {
        for (int e1 : {0, 4, 36, n / 3, (n / 12) * 4, 100}) {
            for (Count r : {Count(46), Count(64), Count(98), Count(110), Count(130), Count(258)}) {
                const std::vector<TSolution> expected = reference::search(n, e1, r);
                QCOMPARE(all(searchClass(n, e1, r)), expected);
            }
        }
    }
}

void TestVlmDec::extremeInputsStayExact_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("entrants1");
    QTest::addColumn<Count>("tour4");
    QTest::addColumn<Count>("count");

    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    // The literal 32-bit products (27 E1, 64 N, ...) wrap at these sizes. The counts solve the
    // equations by hand: E1 a multiple of 4, E2 = r + 4j, E3 = C - 7j, E4 = D + 3j, so they are
    // the j that keep E3 and E4 at 0 or more.
    QTest::newRow("max N, E1 0, big R") << kMax << 0 << Count(1000000000) << Count(0);
    QTest::newRow("max N, min E1") << kMax << kMin << Count(1800000000) << Count(220990904);
    QTest::newRow("max N, min E1, huge R")
        << kMax << kMin << Count(3000000000LL) << Count(222284361);
    QTest::newRow("min N, min E1") << kMin << kMin << Count(0) << Count(0);
    QTest::newRow("zero N, min E1") << 0 << kMin << Count(-1610612736) << Count(0);
    QTest::newRow("max N, proposed E1")
        << kMax << 715827880 << Count(1300000000) << Count(146821901);
    QTest::newRow("R from F = int max") << kMax << 0 << Count(17179869182LL) << Count(0);
    QTest::newRow("R far beyond range")
        << kMax << 0 << std::numeric_limits<Count>::max() << Count(0);
    QTest::newRow("R far below range")
        << kMax << 0 << std::numeric_limits<Count>::min() << Count(0);
}

void TestVlmDec::extremeInputsStayExact()
{
    QFETCH(int, registered);
    QFETCH(int, entrants1);
    QFETCH(Count, tour4);
    const ClassSolutions found = searchClass(registered, entrants1, tour4);
    const Count n = found.count();
    QVERIFY(n >= 0);
    QTEST(n, "count");
    for (Count i : {Count(0), n / 3, n / 2, n - 1}) {
        if (i < 0 || i >= n)
            continue;
        const TSolution s = found.at(i);
        QVERIFY2(passesAllTests(s, registered, tour4), qPrintable(QString::number(i)));
        QCOMPARE(s.tour4(), tour4);
        if (i > 0)
            QVERIFY(found.at(i - 1).Entrant2 + 4 == s.Entrant2);
    }
}

// The E1 values with solutions are never split, and the band holds them with at most two
// values to spare at each end: the exact range is the band trimmed by a few searches.
void TestVlmDec::entrants1RangeIsExact()
{
    int ranges = 0;
    for (int n = -6; n <= 160; n += 7) {
        for (Count r = -4; r <= 2 * n + 8; ++r) {
            for (Count lastE : {Count(n / 8), Count(1) << 40}) {
                const Entrants1Band band = entrants1Band(n, r, lastE);
                const Entrants1Band exact = entrants1WithSolutions(n, r, lastE);
                for (Count e = -2; e <= n / 4 + 2; ++e) {
                    const bool solved =
                        e >= 0 && e <= lastE && !searchClass(n, std::int32_t(4 * e), r).empty();
                    QVERIFY2(solved == (e >= exact.first && e <= exact.last),
                             qPrintable(QStringLiteral("N %1 R %2 e %3").arg(n).arg(r).arg(e)));
                    QVERIFY(!solved || (e >= band.first && e <= band.last));
                }
                if (!exact.empty()) {
                    QVERIFY(exact.first - band.first <= 2 && band.last - exact.last <= 2);
                    ++ranges;
                }
            }
        }
    }
    QVERIFY(ranges > 1000);
}

void TestVlmDec::listsAppendBrowseAndRelease()
{
    SolutionLists lists;
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(lists.NbSolutions(cls(k)), Count(0));
        QVERIFY(!lists.SolutionCursor(cls(k)));
    }
    const ClassSolutions found =
        searchClass(71, 20, requiredFor(2, 6, Ratio::Half, Ratio::Half, Ratio::Half));
    for (Count i = 0; i < found.count(); ++i) {
        lists.append(cls(2), found.at(i));
        lists.setNbSolutions(cls(2), i + 1);
        QCOMPARE(*lists.SolutionCursor(cls(2)), found.at(i)); // the cursor follows the appends
    }
    QCOMPARE(lists.cursorPosition(cls(2)), std::size_t(7));
    QCOMPARE(lists.moveCursorTo(cls(2), 3), std::optional<TSolution>(found.at(2)));
    QCOMPARE(lists.cursorPosition(cls(2)), std::size_t(3));
    QVERIFY(!lists.moveCursorTo(cls(2), 0));
    QVERIFY(!lists.moveCursorTo(cls(2), 8));
    QCOMPARE(lists.cursorPosition(cls(2)), std::size_t(3)); // a refused move keeps the cursor
    QVERIFY(!lists.hasRecords(cls(1)));
    QVERIFY(!lists.moveCursorTo(cls(1), 1));

    lists.FreeSolutionList(cls(2));
    QVERIFY(!lists.hasRecords(cls(2)));
    QVERIFY(!lists.SolutionCursor(cls(2)));
    lists.FreeSolutionList(cls(2)); // releasing an empty class does nothing
    QVERIFY(!lists.moveCursorTo(cls(2), 1));

    QVERIFY_THROWS_EXCEPTION(std::out_of_range, exemptionClassFromNumber(0));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, exemptionClassFromNumber(4));
}

void TestVlmDec::releasingKeepsCount()
{
    SolutionLists lists;
    lists.append(cls(3), TSolution{20, 5, 45, 1, 20, 60});
    lists.setNbSolutions(cls(3), 1);
    lists.FreeSolutionList(cls(3));
    QCOMPARE(lists.NbSolutions(cls(3)), Count(1));
    QCOMPARE(lists.recordCount(cls(3)), std::size_t(0));
}

QTEST_APPLESS_MAIN(TestVlmDec)
#include "tst_vlmdec.moc"
