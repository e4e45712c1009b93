#include "tst_plans.h"

// Hundreds of millions of E1 values, too many for the brute force (the fuzz target compares
// small ones at random): the plans come out in order, each the solution the window would show
// at its position, with its deviation.
void TestPlans::largestInputs_data()
{
    QTest::addColumn<std::int32_t>("finale");
    QTest::addColumn<QStringList>("wishes");
    QTest::addColumn<std::optional<Count>>("bestDeviation");

    // With a final of 6 no round-1 entry can bring 2^31 teams down to round 4.
    QTest::newRow("final 6, E4 and round 2")
        << 6 << QStringList{"e4=8", "t2=..60"} << std::optional<Count>();
    // Round 2 cannot be small: the fewest teams there with E4 = 8 are 24 257 684.
    QTest::newRow("final 200 000 000, E4 and round 2")
        << 200000000 << QStringList{"e4=8", "t2=..60"} << std::optional<Count>(24257628);
    // Round 3 is always a multiple of 4: 2 away at best.
    QTest::newRow("final 200 000 000, round 3 off the lattice")
        << 200000000 << QStringList{"t3=2133333330"} << std::optional<Count>(2);
    QTest::newRow("final 200 000 000, no wish")
        << 200000000 << QStringList{} << std::optional<Count>(0);
}

void TestPlans::largestInputs()
{
    QFETCH(std::int32_t, finale);
    QFETCH(QStringList, wishes);
    QFETCH(std::optional<Count>, bestDeviation);

    const Problem p = problemWithRatios(kMax, finale, 0);
    const Wishes w = wishesOf(wishes);
    const std::vector<RankedPlan> plans = velmorin::findPlans(p, w, 200);
    QCOMPARE(velmorin::bestDeviation(p, w), bestDeviation);
    QCOMPARE(plans.size(), std::size_t{bestDeviation ? 200u : 0u});
    if (bestDeviation)
        QCOMPARE(plans.front().deviation, *bestDeviation);
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const RankedPlan &plan = plans[i];
        Problem at = p;
        at.entrants1 = std::int32_t(plan.entrants1());
        const velmorin::ClassResult c =
            velmorin::solveClass(at, velmorin::backwardChain(at), plan.exemptionClass);
        QCOMPARE(plan.solutions, c.solutions.count());
        QCOMPARE(plan.solution, c.solutions.at(plan.position - 1));
        QCOMPARE(plan.deviation, w.deviation(plan.solution, c.tour4));
        if (i > 0) {
            const RankedPlan &prev = plans[i - 1];
            QVERIFY(std::make_tuple(prev.deviation, int(prev.exemptionClass), prev.entrants1(),
                                    prev.position) <
                    std::make_tuple(plan.deviation, int(plan.exemptionClass), plan.entrants1(),
                                    plan.position));
        }
    }
}

void TestPlans::whySentence_data()
{
    QTest::addColumn<std::int32_t>("registered");
    QTest::addColumn<std::int32_t>("finale");
    QTest::addColumn<std::int32_t>("entrants1");
    QTest::addColumn<int>("ratios");
    QTest::addColumn<int>("exemptionClass");
    QTest::addColumn<QString>("sentence");

    QTest::newRow("has solutions") << 71 << 6 << 20 << 0 << 1 << "";
    QTest::newRow("E1 above the registered")
        << 71 << 6 << 72 << 0 << 3
        << "E1 = 72 dépasse le nombre d'équipes inscrites (71) ; valeurs de E1 les plus proches "
           "avec une solution dans cette classe : 40 en dessous, aucune au-dessus.";
    QTest::newRow("E1 not a multiple of 4")
        << 71 << 6 << 22 << 0 << 2
        << "E1 = 22 n'est pas un multiple de 4 : les trois quarts du tour 1 ne font pas un nombre "
           "entier d'équipes ; valeurs de E1 les plus proches avec une solution dans cette "
           "classe : 20 en dessous, 24 au-dessus.";
    QTest::newRow("round 4 at 3/4 cannot be whole")
        << 71 << 6 << 20 << 1 << 3
        << "Un tour 4 à 3/4 ne peut pas être entier avec cette finale et ces rapports : les "
           "places qu'il doit pourvoir en quart de finale (22) ne sont pas un multiple de 3 ; "
           "aucune valeur de E1 ne donne de solution dans cette classe.";
    // Class 1 at 3/4 needs 32 teams in round 4: 71 teams are too many for that, unless E1 = 64,
    // past the window's bound of 48.
    QTest::newRow("too many teams left")
        << 71 << 6 << 20 << 1 << 1
        << "Il reste trop d'équipes pour les tours 2 à 4 : le tour 4 en compterait au moins 38, "
           "il en faut 32 ; valeurs de E1 les plus proches avec une solution dans cette classe : "
           "aucune en dessous, 64 au-dessus.";
    QTest::newRow("too many, with E1 values above") << 71 << 6 << 0 << 0 << 1 << "";
    QTest::newRow("too few teams left")
        << 71 << 6 << 44 << 0 << 1
        << "Il reste trop peu d'équipes pour les tours 2 à 4 : le tour 4 en compterait au plus "
           "44, il en faut 48 ; valeurs de E1 les plus proches avec une solution dans cette "
           "classe : 36 en dessous, aucune au-dessus.";
    QTest::newRow("too many teams, nearest above")
        << 100 << 6 << 0 << 0 << 3
        << "Il reste trop d'équipes pour les tours 2 à 4 : le tour 4 en compterait au moins 57, "
           "il en faut 46 ; valeurs de E1 les plus proches avec une solution dans cette classe "
           ": aucune en dessous, 76 au-dessus.";
    QTest::newRow("rounds 2 and 3 cannot be whole")
        << 103 << 1 << 100 << 0 << 1
        << "Avec E1 = 100, les équipes qui restent pour les tours 2 à 4 (3) ne permettent pas "
           "des tours 2 et 3 entiers ; aucune valeur de E1 ne donne de solution dans cette "
           "classe.";
}

void TestPlans::whySentence()
{
    QFETCH(std::int32_t, registered);
    QFETCH(std::int32_t, finale);
    QFETCH(std::int32_t, entrants1);
    QFETCH(int, ratios);
    QFETCH(int, exemptionClass);
    QFETCH(QString, sentence);

    Problem p = problemWithRatios(registered, finale, ratios);
    p.entrants1 = entrants1;
    QCOMPARE(QString::fromStdString(
                 velmorin::whyNoSolution(p, velmorin::exemptionClassFromNumber(exemptionClass))),
             sentence);
}

// Every failing class gets a sentence whose nearest E1 values are the overview's rows nearest
// to E1 where that class has solutions; "FIN" gets those of any class.
void TestPlans::nearestAgainstOverview()
{
    const QStringList conditions{"E1 = ", "Un tour 4", "Il reste trop d'", "Il reste trop peu",
                                 "Avec E1 = "};
    int sentences = 0;
    for (std::int32_t n : {-2, 0, 3, 12, 40, 71, 103}) {
        for (std::int32_t f : {0, 1, 3, 6, 9}) {
            for (int ratios = 0; ratios < 8; ++ratios) {
                Problem p = problemWithRatios(n, f, ratios);
                std::vector<velmorin::OverviewRow> rows;
                velmorin::Overview overview(p);
                while (const auto row = overview.next())
                    rows.push_back(*row);
                for (std::int32_t e1 = -1; e1 <= n + 6; ++e1) {
                    p.entrants1 = e1;
                    const velmorin::Calculation c = velmorin::calculate(p);
                    for (int k = 0; k <= 3; ++k) {
                        std::optional<Count> below, above;
                        for (const velmorin::OverviewRow &row : rows) {
                            const Count count =
                                k == 0 ? row.total()
                                       : row.count(velmorin::exemptionClassFromNumber(k));
                            if (count == 0)
                                continue;
                            if (row.entrants1 < e1)
                                below = row.entrants1;
                            if (row.entrants1 > e1 && !above)
                                above = row.entrants1;
                        }
                        std::optional<ExemptionClass> cls;
                        if (k > 0)
                            cls = velmorin::exemptionClassFromNumber(k);
                        const velmorin::NearestEntrants1 nearest =
                            velmorin::nearestEntrants1(p, cls);
                        const QString where = QStringLiteral("N %1 F %2 RG %3 E1 %4 class %5")
                                                  .arg(n)
                                                  .arg(f)
                                                  .arg(ratios)
                                                  .arg(e1)
                                                  .arg(k);
                        QVERIFY2(nearest.below == below && nearest.above == above,
                                 qPrintable(where));
                        const bool none = k == 0 ? !c.anySolution() : c.of(*cls).solutions.empty();
                        const QString why =
                            QString::fromStdString(k == 0 ? velmorin::whyNoClassSolution(p)
                                                          : velmorin::whyNoSolution(p, *cls));
                        QVERIFY2(why.isEmpty() != none, qPrintable(where));
                        if (!none)
                            continue;
                        ++sentences;
                        const auto named = [&](const std::optional<Count> &v) {
                            return v ? QString::number(*v) : QStringLiteral("aucune");
                        };
                        if (below || above)
                            QVERIFY2(why.endsWith(QStringLiteral(" : %1 en dessous, %2 au-dessus.")
                                                      .arg(named(below), named(above))),
                                     qPrintable(where + ": " + why));
                        if (k > 0)
                            QVERIFY2(
                                std::any_of(conditions.begin(), conditions.end(),
                                            [&](const QString &s) { return why.startsWith(s); }),
                                qPrintable(where + ": " + why));
                    }
                }
            }
        }
    }
    QVERIFY(sentences > 1000);
}

QTEST_APPLESS_MAIN(TestPlans)
