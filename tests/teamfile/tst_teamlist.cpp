#include "TeamCsv.h"
#include "TeamList.h"

#include <QtTest>

using namespace velmorin;

namespace {

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// A team as one line: "line|name|club|level|points|extra…".
QStringList describe(const TeamList &list)
{
    QStringList lines;
    for (const Team &team : list.teams) {
        QStringList fields{QString::number(team.line), q(team.name), q(team.club),
                           q(levelText(team.level)), q(team.pointsText)};
        for (const std::string &value : team.extra)
            fields << q(value);
        lines << fields.join('|');
    }
    return lines;
}

QStringList qList(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const std::string &text : texts)
        list << q(text);
    return list;
}

TeamListResult read(const QByteArray &bytes)
{
    return readTeamListCsv(std::string_view(bytes.constData(), bytes.size()), "equipes.csv");
}

} // namespace

class TestTeamList : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void listsAtMostTenFaultyRows();
    void duplicatesAreWarnings_data();
    void duplicatesAreWarnings();
    void numbers_data();
    void numbers();
};

void TestTeamList::reads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("extraColumns");
    QTest::addColumn<QStringList>("teams");

    QTest::newRow("semicolons, UTF-8")
        << QByteArray("Équipe;Club;Niveau;Points\nLes Aigles;Pétanque Club;1;120\n"
                      "Les Bleus;;;\n")
        << QStringList{} << QStringList{"2|Les Aigles|Pétanque Club|1|120", "3|Les Bleus|||"};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFNom;Club\nÉté;Aïe\n")
                                     << QStringList{} << QStringList{"2|Été|Aïe||"};
    // French Excel's CSV: é is 0xE9, the euro sign 0x80, œ 0x9C.
    QTest::newRow("Windows-1252") << QByteArray(
                                         "\xC9quipe;Club;Note\nLes C\x9Curs;Caf\xE9;12 \x80\n")
                                  << QStringList{"Note"} << QStringList{"2|Les Cœurs|Café|||12 €"};
    // Bytes that happen to be valid UTF-8 are taken as UTF-8.
    QTest::newRow("valid UTF-8 wins")
        << QByteArray("Nom\nM\xC3\xA9n\xC3\xA8s\n") << QStringList{} << QStringList{"2|Ménès|||"};
    QTest::newRow("tabs, spaces kept inside")
        << QByteArray("Equipe\tClub\n  Les  Verts \t Le Club\n") << QStringList{}
        << QStringList{"2|Les  Verts|Le Club||"};
    QTest::newRow("CRLF line ends, blank lines counted")
        << QByteArray("Équipe;Niveau\r\n\r\nA;1\r\n;\r\n\r\nB;2\r\n") << QStringList{}
        << QStringList{"3|A||1|", "6|B||2|"};
    QTest::newRow("quoted separator, doubled quotes, line break inside")
        << QByteArray("Équipe;Club;Remarque\n\"A;B\";\"Le \"\"Grand\"\" Club\";\"deux\nlignes\"\n"
                      "C;D;E\n")
        << QStringList{"Remarque"}
        << QStringList{"2|A;B|Le \"Grand\" Club|||deux\nlignes", "4|C|D|||E"};
    QTest::newRow("spaces around quotes") << QByteArray("Équipe;Club\n  \"A;1\"  ;  B  \n")
                                          << QStringList{} << QStringList{"2|A;1|B||"};
    QTest::newRow("quoted CRLF counts one line")
        << QByteArray("Équipe;Remarque\r\nA;\"x\r\ny\"\r\nB;z\r\n") << QStringList{"Remarque"}
        << QStringList{"2|A||||x\r\ny", "4|B||||z"};
    QTest::newRow("header case, accents and spaces")
        << QByteArray(" ÉQUIPE ;CLUB;DiViSiOn; points \nA;B;3;7\n") << QStringList{}
        << QStringList{"2|A|B|3|7"};
    QTest::newRow("Équipe wins over Nom, which is kept")
        << QByteArray("Nom;Équipe;Niveau;Division\nDupont;Les As;1;Régionale\n")
        << QStringList{"Nom", "Division"} << QStringList{"2|Les As||1||Dupont|Régionale"};
    QTest::newRow("blank lines before the header, trailing separators")
        << QByteArray("\n;;\nÉquipe;Club;;\nA;B;;\n") << QStringList{} << QStringList{"4|A|B||"};
    QTest::newRow("title and date above the header, lines counted as the sheet does")
        << QByteArray("Coupe de l'Ain 2025;;\nInscriptions au 3 mai;;\n\nÉquipe;Club;Points\n"
                      "A;B;1 723\nC;D;224,5\n")
        << QStringList{} << QStringList{"5|A|B||1723", "6|C|D||224,5"};
    QTest::newRow("empty column between named ones")
        << QByteArray("Équipe;  ;Note\nA;;x\n") << QStringList{"Note"} << QStringList{"2|A||||x"};
}

void TestTeamList::reads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, extraColumns);
    QFETCH(QStringList, teams);

    const TeamListResult result = read(bytes);
    QVERIFY2(result.ok(), result.error.c_str());
    QVERIFY(result.error.empty());
    QCOMPARE(qList(result.list->extraColumns), extraColumns);
    QCOMPARE(describe(*result.list), teams);
}

void TestTeamList::refuses_data()
{
    const QString kGroups = " (chiffres groupés par trois, comme 1 723 ou 12 345,5)";
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty file") << QByteArray()
                                << "Liste « equipes.csv » refusée : le fichier ne contient aucune "
                                   "ligne.";
    QTest::newRow("no name column")
        << QByteArray("\nClub;Niveau\nA;1\n")
        << "Liste « equipes.csv » refusée : aucune des 2 premières lignes remplies (à partir de "
           "la ligne 2) n'a de colonne « Équipe » ou « Nom » : c'est la ligne d'en-tête qui "
           "nomme les colonnes.";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFEN\0o\0m\0\n\0", 10)
                            << "Liste « equipes.csv » refusée : le fichier est en UTF-16 ; "
                               "enregistrez-le en CSV (UTF-8 ou Windows-1252) ou en ODS.";
    QTest::newRow("quote never closed")
        << QByteArray("Équipe\nA\n\"B\nC\nD\n")
        << "Liste « equipes.csv » refusée : ligne 3, colonne A, « \"B / C / D » : un guillemet "
           "ouvert n'est jamais fermé.";
    QTest::newRow("quote inside an unquoted text")
        << QByteArray("Équipe;Club\nA;B\n\"C\nD\";E\nLe 12\" club;F\n")
        << "Liste « equipes.csv » refusée : ligne 5, colonne A, « Le 12\" » : guillemet mal "
           "placé ; un texte entre "
           "guillemets commence et finit avec la cellule, et un guillemet dans le texte s'écrit "
           "\"\".";
    QTest::newRow("text after a closing quote")
        << QByteArray("Équipe;Club\r\n\"A\"x;B\r\n")
        << "Liste « equipes.csv » refusée : ligne 2, colonne A, « \"A\"x » : guillemet mal "
           "placé ; un texte entre "
           "guillemets commence et finit avec la cellule, et un guillemet dans le texte s'écrit "
           "\"\".";
    // A division's name is a level; a number that is no whole number from 1 is not.
    QTest::newRow("level neither a number nor a name")
        << QByteArray("Équipe;Niveau\nA;1\nB;Régionale\nC;2,5\n")
        << "Liste « equipes.csv » refusée : 1 ligne en erreur.\n"
           "ligne 4, colonne B « Niveau » : « 2,5 » n'est pas un niveau (nombre entier à partir de "
           "1 ou nom de division)";
    QTest::newRow("points not a number, name missing, both on one row")
        << QByteArray("Équipe;Points\nA;douze\n;3\n;x\n")
        << "Liste « equipes.csv » refusée : 3 lignes en erreur.\n"
           "ligne 2, colonne B « Points » : « douze » n'est pas un nombre de points" +
               kGroups +
               "\nligne 3, colonne A « Équipe » : nom d'équipe vide\n"
               "ligne 4, colonne A « Équipe » : nom d'équipe vide ; colonne B « Points » : "
               "« x » n'est pas un nombre de points" +
               kGroups;
    QTest::newRow("digits in groups of one")
        << QByteArray("Équipe;Points\nA;1 2 3\n")
        << "Liste « equipes.csv » refusée : 1 ligne en erreur.\n"
           "ligne 2, colonne B « Points » : « 1 2 3 » n'est pas un nombre de points" +
               kGroups;
    QTest::newRow("a title above the header, the header wrong")
        << QByteArray("Coupe 2025;;\n\nClub;Niveau\nA;1\n")
        << "Liste « equipes.csv » refusée : aucune des 3 premières lignes remplies (à partir de "
           "la ligne 1) n'a de colonne « Équipe » ou « Nom » : c'est la ligne d'en-tête qui "
           "nomme les colonnes.";
    QTest::newRow("cell past the header's columns")
        << QByteArray("Équipe,Club\nA,B\nDupont, Durand et fils,C\n")
        << "Liste « equipes.csv » refusée : 1 ligne en erreur.\n"
           "ligne 3, colonne C : « C » dans une colonne sans nom d'en-tête";
    QTest::newRow("text under an unnamed column")
        << QByteArray("Équipe;;Club\nA;;B\nC;x;D\n")
        << "Liste « equipes.csv » refusée : 1 ligne en erreur.\n"
           "ligne 3, colonne B : « x » dans une colonne sans nom d'en-tête";
    QTest::newRow("line of a fault after a quoted line break")
        << QByteArray("Équipe;Niveau\n\"A\nB\";1\nC;0\n")
        << "Liste « equipes.csv » refusée : 1 ligne en erreur.\n"
           "ligne 4, colonne B « Niveau » : « 0 » n'est pas un niveau (nombre entier à partir de "
           "1 ou nom de division)";
}

void TestTeamList::refuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);

    const TeamListResult result = read(bytes);
    QVERIFY(!result.ok());
    QCOMPARE(q(result.error), message);
    QVERIFY(result.warnings.empty());
}

void TestTeamList::listsAtMostTenFaultyRows()
{
    QByteArray bytes("Équipe;Niveau\n");
    for (int k = 1; k <= 13; ++k)
        bytes += "E" + QByteArray::number(k) + ";-" + QByteArray::number(k) + "\n";
    // A duplicate before the faults: nothing is imported, so it is not reported.
    bytes += "E1;1\nE1;1\n";

    const TeamListResult result = read(bytes);
    QVERIFY(!result.ok());
    const QStringList lines = q(result.error).split('\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines.first(), "Liste « equipes.csv » refusée : 13 lignes en erreur.");
    QCOMPARE(lines[1], "ligne 2, colonne B « Niveau » : « -1 » n'est pas un niveau (nombre entier "
                       "à partir de 1 ou nom de division)");
    QVERIFY(lines[10].startsWith("ligne 11, "));
    QCOMPARE(lines.last(), "et 3 autres lignes en erreur.");
    QVERIFY(result.warnings.empty());

    bytes.replace("E12;-12", "E12;12");
    bytes.replace("E13;-13", "E13;13");
    QCOMPARE(q(read(bytes).error).split('\n').last(), "et 1 autre ligne en erreur.");
}

void TestTeamList::duplicatesAreWarnings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("teams");
    QTest::addColumn<QStringList>("warnings");

    const QString rule = " (les majuscules, les accents, les espaces et la ponctuation ne "
                         "comptent pas).";
    QTest::newRow("same name and club, other case and accents")
        << QByteArray("Équipe;Club\nLes Étoiles;Le Club\nB;Le Club\nles etoiles ; LE CLUB\n") << 3
        << QStringList{"Liste « equipes.csv », ligne 4 : l'équipe « les etoiles » porte le nom "
                       "de l'équipe « Les Étoiles » de la ligne 2" +
                       rule};
    // A cup names its teams by name: the club does not tell them apart.
    QTest::newRow("same name, other club")
        << QByteArray("Équipe;Club\nA;X\nA;Y\n") << 2
        << QStringList{"Liste « equipes.csv », ligne 3 : l'équipe « A » porte le nom de "
                       "l'équipe « A » de la ligne 2" +
                       rule};
    QTest::newRow("punctuation and spaces")
        << QByteArray("Nom\nSaint-Cyr A\nSt Cyr A\nsaint cyr.a\n") << 3
        << QStringList{"Liste « equipes.csv », ligne 4 : l'équipe « saint cyr.a » porte le nom "
                       "de l'équipe « Saint-Cyr A » de la ligne 2" +
                       rule};
    QTest::newRow("same name, no club, three times")
        << QByteArray("Nom\nA\nA\nA\n") << 3
        << QStringList{"Liste « equipes.csv », ligne 3 : l'équipe « A » porte le nom de "
                       "l'équipe « A » de la ligne 2" +
                           rule,
                       "Liste « equipes.csv », ligne 4 : l'équipe « A » porte le nom de "
                       "l'équipe « A » de la ligne 2" +
                           rule};
}

void TestTeamList::duplicatesAreWarnings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, teams);
    QFETCH(QStringList, warnings);

    const TeamListResult result = read(bytes);
    QVERIFY2(result.ok(), result.error.c_str());
    QCOMPARE(static_cast<int>(result.list->teams.size()), teams);
    QCOMPARE(qList(result.warnings), warnings);
}

void TestTeamList::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");     // -1: not a level
    QTest::addColumn<double>("points"); // NaN: not points

    const double none = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("1") << "1" << 1 << 1.0;
    QTest::newRow("0") << "0" << -1 << 0.0;
    QTest::newRow("-4") << "-4" << -1 << -4.0;
    QTest::newRow("decimal comma") << "12,5" << -1 << 12.5;
    QTest::newRow("grouped digits") << "1 250" << -1 << 1250.0;
    QTest::newRow("groups of three") << "12 345 678,25" << -1 << 12345678.25;
    QTest::newRow("no-break space groups") << "1\u00A0723" << -1 << 1723.0;
    QTest::newRow("groups of one") << "1 2 3" << -1 << none;
    QTest::newRow("a group of two") << "1 23" << -1 << none;
    QTest::newRow("a first group of four") << "1234 567" << -1 << none;
    QTest::newRow("a group of four after the first") << "1 2345" << -1 << none;
    QTest::newRow("grouped decimals") << "1,234 5" << -1 << none;
    QTest::newRow("two decimal marks") << "1,2,3" << -1 << none;
    QTest::newRow("mark without digits after") << "3," << -1 << none;
    QTest::newRow("past 32 bits") << "4294967296" << -1 << 4294967296.0;
}

void TestTeamList::numbers()
{
    QFETCH(QString, text);
    QFETCH(int, level);
    QFETCH(double, points);

    const std::string utf8 = text.toStdString();
    QCOMPARE(parseLevel(utf8).value_or(-1), level);
    const std::optional<double> read = parsePoints(utf8);
    if (std::isnan(points))
        QVERIFY(!read);
    else
        QCOMPARE(read.value_or(-999), points);
}

QTEST_APPLESS_MAIN(TestTeamList)
#include "tst_teamlist.moc"
