#include "tst_plans.h"

void TestPlans::parseInterval_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("lo"); // "" for no bound
    QTest::addColumn<QString>("hi");
    QTest::addColumn<QString>("error");

    QTest::newRow("one value") << "8" << true << "8"
                               << "8"
                               << "";
    QTest::newRow("closed") << "6..10" << true << "6"
                            << "10"
                            << "";
    QTest::newRow("at least") << "20.." << true << "20"
                              << ""
                              << "";
    QTest::newRow("at most") << "..60" << true << ""
                             << "60"
                             << "";
    QTest::newRow("hexadecimal ends") << "$10..$20" << true << "16"
                                      << "32"
                                      << "";
    QTest::newRow("negative ends") << "-5..-1" << true << "-5"
                                   << "-1"
                                   << "";
    QTest::newRow("leading spaces") << " 6.. 10" << true << "6"
                                    << "10"
                                    << "";
    QTest::newRow("a point") << "7..7" << true << "7"
                             << "7"
                             << "";
    QTest::newRow("lo above hi")
        << "10..6" << false << ""
        << ""
        << "intervalle vide '10..6' : le minimum (10) dépasse le maximum (6)";
    QTest::newRow("empty") << "" << false << ""
                           << ""
                           << "'' n'est pas un intervalle correct (8, 6..10, 20.. ou ..60 attendu)";
    QTest::newRow("dots only") << ".." << false << ""
                               << ""
                               << "'..' n'est pas un intervalle";
    QTest::newRow("three dots") << "1...5" << false << ""
                                << ""
                                << "'1...5'";
    QTest::newRow("space before dots") << "6 ..10" << false << ""
                                       << ""
                                       << "'6 ..10'";
    QTest::newRow("not a number") << "six" << false << ""
                                  << ""
                                  << "'six'";
    QTest::newRow("out of 32 bits") << "..2147483648" << false << ""
                                    << ""
                                    << "'..2147483648'";
    QTest::newRow("two intervals") << "1..2..3" << false << ""
                                   << ""
                                   << "'1..2..3'";
}

void TestPlans::parseInterval()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, lo);
    QFETCH(QString, hi);
    QFETCH(QString, error);

    std::string message;
    const std::optional<Interval> interval = velmorin::parseInterval(text.toStdString(), message);
    QCOMPARE(interval.has_value(), valid);
    if (!valid) {
        QVERIFY2(QString::fromStdString(message).startsWith(error), message.c_str());
        return;
    }
    const auto end = [](const std::optional<std::int32_t> &v) {
        return v ? QString::number(*v) : QString();
    };
    QCOMPARE(end(interval->lo), lo);
    QCOMPARE(end(interval->hi), hi);
}

// A wish whose ends are out of order is refused, and the wish it would replace stays.
void TestPlans::emptyIntervalIsNoWish()
{
    Wishes wishes;
    wishes.set(Quantity::Tour2, Interval{std::nullopt, 60});
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, wishes.set(Quantity::Tour2, Interval{61, 60}));
    QCOMPARE(wishes.of(Quantity::Tour2), (Interval{std::nullopt, 60}));
    QVERIFY(wishes.any());
    wishes.set(Quantity::Tour2, Interval{});
    QVERIFY(!wishes.any());
}

// Small N, every ratio, finals that give classes many solutions or none, all limits.
void TestPlans::sameAsBruteForce_data()
{
    QTest::addColumn<QStringList>("wishes");

    QTest::newRow("no wish: every plan ties") << QStringList{};
    QTest::newRow("organiser: E4 8, round 2 at most 60") << QStringList{"e4=8", "t2=..60"};
    QTest::newRow("E4 exactly") << QStringList{"e4=5"};
    QTest::newRow("E4 never a solution's residue") << QStringList{"e4=-1"};
    QTest::newRow("round 2 at most") << QStringList{"t2=..20"};
    QTest::newRow("round 2 never a multiple of 4") << QStringList{"t2=21"};
    QTest::newRow("round 3, one value between multiples") << QStringList{"t3=30"};
    QTest::newRow("E4 and round 3 on one line") << QStringList{"e4=10", "t3=20"};
    QTest::newRow("E1 band") << QStringList{"e1=20..40"};
    QTest::newRow("E1 not a multiple of 4") << QStringList{"e1=22"};
    QTest::newRow("E2 at most, E3 at least") << QStringList{"e2=..3", "e3=7.."};
    QTest::newRow("E3 exactly") << QStringList{"e3=9"};
    QTest::newRow("round 4 ties classes") << QStringList{"t4=47"};
    QTest::newRow("far from every plan") << QStringList{"e2=1000..", "t3=..-50"};
    QTest::newRow("round 3 as large as can be") << QStringList{"t3=100000.."};
    QTest::newRow("E4 below 0") << QStringList{"e4=..-5"};
    QTest::newRow("all seven") << QStringList{"e1=8..24",  "e2=4..",    "e3=..30", "e4=2..12",
                                              "t2=16..40", "t3=20..60", "t4=..46"};
}

void TestPlans::sameAsBruteForce()
{
    QFETCH(QStringList, wishes);
    const Wishes w = wishesOf(wishes);

    int withPlans = 0;
    for (std::int32_t n : {-3, 0, 1, 4, 9, 20, 33, 71, 100}) {
        // Near N / 8 the finals leave many E1 values with solutions.
        for (std::int32_t f : {0, 1, 3, 6, 9, n / 6, n / 8, n / 10}) {
            for (int ratios = 0; ratios < 8; ++ratios) {
                const Problem p = problemWithRatios(n, f, ratios);
                for (bool strict : {false, true}) {
                    for (std::size_t limit :
                         {std::size_t{1}, std::size_t{7}, std::size_t{100000}}) {
                        QString difference;
                        QVERIFY2(::sameAsBruteForce(p, w, limit, strict, difference),
                                 qPrintable(difference));
                    }
                }
                withPlans += velmorin::findPlans(p, w, 1).empty() ? 0 : 1;
            }
        }
    }
    QVERIFY(withPlans > 100); // the grid reaches problems with plans
}
