#include "EntriesCsv.h"
#include "TeamAssignment.h"
#include "TeamLists.h"

#include <QtTest>

#include <sstream>

using namespace velmorin;
using velmorin::testing::teamListFromCsv;

namespace {

using Entrants = std::array<Count, kEntryRounds>;

using velmorin::testing::kHandList;

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

QStringList names(const TeamList &list, const std::vector<std::size_t> &indices)
{
    QStringList result;
    for (const std::size_t index : indices)
        result << q(list.teams[index].name);
    return result;
}

QList<qint64> qCounts(const Entrants &counts)
{
    return {counts[0], counts[1], counts[2], counts[3]};
}

} // namespace

class TestTeamAssignment : public QObject
{
    Q_OBJECT

private slots:
    void defaultMapping_data();
    void defaultMapping();
    void changedMapping();
    void ranking_data();
    void ranking();
    void sameSeedSameOrder();
    void generatorIsPortable();
    void boundedDraw();
    void assignment_data();
    void assignment();
    void refusals_data();
    void refusals();
    void csvRows_data();
    void csvRows();
};

void TestTeamAssignment::defaultMapping_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("levels"); // label, teams, round
    QTest::addColumn<QList<qint64>>("entrants");

    QTest::newRow("hand list") << QByteArray(kHandList)
                               << QStringList{"Niveau 1 3 4", "Niveau 2 3 3", "Niveau 3 2 2",
                                              "Niveau 4 2 1", "Sans niveau 2 1"}
                               << QList<qint64>{4, 2, 3, 3};
    // The levels found count, not their numbers; past the third, all enter at round 1.
    QTest::newRow("levels 2, 5, 7, 8, 9 in any order")
        << QByteArray("Équipe;Niveau\na;9\nb;5\nc;2\nd;7\ne;5\nf;8\n")
        << QStringList{"Niveau 2 1 4", "Niveau 5 2 3", "Niveau 7 1 2", "Niveau 8 1 1",
                       "Niveau 9 1 1"}
        << QList<qint64>{2, 1, 2, 1};
    // Numbers first, then names as they first come, compared without case or accents.
    QTest::newRow("named divisions")
        << QByteArray("Équipe;Division\na;Régionale\nb;Nationale 1\nc;régionale\nd;2\ne;\n"
                      "f;NATIONALE 1\n")
        << QStringList{"Niveau 2 1 4", "Régionale 2 3", "Nationale 1 2 2", "Sans niveau 1 1"}
        << QList<qint64>{1, 2, 2, 1};
    QTest::newRow("no level column") << QByteArray("Équipe\na\nb\n")
                                     << QStringList{"Sans niveau 2 1"} << QList<qint64>{2, 0, 0, 0};
    QTest::newRow("one level and none")
        << QByteArray("Équipe;Niveau\na;\nb;3\n") << QStringList{"Niveau 3 1 4", "Sans niveau 1 1"}
        << QList<qint64>{1, 0, 0, 1};
}

void TestTeamAssignment::defaultMapping()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, levels);
    QFETCH(QList<qint64>, entrants);

    const LevelMapping mapping = LevelMapping::defaults(teamListFromCsv(csv.toStdString()));
    QStringList found;
    for (const LevelRound &level : mapping.levels())
        found << QStringLiteral("%1 %2 %3")
                     .arg(q(levelLabel(level.level)))
                     .arg(level.teams)
                     .arg(level.round);
    QCOMPARE(found, levels);
    QCOMPARE(qCounts(mapping.entrantsPerRound()), entrants);
}

void TestTeamAssignment::changedMapping()
{
    LevelMapping mapping = LevelMapping::defaults(teamListFromCsv(kHandList));
    QVERIFY(mapping.setRound(2, 4));
    QVERIFY(mapping.setRound(std::nullopt, 2));
    QCOMPARE(mapping.roundOf(2), 4);
    QCOMPARE(mapping.roundOf(std::nullopt), 2);
    QCOMPARE(qCounts(mapping.entrantsPerRound()), (QList<qint64>{2, 4, 0, 6}));

    // A level the list lacks, or a round outside 1 to 4, changes nothing.
    QVERIFY(!mapping.setRound(5, 3));
    QVERIFY(!mapping.setRound(1, 0));
    QVERIFY(!mapping.setRound(1, 5));
    QCOMPARE(mapping.roundOf(1), 4);
    QCOMPARE(mapping.roundOf(5), 1);
    QCOMPARE(qCounts(mapping.entrantsPerRound()), (QList<qint64>{2, 4, 0, 6}));
}

void TestTeamAssignment::ranking_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<QStringList>("order");

    // Level first, then points, empty last in both; the ties drawn by the seed.
    QTest::newRow("seed 42") << quint64(42) << QStringList{"A1", "A2", "A3", "B2", "B3", "B1",
                                                           "C1", "C4", "D1", "D2", "C2", "C3"};
    QTest::newRow("seed 7") << quint64(7) << QStringList{"A1", "A2", "A3", "B3", "B2", "B1",
                                                         "C1", "C4", "D1", "D2", "C2", "C3"};
    QTest::newRow("seed 2") << quint64(2) << QStringList{"A1", "A3", "A2", "B3", "B2", "B1",
                                                         "C1", "C4", "D1", "D2", "C2", "C3"};
    QTest::newRow("largest seed") << quint64(18446744073709551615ULL)
                                  << QStringList{"A1", "A3", "A2", "B2", "B3", "B1",
                                                 "C1", "C4", "D1", "D2", "C2", "C3"};
}

void TestTeamAssignment::ranking()
{
    QFETCH(quint64, seed);
    QFETCH(QStringList, order);
    const TeamList list = teamListFromCsv(kHandList);
    QCOMPARE(names(list, rankTeams(list, seed)), order);
}

void TestTeamAssignment::sameSeedSameOrder()
{
    const TeamList list = teamListFromCsv(velmorin::testing::inventedTeamsCsv(500));
    const std::vector<std::size_t> first = rankTeams(list, 123456789);
    QCOMPARE(rankTeams(list, 123456789), first);
    QVERIFY(rankTeams(list, 123456790) != first);

    // Every team once, and the ranking never goes against level or points.
    std::vector<std::size_t> sorted = first;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t k = 0; k < sorted.size(); ++k)
        QCOMPARE(sorted[k], k);
    for (std::size_t k = 1; k < first.size(); ++k) {
        const Team &a = list.teams[first[k - 1]];
        const Team &b = list.teams[first[k]];
        const int levelA = a.level ? a.level->number() : INT_MAX;
        const int levelB = b.level ? b.level->number() : INT_MAX;
        QVERIFY(levelA <= levelB);
        if (levelA == levelB)
            QVERIFY(a.points.value_or(-1e300) >= b.points.value_or(-1e300));
    }
}

void TestTeamAssignment::generatorIsPortable()
{
    // splitmix64's published sequence from seed 0.
    SeededDraw draw(0);
    QCOMPARE(draw.next(), quint64(0xE220A8397B1DCDAFULL));
    QCOMPARE(draw.next(), quint64(0x6E789E6AA1B965F4ULL));
    QCOMPARE(draw.next(), quint64(0x06C45D188009454FULL));
}

void TestTeamAssignment::boundedDraw()
{
    SeededDraw draw(99);
    QCOMPARE(draw.below(1), quint64(0));
    std::array<int, 7> seen{};
    for (int k = 0; k < 7000; ++k) {
        const std::uint64_t value = draw.below(7);
        QVERIFY(value < 7);
        ++seen[value];
    }
    for (const int count : seen)
        QVERIFY(count > 850 && count < 1150);
    // A bound just past half the range: a plain modulo would give the low half twice as often.
    const std::uint64_t bound = (std::uint64_t{1} << 63) + (std::uint64_t{1} << 62);
    int low = 0;
    for (int k = 0; k < 4000; ++k)
        low += draw.below(bound) < bound / 2 ? 1 : 0;
    QVERIFY2(low > 1800 && low < 2200, qPrintable(QString::number(low)));
}

void TestTeamAssignment::assignment_data()
{
    QTest::addColumn<QList<qint64>>("entrants");
    QTest::addColumn<QStringList>("rounds"); // rows in order: "round name", "*" when out of level
    QTest::addColumn<QList<qint64>>("perRound");
    QTest::addColumn<int>("outOfLevel");

    QTest::newRow("the levels' own wishes")
        << QList<qint64>{4, 2, 3, 3} << QStringList{"4 A1", "4 A2", "4 A3", "3 B2", "3 B3", "3 B1",
                                                    "2 C1", "2 C4", "1 D1", "1 D2", "1 C2", "1 C3"}
        << QList<qint64>{4, 2, 3, 3} << 0;
    QTest::newRow("one round-4 place fewer")
        << QList<qint64>{4, 3, 3, 2}
        << QStringList{"4 A1", "4 A2", "3 A3*", "3 B2", "3 B3", "2 B1*",
                       "2 C1", "2 C4", "1 D1",  "1 D2", "1 C2", "1 C3"}
        << QList<qint64>{4, 3, 3, 2} << 2;
    QTest::newRow("everyone at round 1")
        << QList<qint64>{12, 0, 0, 0}
        << QStringList{"1 A1*", "1 A2*", "1 A3*", "1 B2*", "1 B3*", "1 B1*",
                       "1 C1*", "1 C4*", "1 D1",  "1 D2",  "1 C2",  "1 C3"}
        << QList<qint64>{12, 0, 0, 0} << 8;
}

void TestTeamAssignment::assignment()
{
    QFETCH(QList<qint64>, entrants);
    QFETCH(QStringList, rounds);
    QFETCH(QList<qint64>, perRound);
    QFETCH(int, outOfLevel);

    const TeamList list = teamListFromCsv(kHandList);
    const LevelMapping mapping = LevelMapping::defaults(list);
    const AssignmentResult result =
        assignTeams(list, mapping, {entrants[0], entrants[1], entrants[2], entrants[3]}, 42);
    QVERIFY2(result.ok(), result.error.c_str());
    const Assignment &assignment = *result.assignment;
    QCOMPARE(assignment.seed, quint64(42));
    QStringList found;
    for (const std::size_t index : assignment.rows())
        found << QStringLiteral("%1 %2%3")
                     .arg(assignment.roundOfTeam[index])
                     .arg(q(list.teams[index].name))
                     .arg(assignment.outOfLevel[index] ? "*" : "");
    QCOMPARE(found, rounds);
    QCOMPARE(qCounts(assignment.perRound), perRound);
    QCOMPARE(assignment.outOfLevelCount, Count(outOfLevel));
}

void TestTeamAssignment::refusals_data()
{
    QTest::addColumn<QList<qint64>>("entrants");
    QTest::addColumn<QString>("message");

    QTest::newRow("plan for more teams")
        << QList<qint64>{24, 38, 10, 8}
        << "Le plan est fait pour 80 équipes et la liste en compte 12 : les entrées ne peuvent "
           "être réparties que si les deux nombres sont égaux.";
    QTest::newRow("a negative count that adds up")
        << QList<qint64>{14, -2, 0, 0}
        << "Le plan donne un nombre négatif d'équipes entrantes : les entrées ne peuvent pas "
           "être réparties.";
}

void TestTeamAssignment::refusals()
{
    QFETCH(QList<qint64>, entrants);
    QFETCH(QString, message);
    const TeamList list = teamListFromCsv(kHandList);
    const AssignmentResult result =
        assignTeams(list, LevelMapping::defaults(list),
                    {entrants[0], entrants[1], entrants[2], entrants[3]}, 1);
    QVERIFY(!result.ok());
    QCOMPARE(q(result.error), message);
}

void TestTeamAssignment::csvRows_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("other columns follow, rows by round")
        << QByteArray("Dossier;Équipe;Club;Niveau;Points;Capitaine\n"
                      "D1;Faible;;;;Jo\nD2;Fort;Le Club;1;1 234,5;Al\n")
        << ','
        << QByteArray("tour,equipe,club,niveau,points,Dossier,Capitaine,hors_niveau\n"
                      "2,Fort,Le Club,1,1234.5,D2,Al,oui\n"
                      "1,Faible,,,,D1,Jo,\n");
    // A French spreadsheet reads "1234,5" as a number, with no group separator.
    QTest::newRow("points for a French spreadsheet")
        << QByteArray("Équipe,Points\nB,224.5\nA,1723\n") << ';'
        << QByteArray("tour;equipe;club;niveau;points;hors_niveau\n2;A;;;1723;oui\n"
                      "1;B;;;224,5;\n");
    // A header with more commas than separators, unquoted, would be read back as
    // comma-separated: every field holding any separator is quoted.
    QTest::newRow("commas in a header")
        << QByteArray("Équipe;Niveau;\"Notes, avis, remarques, etc., etc., etc.\"\n"
                      "A;;x, y\nB;1;\n")
        << ';'
        << QByteArray("tour;equipe;club;niveau;points;\"Notes, avis, remarques, etc., etc., "
                      "etc.\";hors_niveau\n2;B;;1;;;oui\n1;A;;;;\"x, y\";\n");
    QTest::newRow("semicolons, quoting")
        << QByteArray("Équipe,Club,Remarque,\"Note; finale\"\n"
                      "\"Les \"\"As\"\"\",\"A;B\",\"deux\nlignes\", x \n")
        << ';'
        << QByteArray("tour;equipe;club;niveau;points;Remarque;\"Note; finale\";hors_niveau\n"
                      "2;\"Les \"\"As\"\"\";\"A;B\";;;\"deux\nlignes\";x;oui\n");
}

void TestTeamAssignment::csvRows()
{
    QFETCH(QByteArray, list);
    QFETCH(char, separator);
    QFETCH(QByteArray, expected);

    const TeamList teams = teamListFromCsv(list.toStdString());
    Entrants entrants{};
    entrants[0] = static_cast<Count>(teams.teams.size()) - 1;
    entrants[1] = 1;
    const AssignmentResult result = assignTeams(teams, LevelMapping::defaults(teams), entrants, 3);
    QVERIFY(result.ok());
    std::ostringstream out;
    OstreamSink sink(out);
    QVERIFY(writeAssignmentCsv(teams, *result.assignment, sink, separator));
    const std::string csv = out.str();
    QCOMPARE(QByteArray::fromStdString(csv), expected);

    // What the writer wrote reads back as the same teams.
    const TeamList back = teamListFromCsv(csv);
    QCOMPARE(back.teams.size(), teams.teams.size());
    QCOMPARE(back.teams.front().name, teams.teams.back().name);
    QCOMPARE(back.extraColumns.front(), std::string("tour"));
}

QTEST_APPLESS_MAIN(TestTeamAssignment)
#include "tst_teamassignment.moc"
