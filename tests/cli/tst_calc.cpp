#include "Calc.h"
#include "CalcRun.h"
#include "WhyNoSolution.h"

#include <QtTest>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

using velmorin::cli::runCalc;

namespace {

using Run = velmorin::testing::CalcRun;

Run run(const QStringList &args)
{
    return velmorin::testing::runCalculator(args);
}

// Accepts a fixed number of bytes, then fails every write, as a pipe whose reader has gone.
class ClosingBuffer : public std::streambuf
{
public:
    explicit ClosingBuffer(std::size_t capacity) : m_left(capacity) {}
    std::size_t accepted = 0;
    int writesAfterClose = 0;

protected:
    int_type overflow(int_type ch) override
    {
        const char c = traits_type::to_char_type(ch);
        return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
    }
    std::streamsize xsputn(const char *, std::streamsize count) override
    {
        if (m_left == 0) {
            ++writesAfterClose;
            return 0;
        }
        const auto n = std::min(m_left, static_cast<std::size_t>(count));
        m_left -= n;
        accepted += n;
        return static_cast<std::streamsize>(n);
    }

private:
    std::size_t m_left;
};

const char kDefaultsCsv[] = "classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4\n"
                            "3,1,20,20,60,46,5,45,1\n"
                            "3,2,20,24,56,46,9,38,4\n"
                            "3,3,20,28,52,46,13,31,7\n"
                            "3,4,20,32,48,46,17,24,10\n"
                            "3,5,20,36,44,46,21,17,13\n"
                            "3,6,20,40,40,46,25,10,16\n"
                            "3,7,20,44,36,46,29,3,19\n"
                            "2,1,20,16,60,47,1,48,2\n"
                            "2,2,20,20,56,47,5,41,5\n"
                            "2,3,20,24,52,47,9,34,8\n"
                            "2,4,20,28,48,47,13,27,11\n"
                            "2,5,20,32,44,47,17,20,14\n"
                            "2,6,20,36,40,47,21,13,17\n"
                            "2,7,20,40,36,47,25,6,20\n"
                            "1,1,20,16,56,48,1,44,6\n"
                            "1,2,20,20,52,48,5,37,9\n"
                            "1,3,20,24,48,48,9,30,12\n"
                            "1,4,20,28,44,48,13,23,15\n"
                            "1,5,20,32,40,48,17,16,18\n"
                            "1,6,20,36,36,48,21,9,21\n"
                            "1,7,20,40,32,48,25,2,24\n";

const char kCountsNone[] = "classe,solutions\n3,0\n2,0\n1,0\n";

} // namespace

class TestCalc : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void usageErrors_data();
    void usageErrors();
    void argumentsShownSafely_data();
    void argumentsShownSafely();
    void defaultsTable();
    void tableColumnsStayAligned();
    void stopsWhenTheReaderGoesAway();
    void scanStopsWhenTheReaderGoesAway();
};

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

void TestCalc::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message"); // what stderr must contain

    QTest::newRow("not an integer")
        << QStringList{"abc", "6", "20"}
        << QStringLiteral(
               "velmorin-calc: INSCRITES : 'abc' n'est pas une valeur entière correcte\n");
    QTest::newRow("trailing space")
        << QStringList{"71 ", "6", "20"}
        << QStringLiteral(
               "velmorin-calc: INSCRITES : '71 ' n'est pas une valeur entière correcte\n");
    QTest::newRow("bad last count")
        << QStringList{"--format", "csv", "71", "6", "2x"}
        << QStringLiteral(
               "velmorin-calc: ENTRANTS1 : '2x' n'est pas une valeur entière correcte\n");
    QTest::newRow("bad final")
        << QStringList{"71", "six", "20"}
        << QStringLiteral("velmorin-calc: FINALE : 'six' n'est pas une valeur entière correcte\n");
    QTest::newRow("out of 32 bits")
        << QStringList{"71", "2147483648", "20"}
        << QStringLiteral(
               "velmorin-calc: FINALE : '2147483648' est trop grand : au plus 2 147 483 647\n");
    QTest::newRow("below 32 bits")
        << QStringList{"--", "71", "6", "-2147483649"}
        << QStringLiteral("ENTRANTS1 : '-2147483649' est trop petit : au moins -2 147 483 648\n");
    QTest::newRow("hexadecimal past 32 bits")
        << QStringList{" 0x100000000", "6", "20"}
        << QStringLiteral("INSCRITES : ' 0x100000000' est trop grand : au plus $FFFFFFFF\n");
    QTest::newRow("100 000 digits")
        << QStringList{QString(100000, QLatin1Char('9')), "6", "20"}
        << QStringLiteral(
               "INSCRITES : '%1…' (100000 caractères) est trop grand : au plus 2 147 483 647\n")
               .arg(QString(40, QLatin1Char('9')));
    QTest::newRow("too many digits, then a letter")
        << QStringList{"99999999999x", "6", "20"}
        << QStringLiteral("'99999999999x' n'est pas une valeur entière correcte\n");
    QTest::newRow("separator with the table")
        << QStringList{"--format", "table", "--separateur", ";", "71", "6", "20"}
        << QStringLiteral(
               "velmorin-calc: l'option --separateur ne s'applique pas au format table\n");
    QTest::newRow("separator with the default table")
        << QStringList{"--separateur=,", "71", "6", "20"}
        << QStringLiteral("--separateur ne s'applique pas au format table");
    QTest::newRow("separator with counts as a table")
        << QStringList{"--counts", "--format=table", "--separateur=;", "71", "6", "20"}
        << QStringLiteral("--separateur ne s'applique pas au format table");
    QTest::newRow("separator with the scan table")
        << QStringList{"--scan", "--separateur", ";", "71", "6"}
        << QStringLiteral("--separateur ne s'applique pas au format table");
    QTest::newRow("unknown option")
        << QStringList{"--foo", "71", "6", "20"} << QStringLiteral("--foo");
    QTest::newRow("unknown short option")
        << QStringList{"-x", "71", "6", "20"} << QStringLiteral("-x");
    QTest::newRow("ratio 2/3") << QStringList{"--tour4", "2/3", "71", "6", "20"}
                               << QStringLiteral("2/3");
    QTest::newRow("ratio 2/3, --opt=value")
        << QStringList{"--demi=2/3", "71", "6", "20"} << QStringLiteral("2/3");
    QTest::newRow("missing argument") << QStringList{"71", "6"} << QStringLiteral("manque");
    QTest::newRow("no argument") << QStringList{} << QStringLiteral("manque");
    QTest::newRow("extra argument") << QStringList{"71", "6", "20", "5"} << QStringLiteral("'5'");
    QTest::newRow("missing option value")
        << QStringList{"71", "6", "20", "--quart"} << QStringLiteral("--quart");
    QTest::newRow("bad format") << QStringList{"--format", "xml", "71", "6", "20"}
                                << QStringLiteral("xml");
    QTest::newRow("separator tab") << QStringList{"--separateur", "\t", "71", "6", "20"}
                                   << QStringLiteral("séparateur incorrect");
    QTest::newRow("separator of two characters")
        << QStringList{"--separateur=;;", "71", "6", "20"} << QStringLiteral("';;'");
    QTest::newRow("empty separator")
        << QStringList{"--separateur=", "71", "6", "20"} << QStringLiteral("(, ou ; attendu)");
    QTest::newRow("counts with a value")
        << QStringList{"--counts=yes", "71", "6", "20"} << QStringLiteral("--counts");
    QTest::newRow("negative without --") << QStringList{"-5", "6", "0"} << QStringLiteral("'-5'");
    QTest::newRow("minus zero is not negative")
        << QStringList{"-0", "6", "0"}
        << QStringLiteral("velmorin-calc: nombre '-0' pris pour une option");
    QTest::newRow("help with a value")
        << QStringList{"--help=1"} << QStringLiteral("l'option --help ne prend pas de valeur");
    QTest::newRow("version with a value")
        << QStringList{"--version=", "71", "6", "20"}
        << QStringLiteral("l'option --version ne prend pas de valeur");
    // Without the check the second -- would count as a number and push "0" out as the extra one.
    QTest::newRow("second --") << QStringList{"--", "-5", "--", "6", "0"}
                               << QStringLiteral("velmorin-calc: argument en trop '--'");
    QTest::newRow("scan with E1") << QStringList{"--scan", "71", "6", "20"}
                                  << QStringLiteral("'20' : --scan n'attend que");
    QTest::newRow("scan without final")
        << QStringList{"--scan", "71"} << QStringLiteral("INSCRITES FINALE attendus avec --scan");
    QTest::newRow("scan with counts")
        << QStringList{"--counts", "--scan", "71", "6"} << QStringLiteral("--counts et --scan");
    QTest::newRow("scan with a value")
        << QStringList{"--scan=oui", "71", "6"} << QStringLiteral("--scan ne prend pas");
    QTest::newRow("escape in an unknown option")
        << QStringList{"--\x1b[2J", "71", "6", "20"}
        << QStringLiteral("velmorin-calc: option inconnue '--␛[2J'\n");
    QTest::newRow("escape as separator")
        << QStringList{"--separateur=\x1b", "71", "6", "20"}
        << QStringLiteral("velmorin-calc: séparateur incorrect '␛' (, ou ; attendu)\n");
    QTest::newRow("bell in a ratio") << QStringList{"--quart", "1/2\a", "71", "6", "20"}
                                     << QStringLiteral("rapport incorrect '1/2␇' pour --quart");
    QTest::newRow("scan, bad final")
        << QStringList{"--scan", "71", "6x"}
        << QStringLiteral("'6x' n'est pas une valeur entière correcte");
    QTest::newRow("plans, malformed interval")
        << QStringList{"--plans", "--e2", "6..1x", "71", "6"}
        << QStringLiteral("velmorin-calc: --e2 : '6..1x' n'est pas un intervalle correct (8, "
                          "6..10, 20.. ou ..60 attendu)\n");
    QTest::newRow("plans, lo above hi")
        << QStringList{"--plans", "--t3=10..6", "71", "6"}
        << QStringLiteral(
               "--t3 : intervalle vide '10..6' : le minimum (10) dépasse le maximum (6)");
    QTest::newRow("plans, interval without ends")
        << QStringList{"--plans", "--e1", "..", "71", "6"} << QStringLiteral("'..' n'est pas");
    QTest::newRow("plans, third count")
        << QStringList{"--plans", "71", "6", "20"}
        << QStringLiteral("argument en trop '20' : --plans n'attend que INSCRITES FINALE");
    QTest::newRow("plans without final")
        << QStringList{"--plans", "71"} << QStringLiteral("INSCRITES FINALE attendus avec --plans");
    QTest::newRow("plans with scan")
        << QStringList{"--plans", "--scan", "71", "6"}
        << QStringLiteral("l'option --plans ne se combine ni avec --scan ni avec --counts");
    QTest::newRow("plans with counts")
        << QStringList{"--counts", "--plans", "71", "6"} << QStringLiteral("--plans ne se combine");
    QTest::newRow("limit 0") << QStringList{"--plans", "--limite", "0", "71", "6"}
                             << QStringLiteral("limite incorrecte '0' (de 1 à 1000000 attendu)");
    QTest::newRow("limit above a million")
        << QStringList{"--plans", "--limite=1000001", "71", "6"} << QStringLiteral("'1000001'");
    QTest::newRow("limit not a number")
        << QStringList{"--plans", "--limite", "vingt", "71", "6"} << QStringLiteral("'vingt'");
    // The values of the plan options go back to the terminal as the counts do.
    QTest::newRow("interval with an escape")
        << QStringList{"--plans", "--e2", "\x1b[2J", "71", "6"}
        << QStringLiteral("--e2 : '␛[2J' n'est pas un intervalle correct");
    QTest::newRow("huge interval")
        << QStringList{"--plans", "--t2", QString(1000, QLatin1Char('8')) + "..", "71", "6"}
        << QStringLiteral("'%1…' (1002 caractères) n'est pas").arg(QString(40, QLatin1Char('8')));
    QTest::newRow("limit with an escape")
        << QStringList{"--plans", "--limite", "\x1b]0;x\a", "71", "6"}
        << QStringLiteral("limite incorrecte '␛]0;x␇'");
    QTest::newRow("wish without plans") << QStringList{"--e4", "8", "71", "6", "20"}
                                        << QStringLiteral("l'option --e4 ne sert qu'avec --plans");
    QTest::newRow("strict without plans")
        << QStringList{"--strict", "71", "6", "20"} << QStringLiteral("--strict ne sert qu'avec");
    QTest::newRow("plans with a value")
        << QStringList{"--plans=oui", "71", "6"} << QStringLiteral("--plans ne prend pas");
}

void TestCalc::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    const Run r = run(args);
    QCOMPARE(r.status, 2);
    QCOMPARE(r.out, std::string());
    const QString err = QString::fromStdString(r.err);
    QVERIFY2(err.startsWith("velmorin-calc: "), qPrintable(err));
    QCOMPARE(err.count('\n'), 2);
    QVERIFY(err.endsWith("\nEssayez « velmorin-calc --help ».\n"));
    QVERIFY2(err.contains(message), qPrintable(err));
}

// What the user typed goes back to the terminal: no byte of it may drive the terminal, and a
// huge argument is cut to a readable length with its whole length stated.
void TestCalc::argumentsShownSafely_data()
{
    QTest::addColumn<QByteArray>("argument"); // given as INSCRITES
    QTest::addColumn<QString>("shown");       // between "INSCRITES : " and the reason

    QTest::newRow("terminal title sequence")
        << QByteArray("\x1b]0;titre\a16") << QStringLiteral("'␛]0;titre␇16'");
    QTest::newRow("NUL, tab, line end, delete")
        << QByteArray("7\0\t\n\x7f", 5) << QStringLiteral("'7␀␉␊␡'");
    // U+009B is the one-byte form of the escape that starts a terminal's control sequences.
    QTest::newRow("C1 control") << QByteArray("\xc2\x9b"
                                              "2J")
                                << QStringLiteral("'�2J'");
    QTest::newRow("malformed UTF-8")
        << QByteArray("7\xff\xc3(\xe2\x82") << QStringLiteral("'7��(��'");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QStringLiteral("'��'");
    QTest::newRow("40 characters, not cut") << QString(40, QChar(0xE9)).toUtf8()
                                            << QStringLiteral("'%1'").arg(QString(40, QChar(0xE9)));
    QTest::newRow("41 characters in 82 bytes")
        << QString(41, QChar(0xE9)).toUtf8()
        << QStringLiteral("'%1…' (41 caractères)").arg(QString(40, QChar(0xE9)));
    QTest::newRow("100 000 letters")
        << QByteArray(100000, 'a')
        << QStringLiteral("'%1…' (100000 caractères)").arg(QString(40, QLatin1Char('a')));
    QTest::newRow("controls past the cut are counted")
        << QByteArray(39, 'a') + QByteArray("\x1b\x1b\x1b")
        << QStringLiteral("'%1␛…' (42 caractères)").arg(QString(39, QLatin1Char('a')));
}

void TestCalc::argumentsShownSafely()
{
    QFETCH(QByteArray, argument);
    QFETCH(QString, shown);

    std::ostringstream out;
    std::ostringstream err;
    QCOMPARE(runCalc({argument.toStdString(), "6", "20"}, out, err), 2);
    const QString message = QString::fromStdString(err.str());
    QCOMPARE(message.section('\n', 0, 0),
             QStringLiteral("velmorin-calc: INSCRITES : ") + shown +
                 QStringLiteral(" n'est pas une valeur entière correcte"));
    for (const char c : err.str())
        QVERIFY2(c == '\n' || static_cast<unsigned char>(c) >= 0x20, qPrintable(message));
}

void TestCalc::defaultsTable()
{
    const Run r = run({"71", "6", "20"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, std::string());
    const QStringList lines = QString::fromStdString(r.out).split('\n');
    QCOMPARE(lines.mid(0, 5), (QStringList{"Finale     : 6", "1/2 finale : 12", "1/4 finale : 24",
                                           "", "Classe 3 (2 exemptées) : 7 solutions"}));
    QCOMPARE(lines.at(5), QStringLiteral("Position  Tour 1  Tour 2  Tour 3  Tour 4  Entrant 2  "
                                         "Entrant 3  Entrant 4"));
    QCOMPARE(lines.at(6), QStringLiteral("       1      20      20      60      46          5  "
                                         "       45          1"));
    QVERIFY(lines.contains("Classe 2 (1 exemptée) : 7 solutions"));
    QVERIFY(lines.contains("Classe 1 (aucune exemptée) : 7 solutions"));

    const Run none = run({"--tour4", "3/4", "71", "6", "20"});
    QCOMPARE(none.status, 0);
    const QStringList noneLines = QString::fromStdString(none.out).split('\n');
    QVERIFY(noneLines.contains("Classe 3 (2 exemptées) : 0 solution"));
    QVERIFY(noneLines.contains("Classe 2 (1 exemptée) : 0 solution"));
    QVERIFY(noneLines.contains("Classe 1 (aucune exemptée) : 0 solution"));
    QVERIFY(!noneLines.join('\n').contains("Position"));
    // Each "0 solution" heading is followed by why, with the sentence of its own class.
    for (int k : {3, 2, 1}) {
        const int heading = int(noneLines.indexOf(
            QRegularExpression(QStringLiteral("^Classe %1 .* : 0 solution$").arg(k))));
        QVERIFY(heading >= 0);
        velmorin::Problem p;
        p.registered = 71;
        p.finale = 6;
        p.entrants1 = 20;
        p.round4 = velmorin::Ratio::ThreeQuarters;
        QCOMPARE(noneLines.value(heading + 1),
                 "Pourquoi : " + QString::fromStdString(velmorin::whyNoSolution(
                                     p, velmorin::exemptionClassFromNumber(k))));
    }
    QVERIFY(
        noneLines.contains("Pourquoi : Il reste trop d'équipes pour les tours 2 à 4 : le tour 4 "
                           "en compterait au moins 38, il en faut 32 ; valeurs de E1 les plus "
                           "proches avec une solution dans cette classe : aucune en dessous, 64 "
                           "au-dessus."));
    QVERIFY(!lines.join('\n').contains("Pourquoi")); // not where every class has solutions
}

// Values of ten digits next to three-digit ones: every row of a class keeps the header's width.
void TestCalc::tableColumnsStayAligned()
{
    const Run r = run({"2147483647", "268435450", "0"});
    QCOMPARE(r.status, 0);
    const QStringList lines = QString::fromStdString(r.out).split('\n');
    int rows = 0;
    qsizetype width = -1;
    for (const QString &line : lines) {
        if (line.startsWith("Position")) {
            width = line.size();
        } else if (line.isEmpty() || line.startsWith("Classe")) {
            width = -1;
        } else if (width >= 0) {
            QCOMPARE(line.size(), width);
            ++rows;
        }
    }
    QCOMPARE(rows, 29 + 28 + 27);
    QVERIFY(r.out.find("2147483598") != std::string::npos);
}

void TestCalc::stopsWhenTheReaderGoesAway()
{
    // Close to 900 million rows in all: the run must stop at the first refused write.
    ClosingBuffer buffer(4096);
    std::ostream out(&buffer);
    std::ostringstream err;
    const int status = runCalc({"--format", "csv", "2147483647", "200000000", "0"}, out, err);
    QCOMPARE(status, 0);
    QCOMPARE(err.str(), std::string());
    QCOMPARE(buffer.accepted, std::size_t{4096});
    QVERIFY(buffer.writesAfterClose <= 1);
}

void TestCalc::scanStopsWhenTheReaderGoesAway()
{
    // Some 240 million rows: the scan too stops at the first refused write.
    ClosingBuffer buffer(4096);
    std::ostream out(&buffer);
    std::ostringstream err;
    QCOMPARE(runCalc({"--scan", "2147483647", "200000000"}, out, err), 0);
    QCOMPARE(err.str(), std::string());
    QCOMPARE(buffer.accepted, std::size_t{4096});
    QVERIFY(buffer.writesAfterClose <= 1);
}

QTEST_APPLESS_MAIN(TestCalc)
#include "tst_calc.moc"
