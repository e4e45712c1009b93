// Levels as organisers write them: numbers or division names, their order, the gaps in their
// numbers, and the ranking that follows the order.

#include "Level.h"
#include "TeamAssignment.h"
#include "TeamLists.h"

#include <QtTest>

using namespace velmorin;
using velmorin::testing::teamListFromCsv;

namespace {

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// One team per entry of `levels` ("" for none), named after its place: t0, t1…
TeamList listOf(const QStringList &levels)
{
    std::string csv = "Équipe;Niveau\n";
    for (int k = 0; k < levels.size(); ++k)
        csv += "t" + std::to_string(k) + ';' + levels[k].toStdString() + '\n';
    return teamListFromCsv(csv);
}

} // namespace

class TestLevel : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void givenOrder_data();
    void givenOrder();
    void gapNote_data();
    void gapNote();
    void movedLevelRanksTeams();
};

void TestLevel::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key"); // empty: refused

    QTest::newRow("number") << "12"
                            << "12";
    QTest::newRow("name, case and accents folded") << "Régionale  Élite"
                                                   << "regionale elite";
    QTest::newRow("name with a digit") << "Nationale 1"
                                       << "nationale 1";
    QTest::newRow("starts with a digit") << "1ère division"
                                         << "1ere division";
    QTest::newRow("zero") << "0"
                          << "";
    QTest::newRow("decimal") << "2,5"
                             << "";
    QTest::newRow("negative") << "-1"
                              << "";
    QTest::newRow("signs only") << "#"
                                << "";
}

void TestLevel::reading()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    const std::optional<Level> level = readLevel(text.toStdString());
    QCOMPARE(level ? q(level->key()) : QString(), key);
    if (level) {
        QCOMPARE(q(level->text()), text); // shown as written
        QVERIFY(readLevel(level->text()) == level);
    }
}

void TestLevel::givenOrder_data()
{
    QTest::addColumn<QStringList>("levels");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("result"); // the order taken, or the refusal

    const QStringList named{"Régionale", "Nationale 1", "", "nationale 2", "NATIONALE 1", "3"};
    QTest::newRow("none given: numbers, then names as they come")
        << named << QString() << "3, Régionale, Nationale 1, nationale 2";
    QTest::newRow("names folded, spaces dropped")
        << named << " nationale 1 ;Nationale 2; REGIONALE;3 "
        << "nationale 1, Nationale 2, REGIONALE, 3";
    QTest::newRow("a level the list has not")
        << named << "Nationale 1;Nationale 2;Régionale;3;Départementale"
        << "Ordre des niveaux refusé : la liste n'a pas le niveau « Départementale ».";
    QTest::newRow("levels left out")
        << named << "Nationale 1;Régionale"
        << "Ordre des niveaux refusé : il n'a pas les niveaux « nationale 2 », « 3 » de la liste.";
    QTest::newRow("all three faults")
        << named << "Nationale 1;nationale 1;Régionale;3;4;Élite"
        << "Ordre des niveaux refusé : la liste n'a pas les niveaux « 4 », « Élite », il n'a pas "
           "le niveau « nationale 2 » de la liste et « nationale 1 » y est en double.";
}

void TestLevel::givenOrder()
{
    QFETCH(QStringList, levels);
    QFETCH(QString, order);
    QFETCH(QString, result);

    const TeamList list = listOf(levels);
    if (order.isNull()) {
        QCOMPARE(q(LevelOrder::ofList(list).text()), result);
        QVERIFY(!LevelOrder::ofList(list).chosen());
        return;
    }
    const LevelOrderResult given = levelOrderFromText(order.toStdString(), levelsOf(list));
    QCOMPARE(given.order ? q(given.order->text()) : q(given.error), result);
    QCOMPARE(given.order.has_value(), given.error.empty());
    if (given.order)
        QVERIFY(given.order->chosen());
}

void TestLevel::gapNote_data()
{
    QTest::addColumn<QStringList>("levels");
    QTest::addColumn<QString>("numbers"); // in the note; empty: no note

    QTest::newRow("1 to 4") << QStringList{"4", "2", "1", "3", ""} << "";
    QTest::newRow("names only") << QStringList{"Régionale", "Nationale"} << "";
    QTest::newRow("1, 3, 4") << QStringList{"4", "1", "3"} << "1, 3, 4";
    QTest::newRow("from 2") << QStringList{"2", "3"} << "2, 3";
    QTest::newRow("gap beside names") << QStringList{"Élite", "1", "5"} << "1, 5";
}

void TestLevel::gapNote()
{
    QFETCH(QStringList, levels);
    QFETCH(QString, numbers);
    const QString note = q(levelGapNote(LevelOrder::ofList(listOf(levels))));
    if (numbers.isEmpty()) {
        QCOMPARE(note, QString());
        return;
    }
    QCOMPARE(note, QStringLiteral("Les niveaux sautent des numéros (%1) : le plus fort entre au "
                                  "Tour 4, le suivant au Tour 3, le suivant au Tour 2, les autres "
                                  "au Tour 1 ; changez les tours des niveaux si besoin.")
                       .arg(numbers));
}

// A level moved up takes the stronger round and its teams rank first, for every seed.
void TestLevel::movedLevelRanksTeams()
{
    const TeamList list = listOf({"Régionale", "Nationale", "Régionale", "", "Nationale"});
    LevelMapping mapping = LevelMapping::defaults(list);
    QVERIFY(mapping.swapWithNext(0));
    QVERIFY(!mapping.swapWithNext(1)); // the teams without a level stay last
    QStringList rows;
    for (const LevelRound &level : mapping.levels())
        rows << QStringLiteral("%1 %2 %3")
                    .arg(q(levelLabel(level.level)))
                    .arg(level.teams)
                    .arg(level.round);
    QCOMPARE(rows, (QStringList{"Nationale 2 4", "Régionale 2 3", "Sans niveau 1 1"}));
    QCOMPARE(mapping.roundOf(Level::named("NATIONALE")), 4);
    QCOMPARE(mapping.roundOf(std::nullopt), 1);
    for (std::uint64_t seed = 0; seed < 20; ++seed) {
        const std::vector<std::size_t> ranking = rankTeams(list, mapping.order(), seed);
        QCOMPARE(QSet<std::size_t>({ranking[0], ranking[1]}), QSet<std::size_t>({1, 4}));
        QCOMPARE(ranking[4], std::size_t(3));
        const AssignmentResult assigned = assignTeams(list, mapping, {1, 0, 2, 2}, seed);
        QVERIFY(assigned.ok());
        QCOMPARE(assigned.assignment->outOfLevelCount, Count(0));
    }
}

QTEST_APPLESS_MAIN(TestLevel)
#include "tst_level.moc"
