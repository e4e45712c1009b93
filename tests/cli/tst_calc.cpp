#include "tst_calc.h"

void TestCalc::results_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("csv defaults") << QStringList{"--format", "csv", "71", "6", "20"}
                                  << QByteArray(kDefaultsCsv);
    QTest::newRow("csv, --opt=value")
        << QStringList{"--format=csv", "71", "6", "20"} << QByteArray(kDefaultsCsv);
    QTest::newRow("csv, explicit ratios")
        << QStringList{"--tour4",  "1/2", "--quart=1/2", "--demi", "1/2",
                       "--format", "csv", "71",          "6",      "20"}
        << QByteArray(kDefaultsCsv);
    QTest::newRow("csv with semicolons")
        << QStringList{"--format", "csv", "--separateur", ";", "71", "6", "20"}
        << QByteArray(kDefaultsCsv).replace(',', ';');
    QTest::newRow("csv with commas, --opt=value")
        << QStringList{"--separateur=,", "--format=csv", "71", "6", "20"}
        << QByteArray(kDefaultsCsv);
    QTest::newRow("hexadecimal registered")
        << QStringList{"--format", "csv", "$47", "6", "20"} << QByteArray(kDefaultsCsv);
    QTest::newRow("leading spaces")
        << QStringList{"--format", "csv", " 71", "  6", "20"} << QByteArray(kDefaultsCsv);
    QTest::newRow("counts") << QStringList{"--counts", "71", "6", "20"}
                            << QByteArray("classe,solutions\n3,7\n2,7\n1,7\n");
    QTest::newRow("counts win over format")
        << QStringList{"--format", "csv", "--counts", "71", "6", "20"}
        << QByteArray("classe,solutions\n3,7\n2,7\n1,7\n");
    QTest::newRow("counts with semicolons")
        << QStringList{"--counts", "--separateur", ";", "71", "6", "20"}
        << QByteArray("classe;solutions\n3;7\n2;7\n1;7\n");
    QTest::newRow("counts, csv with semicolons")
        << QStringList{"--separateur=;", "--format=csv", "--counts", "71", "6", "20"}
        << QByteArray("classe;solutions\n3;7\n2;7\n1;7\n");
    QTest::newRow("counts as a table")
        << QStringList{"--counts", "--format", "table", "71", "6", "20"}
        << QByteArray("Classe                      Solutions\n"
                      "Classe 3 (2 exemptées)              7\n"
                      "Classe 2 (1 exemptée)               7\n"
                      "Classe 1 (aucune exemptée)          7\n");
    // The count column widens to the counts; the last --format wins.
    QTest::newRow("counts as a table, nine digits")
        << QStringList{"--format=csv", "2147483647", "200000000", "0", "--counts", "--format=table"}
        << QByteArray("Classe                      Solutions\n"
                      "Classe 3 (2 exemptées)      298697483\n"
                      "Classe 2 (1 exemptée)       298697484\n"
                      "Classe 1 (aucune exemptée)  298697485\n");
    QTest::newRow("leading zeros stay in 32 bits")
        << QStringList{"--counts", "000000000000000071", "6", "20"}
        << QByteArray("classe,solutions\n3,7\n2,7\n1,7\n");
    QTest::newRow("lowest 32-bit value")
        << QStringList{"--counts", "--", "-2147483648", "6", "20"} << QByteArray(kCountsNone);
    QTest::newRow("round 4 at 3/4")
        << QStringList{"--counts", "--tour4", "3/4", "71", "6", "20"} << QByteArray(kCountsNone);
    QTest::newRow("E1 = 0") << QStringList{"--counts", "71", "6", "0"}
                            << QByteArray("classe,solutions\n3,5\n2,5\n1,7\n");
    QTest::newRow("E1 = 8") << QStringList{"--counts", "71", "6", "8"}
                            << QByteArray("classe,solutions\n3,6\n2,6\n1,8\n");
    QTest::newRow("E1 not a multiple of 4")
        << QStringList{"--counts", "71", "6", "22"} << QByteArray(kCountsNone);
    // A final of 9 gives the default quarter-final of 24 through one "3/4" round, else 36.
    QTest::newRow("final of 9, all 1/2")
        << QStringList{"--counts", "71", "9", "20"} << QByteArray(kCountsNone);
    QTest::newRow("semi-final at 3/4") << QStringList{"--counts", "--demi", "3/4", "71", "9", "20"}
                                       << QByteArray("classe,solutions\n3,7\n2,7\n1,7\n");
    QTest::newRow("quarter-final at 3/4") << QStringList{"--counts", "--quart=3/4", "71", "9", "20"}
                                          << QByteArray("classe,solutions\n3,7\n2,7\n1,7\n");
    QTest::newRow("negative after --") << QStringList{"--format", "csv", "--", "-5", "6", "0"}
                                       << QByteArray("classe,position,tour1,tour2,tour3,tour4,"
                                                     "entrant2,entrant3,entrant4\n");
    QTest::newRow("huge final, counts")
        << QStringList{"--counts", "2147483647", "200000000", "0"}
        << QByteArray("classe,solutions\n3,298697483\n2,298697484\n1,298697485\n");
    QTest::newRow("version") << QStringList{"--version"} << QByteArray("velmorin-calc 3.06\n");

    const QByteArray scanHeader("entrant1,classe3,classe2,classe1\n");
    QTest::newRow("scan, defaults")
        << QStringList{"--scan", "--format", "csv", "71", "6"}
        << scanHeader + "0,5,5,7\n4,5,6,7\n8,6,6,8\n12,6,7,8\n16,7,7,8\n20,7,7,7\n"
                        "24,6,6,5\n28,5,4,4\n32,4,4,3\n36,3,2,2\n40,1,1,0\n";
    QTest::newRow("scan, options after the counts")
        << QStringList{"71", "6", "--format=csv", "--scan"}
        << scanHeader + "0,5,5,7\n4,5,6,7\n8,6,6,8\n12,6,7,8\n16,7,7,8\n20,7,7,7\n"
                        "24,6,6,5\n28,5,4,4\n32,4,4,3\n36,3,2,2\n40,1,1,0\n";
    QTest::newRow("scan, semicolons")
        << QStringList{"--scan", "--format=csv", "--separateur=;", "71", "6"}
        << QByteArray("entrant1;classe3;classe2;classe1\n0;5;5;7\n4;5;6;7\n8;6;6;8\n12;6;7;8\n"
                      "16;7;7;8\n20;7;7;7\n24;6;6;5\n28;5;4;4\n32;4;4;3\n36;3;2;2\n40;1;1;0\n");
    QTest::newRow("scan, round 4 at 3/4")
        << QStringList{"--scan", "--format", "csv", "--tour4", "3/4", "71", "6"}
        << scanHeader + "64,0,0,1\n"; // past the window's bound of 48
    QTest::newRow("scan, negative registered")
        << QStringList{"--scan", "--format", "csv", "--", "-5", "6"} << scanHeader;
    QTest::newRow("scan, largest count and final 6")
        << QStringList{"--scan", "--format", "csv", "2147483647", "6"} << scanHeader;
    QTest::newRow("scan table, defaults")
        << QStringList{"--scan", "71", "6"}
        << QByteArray("Entrant 1  Classe 3  Classe 2  Classe 1\n"
                      "        0         5         5         7\n"
                      "        4         5         6         7\n"
                      "        8         6         6         8\n"
                      "       12         6         7         8\n"
                      "       16         7         7         8\n"
                      "       20         7         7         7\n"
                      "       24         6         6         5\n"
                      "       28         5         4         4\n"
                      "       32         4         4         3\n"
                      "       36         3         2         2\n"
                      "       40         1         1         0\n"
                      "18 valeurs de E1 examinées (de 0 à 68 ; la fenêtre propose jusqu'à 48), 11 "
                      "avec au moins une solution\n");
    QTest::newRow("scan table, nothing examined")
        << QStringList{"--scan", "--", "-1", "6"}
        << QByteArray("Entrant 1  Classe 3  Classe 2  Classe 1\n"
                      "0 valeur de E1 examinée, 0 avec au moins une solution\n");
    QTest::newRow("scan table, none offered by the window")
        << QStringList{"--scan", "0", "6"}
        << QByteArray("Entrant 1  Classe 3  Classe 2  Classe 1\n"
                      "1 valeur de E1 examinée (de 0 à 0 ; la fenêtre n'en propose aucune), 0 "
                      "avec au moins une solution\n");
    QTest::newRow("scan table, E1 = 0 only")
        << QStringList{"--scan", "0", "1"}
        << QByteArray("Entrant 1  Classe 3  Classe 2  Classe 1\n"
                      "1 valeur de E1 examinée (de 0 à 0), 0 avec au moins une solution\n");

    const QByteArray plansHeader("rang,ecart,entrant1,classe,position,solutions,entrant2,entrant3,"
                                 "entrant4,tour2,tour3,tour4\n");
    // The organiser's example: 8 teams enter at round 4, round 2 holds at most 60.
    QTest::newRow("plans, E4 and round 2")
        << QStringList{"--plans", "--format", "csv",  "--limite", "4", "--e4",
                       "8",       "--t2",     "..60", "71",       "6"}
        << plansHeader + "1,0,0,2,3,5,44,19,8,44,52,47\n2,0,4,2,3,6,37,22,8,40,52,47\n"
                         "3,0,8,2,3,6,30,25,8,36,52,47\n4,0,12,2,3,7,23,28,8,32,52,47\n";
    QTest::newRow("plans, hexadecimal interval, semicolons, options after the counts")
        << QStringList{"71",         "6",        "--plans",      "--format=csv", "--separateur=;",
                       "--limite=3", "--strict", "--e1=$10..$20"}
        << QByteArray(plansHeader).replace(',', ';') +
               "1;0;16;1;1;8;0;55;0;12;64;48\n2;0;16;1;2;8;4;48;3;16;60;48\n"
               "3;0;16;1;3;8;8;41;6;20;56;48\n";
    QTest::newRow("plans, round 3 never a multiple of 4, strict")
        << QStringList{"--plans", "--format", "csv", "--strict", "--t3", "30", "71", "6"}
        << plansHeader;
    QTest::newRow("plans, nearest to a negative E1")
        << QStringList{"--plans", "--format", "csv", "--limite", "1", "--e1", "-8..-4", "71", "6"}
        << plansHeader + "1,4,0,1,1,7,28,43,0,28,64,48\n";
    QTest::newRow("plans table, round 4 of class 2")
        << QStringList{"--plans", "--limite", "3", "--t4", "47", "71", "6"}
        << QByteArray("Rang  Écart  Entrant 1  Classe  Position  Solutions  Entrant 2  Entrant 3  "
                      "Entrant 4  Tour 2  Tour 3  Tour 4\n"
                      "   1      0          0       2         1          5         36         33  "
                      "        2      36      60      47\n"
                      "   2      0          0       2         2          5         40         26  "
                      "        5      40      56      47\n"
                      "   3      0          0       2         3          5         44         19  "
                      "        8      44      52      47\n"
                      "3 plans, écart 0\n");
    QTest::newRow("plans table, strict, nothing fits")
        << QStringList{"--plans", "--strict", "--e2", "1000..", "71", "6"}
        << QByteArray("Rang  Écart  Entrant 1  Classe  Position  Solutions  Entrant 2  Entrant 3  "
                      "Entrant 4  Tour 2  Tour 3  Tour 4\n"
                      "Aucun plan ne respecte tous les souhaits ; le plus proche a un écart de "
                      "944\n");
    QTest::newRow("plans table, no E1 with a solution")
        << QStringList{"--plans", "0", "6"}
        << QByteArray("Rang  Écart  Entrant 1  Classe  Position  Solutions  Entrant 2  Entrant 3  "
                      "Entrant 4  Tour 2  Tour 3  Tour 4\n"
                      "Aucun plan : aucune valeur de E1 ne donne de solution\n");
    QTest::newRow("plans, largest count, final 200 000 000")
        << QStringList{"--plans", "--format=csv", "--limite=1", "2147483647", "200000000"}
        << plansHeader + "1,0,0,1,1,298697485,56601256,2090882390,1,56601256,2133333332,"
                         "1600000000\n";
}

void TestCalc::results()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);

    const Run r = run(args);
    QCOMPARE(r.err, std::string());
    QCOMPARE(r.status, 0);
    QCOMPARE(QByteArray::fromStdString(r.out), expected);
}
