#include "tst_calc.h"

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
