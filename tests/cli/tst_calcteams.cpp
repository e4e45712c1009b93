#include "CalcRun.h"
#include "TeamLists.h"

#include <QtTest>

using velmorin::testing::runCalculator;

namespace {

using velmorin::testing::kHandList;

// 12 teams, final of 1, 4 round-1 entrants: class 1 position 1 enters 4, 1, 5 and 2.
// A3 and C1 enter at another round than their level's: "hors niveau", the last column.
const char kClass1Csv[] = "tour,equipe,club,niveau,points,hors_niveau\n"
                          "4,A1,C,1,100,\n4,A2,C,1,90,\n"
                          "3,A3,C,1,90,oui\n3,B2,C,2,50,\n3,B3,C,2,50,\n3,B1,C,2,,\n"
                          "3,C1,C,3,10,oui\n2,C4,C,3,,\n"
                          "1,D1,C,4,0,\n1,D2,C,4,-3,\n1,C2,C,,5,\n1,C3,C,,,\n";

class TeamFiles
{
public:
    TeamFiles()
    {
        write("equipes.csv", kHandList);
        write("doublon.csv", "Nom;Club\nA;X\nB;X\nA;X\n");
        write("fautes.csv", "Équipe;Niveau;Points\nA;1;2\nB;2,5;3\nC;3;trois\n");
        write("divisions.csv", named(kHandList, ";"));
        write("sauts.csv", "Équipe;Niveau\nA;4\nB;1\nC;3\nD;4\n");
        write("classeur.xlsx", "PK\x03\x04 xl/workbook.xml");
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The hand list's levels 1 to 4 as division names.
    static QByteArray named(QByteArray bytes, const char *separator)
    {
        const char *names[] = {"Nationale 1", "Nationale 2", "Régionale", "Départementale"};
        for (int level = 1; level <= 4; ++level)
            bytes.replace(separator + QByteArray::number(level) + separator,
                          separator + QByteArray(names[level - 1]) + separator);
        return bytes;
    }

private:
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    QTemporaryDir m_dir;
};

} // namespace

class TestCalcTeams : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void errors_data();
    void errors();
    void drawnSeedIsTold();
    void sampleList();

private:
    TeamFiles m_files;
};

void TestCalcTeams::results_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err");

    const QString list = m_files.path("equipes.csv");
    QTest::newRow("csv") << QStringList{"--equipes", list, "--graine", "42", "--format",
                                        "csv",       "1",  "4",        "1",  "1"}
                         << QByteArray(kClass1Csv) << QString();
    QTest::newRow("csv with semicolons, --opt=value, options last")
        << QStringList{"1",
                       "4",
                       "1",
                       "1",
                       "--equipes=" + list,
                       "--graine=42",
                       "--format=csv",
                       "--separateur=;"}
        << QByteArray(kClass1Csv).replace(',', ';') << QString();
    QTest::newRow("another seed draws the ties again")
        << QStringList{"--equipes", list, "--graine", "2", "--format", "csv", "1", "4", "1", "1"}
        << QByteArray(kClass1Csv)
               .replace("4,A2,C,1,90,\n3,A3", "4,A3,C,1,90,\n3,A2")
               .replace("3,B2,C,2,50,\n3,B3", "3,B3,C,2,50,\n3,B2")
        << QString();
    QTest::newRow("table, class 2")
        << QStringList{"--equipes", list, "--graine", "42", "1", "4", "2", "1"}
        << QByteArray("Graine du tirage : 42\n"
                      "Tour  Équipe  Club  Niveau  Points\n"
                      "   4  A1      C          1     100\n"
                      "   3  A2      C          1      90  hors niveau\n"
                      "   3  A3      C          1      90  hors niveau\n"
                      "   2  B2      C          2      50  hors niveau\n"
                      "   2  B3      C          2      50  hors niveau\n"
                      "   2  B1      C          2          hors niveau\n"
                      "   2  C1      C          3      10\n"
                      "   2  C4      C          3\n"
                      "   1  D1      C          4       0\n"
                      "   1  D2      C          4      -3\n"
                      "   1  C2      C                  5\n"
                      "   1  C3      C\n"
                      "\n"
                      "Tour 4 : 1 équipe\n"
                      "Tour 3 : 2 équipes\n"
                      "Tour 2 : 5 équipes\n"
                      "Tour 1 : 4 équipes\n"
                      "Hors niveau : 5 équipes\n")
        << QString();
    QTest::newRow("levels") << QStringList{"--equipes", list, "--niveaux"}
                            << QByteArray(
                                   "Niveau       Équipes  Tour\n"
                                   "Niveau 1           3     4\n"
                                   "Niveau 2           3     3\n"
                                   "Niveau 3           2     2\n"
                                   "Niveau 4           2     1\n"
                                   "Sans niveau        2     1\n"
                                   "Entrantes voulues : tour 1 4, tour 2 2, tour 3 3, tour 4 3\n")
                            << QString();
    QTest::newRow("levels as csv")
        << QStringList{"--niveaux", "--format=csv", "--separateur", ";", "--equipes", list}
        << QByteArray("niveau;equipes;tour\n1;3;4\n2;3;3\n3;2;2\n4;2;1\n;2;1\n") << QString();
    QTest::newRow("duplicates warned, list used")
        << QStringList{"--equipes", m_files.path("doublon.csv"), "--niveaux"}
        << QByteArray("Niveau       Équipes  Tour\n"
                      "Sans niveau        3     1\n"
                      "Entrantes voulues : tour 1 3, tour 2 0, tour 3 0, tour 4 0\n")
        << "velmorin-calc: Liste « doublon.csv », ligne 4 : l'équipe « A » porte le nom de "
           "l'équipe « A » de la ligne 2 (les majuscules, les accents, les espaces et la "
           "ponctuation ne comptent pas).\n";
    const QString divisions = m_files.path("divisions.csv");
    // Named levels in the order the organiser gives rank the teams as their numbers did.
    QTest::newRow("named levels, order given, csv")
        << QStringList{"--equipes",
                       divisions,
                       "--ordre-niveaux",
                       "nationale 1; Nationale 2;REGIONALE;Départementale",
                       "--graine",
                       "42",
                       "--format",
                       "csv",
                       "1",
                       "4",
                       "1",
                       "1"}
        << TeamFiles::named(kClass1Csv, ",") << QString();
    QTest::newRow("named levels")
        << QStringList{"--equipes", divisions, "--niveaux"}
        << QByteArray("Niveau          Équipes  Tour\n"
                      "Nationale 1           3     4\n"
                      "Nationale 2           3     3\n"
                      "Régionale             2     2\n"
                      "Départementale        2     1\n"
                      "Sans niveau           2     1\n"
                      "Entrantes voulues : tour 1 4, tour 2 2, tour 3 3, tour 4 3\n"
                      "Ordre des niveaux, du plus fort au plus faible : Nationale 1, Nationale 2, "
                      "Régionale, Départementale (numéros croissants, puis noms dans l'ordre de "
                      "la liste ; --ordre-niveaux le change).\n")
        << QString();
    QTest::newRow("named levels in another order")
        << QStringList{"--equipes", divisions, "--niveaux", "--ordre-niveaux",
                       "Régionale;Nationale 1;Nationale 2;Départementale"}
        << QByteArray("Niveau          Équipes  Tour\n"
                      "Régionale             2     4\n"
                      "Nationale 1           3     3\n"
                      "Nationale 2           3     2\n"
                      "Départementale        2     1\n"
                      "Sans niveau           2     1\n"
                      "Entrantes voulues : tour 1 4, tour 2 3, tour 3 3, tour 4 2\n"
                      "Ordre des niveaux donné par --ordre-niveaux, du plus fort au plus faible : "
                      "Régionale, Nationale 1, Nationale 2, Départementale.\n")
        << QString();
    const QString gapNote = "Les niveaux sautent des numéros (1, 3, 4) : le plus fort entre au "
                            "Tour 4, le suivant au Tour 3, le suivant au Tour 2, les autres au "
                            "Tour 1 ; changez les tours des niveaux si besoin.\n";
    QTest::newRow("levels with gaps")
        << QStringList{"--equipes", m_files.path("sauts.csv"), "--niveaux"}
        << QByteArray("Niveau    Équipes  Tour\n"
                      "Niveau 1        1     4\n"
                      "Niveau 3        1     3\n"
                      "Niveau 4        2     2\n"
                      "Entrantes voulues : tour 1 0, tour 2 2, tour 3 1, tour 4 1\n") +
               gapNote.toUtf8()
        << QString();
    QTest::newRow("levels with gaps as csv: the remark aside")
        << QStringList{"--equipes", m_files.path("sauts.csv"), "--niveaux", "--format=csv"}
        << QByteArray("niveau,equipes,tour\n1,1,4\n3,1,3\n4,2,2\n") << "velmorin-calc: " + gapNote;
    QTest::newRow("help") << QStringList{"--equipes", list, "--help"} << QByteArray("--equipes")
                          << QString();
}

void TestCalcTeams::results()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);

    const velmorin::testing::CalcRun r = runCalculator(args);
    QCOMPARE(QString::fromStdString(r.err), err);
    QCOMPARE(r.status, 0);
    if (QTest::currentDataTag() == QLatin1String("help"))
        QVERIFY(QByteArray::fromStdString(r.out).contains(out));
    else
        QCOMPARE(QByteArray::fromStdString(r.out), out);
}

void TestCalcTeams::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");

    const QString list = m_files.path("equipes.csv");
    const QString tryHelp = "\nEssayez « velmorin-calc --help ».\n";
    QTest::newRow("missing file")
        << QStringList{"--equipes", m_files.path("absente.csv"), "1", "4", "1", "1"}
        << "velmorin-calc: Liste « absente.csv » refusée : fichier introuvable.\n";
    QTest::newRow("refused list")
        << QStringList{"--equipes", m_files.path("fautes.csv"), "--niveaux"}
        << "velmorin-calc: Liste « fautes.csv » refusée : 2 lignes en erreur.\n"
           "ligne 3, colonne B « Niveau » : « 2,5 » n'est pas un niveau (nombre entier à "
           "partir de 1 ou nom de division)\n"
           "ligne 4, colonne C « Points » : « trois » n'est pas un nombre de points (chiffres "
           "groupés par trois, comme 1 723 ou 12 345,5)\n";
    QTest::newRow("damaged Excel workbook")
        << QStringList{"--equipes", m_files.path("classeur.xlsx"), "--niveaux"}
        << "velmorin-calc: Liste « classeur.xlsx » refusée : le classeur Excel est illisible "
           "(fichier abîmé ?).\n";
    QTest::newRow("no such position")
        << QStringList{"--equipes", list, "1", "4", "1", "2"}
        << "velmorin-calc: pas de solution 2 dans la classe 1 : elle a 1 solution pour 12 "
           "équipes inscrites, 1 en finale et 4 entrantes au tour 1\n";
    QTest::newRow("class without solutions")
        << QStringList{"--equipes", list, "1", "4", "3", "1"}
        << "velmorin-calc: la classe 3 n'a aucune solution pour 12 équipes inscrites, 1 en "
           "finale et 4 entrantes au tour 1\n";
    QTest::newRow("class 4") << QStringList{"--equipes", list, "1", "4", "4", "1"}
                             << "velmorin-calc: CLASSE '4' incorrecte : 1, 2 ou 3 attendu (0, 1 "
                                "ou 2 équipes exemptées du tour 4)" +
                                    tryHelp;
    QTest::newRow("position 0") << QStringList{"--equipes", list, "1", "4", "1", "0"}
                                << "velmorin-calc: POSITION '0' incorrecte : les solutions sont "
                                   "numérotées à partir de 1" +
                                       tryHelp;
    QTest::newRow("registered count given too")
        << QStringList{"--equipes", list, "12", "1", "4", "1", "1"}
        << "velmorin-calc: argument en trop '1' : avec --equipes, le nombre d'inscrites est "
           "celui de la liste" +
               tryHelp;
    QTest::newRow("missing counts")
        << QStringList{"--equipes", list, "1", "4"}
        << "velmorin-calc: il manque des arguments : FINALE ENTRANTS1 CLASSE POSITION attendus "
           "avec --equipes" +
               tryHelp;
    QTest::newRow("counts with --niveaux")
        << QStringList{"--equipes", list, "--niveaux", "1"}
        << "velmorin-calc: argument en trop '1' : --niveaux n'attend que --equipes FICHIER" +
               tryHelp;
    QTest::newRow("seed past 64 bits")
        << QStringList{"--equipes", list, "--graine=18446744073709551616", "1", "4", "1", "1"}
        << "velmorin-calc: graine incorrecte '18446744073709551616' (entier de 0 à "
           "18446744073709551615 attendu)" +
               tryHelp;
    QTest::newRow("list given twice")
        << QStringList{"--equipes", list, "--equipes", list, "--niveaux"}
        << "velmorin-calc: une seule liste d'équipes à la fois : --equipes est donnée deux fois" +
               tryHelp;
    QTest::newRow("--scan") << QStringList{"--equipes", list, "--scan", "1", "4"}
                            << "velmorin-calc: l'option '--scan' ne se combine pas avec "
                               "--equipes" +
                                   tryHelp;
    QTest::newRow("unknown option") << QStringList{"--equipes", list, "--niveau"}
                                    << "velmorin-calc: option inconnue '--niveau'" + tryHelp;
    // The arguments are read as the calculator's other command lines read them.
    QTest::newRow("negative number") << QStringList{"--equipes", list, "-5", "4", "1", "1"}
                                     << "velmorin-calc: nombre négatif '-5' : placez les nombres "
                                        "négatifs après --" +
                                            tryHelp;
    QTest::newRow("single-dash option")
        << QStringList{"--equipes", list, "-n"} << "velmorin-calc: option inconnue '-n'" + tryHelp;
    QTest::newRow("count with an escape")
        << QStringList{"--equipes", list, "\x1b]0;x\a", "4", "1", "1"}
        << "velmorin-calc: FINALE : '␛]0;x␇' n'est pas une valeur entière correcte" + tryHelp;
    QTest::newRow("second --")
        << QStringList{"--equipes", list, "--", "1", "--", "4", "1", "1"}
        << "velmorin-calc: argument en trop '--' : un seul -- sépare les options des nombres" +
               tryHelp;
    const QString divisions = m_files.path("divisions.csv");
    QTest::newRow("order with a level the list has not, and one left out")
        << QStringList{"--equipes", divisions, "--niveaux", "--ordre-niveaux",
                       "Nationale 1;Nationale 2;Régionale;Nationale 3"}
        << "velmorin-calc: Ordre des niveaux refusé : la liste n'a pas le niveau « Nationale 3 » "
           "et il n'a pas le niveau « Départementale » de la liste.\n";
    QTest::newRow("order given twice")
        << QStringList{"--equipes",       divisions, "--ordre-niveaux", "A",
                       "--ordre-niveaux", "B",       "--niveaux"}
        << "velmorin-calc: un seul ordre des niveaux à la fois : --ordre-niveaux est donnée deux "
           "fois" +
               tryHelp;
    QTest::newRow("empty order")
        << QStringList{"--equipes", divisions, "--ordre-niveaux= ; ", "--niveaux"}
        << "velmorin-calc: l'option --ordre-niveaux attend les niveaux du plus fort au plus "
           "faible, séparés par des points-virgules" +
               tryHelp;
    QTest::newRow("option without its value")
        << QStringList{"1", "4", "1", "1", "--equipes"}
        << "velmorin-calc: l'option --equipes attend une valeur" + tryHelp;
}

void TestCalcTeams::errors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);

    const velmorin::testing::CalcRun r = runCalculator(args);
    QCOMPARE(QString::fromStdString(r.err), err);
    QCOMPARE(r.status, 2);
    QCOMPARE(r.out, std::string());
}

void TestCalcTeams::drawnSeedIsTold()
{
    const QString list = m_files.path("equipes.csv");
    const velmorin::testing::CalcRun csv =
        runCalculator({"--equipes", list, "--format", "csv", "1", "4", "1", "1"});
    QCOMPARE(csv.status, 0);
    const QRegularExpression told("^velmorin-calc: graine du tirage : (\\d+)\n$");
    const QRegularExpressionMatch match = told.match(QString::fromStdString(csv.err));
    QVERIFY2(match.hasMatch(), csv.err.c_str());

    // The seed told redoes the same draw.
    const velmorin::testing::CalcRun again = runCalculator(
        {"--equipes", list, "--graine", match.captured(1), "--format", "csv", "1", "4", "1", "1"});
    QCOMPARE(again.out, csv.out);
    QCOMPARE(again.err, std::string());

    const velmorin::testing::CalcRun table = runCalculator({"--equipes", list, "1", "4", "1", "1"});
    QCOMPARE(table.err, std::string());
    QVERIFY(QString::fromStdString(table.out).startsWith("Graine du tirage : "));
}

void TestCalcTeams::sampleList()
{
    // The README's example: 80 teams, final of 6, 44 round-1 entrants, class 3 at position 3.
    const velmorin::testing::CalcRun r =
        runCalculator({"--equipes", VELMORIN_SAMPLE_LIST, "--graine", "7", "6", "44", "3", "3"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, std::string());
    const QStringList lines = QString::fromStdString(r.out).split('\n');
    QCOMPARE(lines.size(), 1 + 1 + 80 + 1 + 5 + 1);
    QCOMPARE(lines[2], "   4  Les Bouchons des Vignes         Cercle Bouliste de Hautefeuille  "
                       "            1     385");
    QCOMPARE(lines.mid(83),
             (QStringList{"Tour 4 : 10 équipes", "Tour 3 : 15 équipes", "Tour 2 : 11 équipes",
                          "Tour 1 : 44 équipes", "Hors niveau : 15 équipes", ""}));
}

QTEST_GUILESS_MAIN(TestCalcTeams)
#include "tst_calcteams.moc"
