// Cups stored before names and clubs were compared by their keys: a file whose round 1 was
// drawn with clubs compared byte for byte, or with two teams of one name, still opens, shows
// the meetings it was drawn with and is played on; back before round 1 it meets today's rules.

#include "CupDraw.h"
#include "CupRecordRows.h"
#include "CupSimulation.h"
#include "CupStore.h"
#include "CupText.h"
#include "TeamLists.h"

#include <QSqlDatabase>
#include <QtTest>

using namespace velmorin;
using namespace velmorin::testing;

class TestCupStoreRules : public QObject
{
    Q_OBJECT

private slots:
    void olderCupsOpen_data();
    void olderCupsOpen();
    void planChangesBeforeRound1();

private:
    QTemporaryDir m_dir;
};

void TestCupStoreRules::olderCupsOpen_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("refusedBeforeRound1"); // "" when today's rules take the cup

    // The calculator's hand list (4 teams at round 1 with its plan 1 4 1 1), clubs retyped.
    QTest::newRow("one club typed three ways")
        << QByteArray("Équipe;Club;Niveau;Points\nA1;Tassin;1;100\nA2;TASSIN;1;90\n"
                      "A3;tassin.;1;90\nB1;Tassin;2;\nB2;TASSIN;2;50\nB3;tassin.;2;50\n"
                      "C1;Tassin;3;10\nC2;TASSIN;;5\nC3;tassin.;;\nC4;Tassin;3;\n"
                      "D1;TASSIN;4;0\nD2;tassin.;4;-3\n")
        << "";
    QTest::newRow("two teams of one name")
        << QByteArray("Équipe;Club;Niveau;Points\nA1;Tassin;1;100\nA2;TASSIN;1;90\n"
                      "A3;tassin.;1;90\nB1;Tassin;2;\nB2;TASSIN;2;50\nB3;tassin.;2;50\n"
                      "C1;Tassin;3;10\nC2;TASSIN;;5\nc2;tassin.;;\nC4;Tassin;3;\n"
                      "D1;TASSIN;4;0\nD2;tassin.;4;-3\n")
        << "« C2 » (ligne 9) et « c2 » (ligne 10)";
}

void TestCupStoreRules::olderCupsOpen()
{
    QFETCH(QByteArray, list);
    QFETCH(QString, refusedBeforeRound1);

    const QString path = m_dir.filePath(QString("%1.velmorin").arg(QTest::currentDataTag()));
    CupSetup setup;
    setup.name = "Coupe d'avant";
    const TeamList teams = teamListFromCsv(list.toStdString());
    setup.list = importedListOf(teams, "equipes.csv");
    setup.levelRounds = levelRoundsOf(LevelMapping::defaults(teams));
    setup.registered = static_cast<std::int32_t>(teams.teams.size());
    setup.finale = 1;
    setup.entrants1 = 4;
    setup.classNumber = 1;
    setup.position = 1;
    setup.seed = 42;
    QVERIFY(CupStore::create(path, setup).ok());

    // Round 1 as it was drawn then, its meetings those of clubs compared byte for byte.
    const CupInputsResult inputs = cupInputsOf(setup, rebuildCup(setup), InputsRules::Played);
    QVERIFY2(inputs.inputs, inputs.error.c_str());
    QCOMPARE(cupInputsOf(setup, rebuildCup(setup)).error.empty(), refusedBeforeRound1.isEmpty());
    const std::vector<CupTeam> &cupTeams = inputs.inputs->teams;
    std::vector<int> round1;
    for (std::size_t t = 0; t < cupTeams.size(); ++t) {
        if (cupTeams[t].entryRound == 1)
            round1.push_back(static_cast<int>(t));
    }
    DrawRecord drawn{1, 1, {}, drawGroups(cupTeams, round1, 4, 1, drawSeed(42, 1, 1)), {}};
    for (std::size_t g = 0; g < drawn.groups.size(); ++g) {
        const std::vector<int> &group = drawn.groups[g];
        for (std::size_t i = 0; i < group.size(); ++i) {
            for (std::size_t j = i + 1; j < group.size(); ++j) {
                if (cupTeams[static_cast<std::size_t>(group[i])].club ==
                    cupTeams[static_cast<std::size_t>(group[j])].club)
                    drawn.meetings.push_back({static_cast<int>(g + 1), std::min(group[i], group[j]),
                                              std::max(group[i], group[j])});
            }
        }
    }
    std::sort(drawn.meetings.begin(), drawn.meetings.end(), [](const Meeting &a, const Meeting &b) {
        return std::tie(a.group, a.teamA, a.teamB) < std::tie(b.group, b.teamA, b.teamB);
    });
    // Today's rule sees every pair of the group: the file's rows are another rule's.
    QCOMPARE(clubMeetings(cupTeams, drawn.groups).size(), std::size_t{6});
    QVERIFY(drawn.meetings.size() < 6);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "forge");
        db.setDatabaseName(path);
        QVERIFY(db.open() && db.transaction());
        QVERIFY(writeCupRecords(db, {}, CupRecords{{drawn}, {}, {}, {}, 0, {}}));
        QVERIFY(db.commit());
        db.close();
    }
    QSqlDatabase::removeDatabase("forge");

    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY2(opened.ok(), opened.message.c_str());
    CupCreation made = opened.store->cup();
    QVERIFY2(made.ok(), made.error.c_str());
    Cup &cup = *made.cup;
    QCOMPARE(cup.meetings(1), drawn.meetings);
    // Played on: round 2 drawn by today's rule, written and opened again.
    SeededDraw draw(3);
    playRound(cup, 1, draw, false);
    QVERIFY(drawRound(cup, 2).done);
    QCOMPARE(cup.meetings(2), clubMeetings(cupTeams, cup.drawnRound(2)->groups));
    QVERIFY(opened.store->saveRecords(cup.records(), "Tour 2").saved);
    opened.store.reset();
    opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY2(opened.ok(), opened.message.c_str());
    QVERIFY(opened.store->cup().ok());
    const TeamReference named = resolveTeam(cupTeams, "C2");
    QVERIFY(named.team);
    QCOMPARE(cupTeams[static_cast<std::size_t>(*named.team)].name, std::string("C2"));

    // Back before round 1: today's rules say whether the cup is played.
    QVERIFY(cancelRound(cup, 2).done && cancelRound(cup, 1).done);
    QVERIFY(opened.store->saveRecords(cup.records(), "Annulé").saved);
    const CupCreation before = opened.store->cup();
    QCOMPARE(before.ok(), refusedBeforeRound1.isEmpty());
    QVERIFY2(QString::fromStdString(before.error).contains(refusedBeforeRound1),
             before.error.c_str());
}

// Before round 1 the settings follow the window, but a plan that stops before its final is
// never chosen, and the cup its settings make is refused with the plans that work.
void TestCupStoreRules::planChangesBeforeRound1()
{
    QFile sample(QStringLiteral(VELMORIN_SAMPLE_LIST));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const TeamList teams = teamListFromCsv(sample.readAll().toStdString());
    CupSetup setup;
    setup.name = "Coupe";
    setup.list = importedListOf(teams, "exemple-equipes.csv");
    setup.levelRounds = levelRoundsOf(LevelMapping::defaults(teams));
    setup.registered = static_cast<std::int32_t>(teams.teams.size());
    setup.finale = 12;
    setup.entrants1 = 52;
    setup.ratioChoices = {1, 1, 1, 1, 0, 1}; // Tour 4 3/4, quart 1/2, demi 3/4
    setup.classNumber = 3;
    setup.position = 4;
    setup.seed = 7;
    const QString path = m_dir.filePath(QStringLiteral("plans.velmorin"));
    CupOpening opened = CupStore::create(path, setup);
    QVERIFY(opened.ok());
    CupStore &store = *opened.store;
    QVERIFY2(store.cup().ok(), store.cup().error.c_str());

    // The quarter-final at 3/4: 21 teams, in no groups of four.
    QVERIFY(store.setRatioChoice(4, 0).saved);
    QVERIFY(store.setRatioChoice(5, 1).saved);
    QVERIFY(!store.cup().ok()); // class 3 has no solution 4 with these ratios
    const std::string stops = "Le Tour 5 compte 21 équipes : il ne se joue pas en poules de quatre";
    const CupWrite chosen = store.setShownPlan(1, 4);
    QVERIFY(!chosen.saved);
    QVERIFY2(chosen.message.rfind(stops, 0) == 0 &&
                 chosen.message.find("plans possibles : finale à ") != std::string::npos,
             chosen.message.c_str());
    QCOMPARE(store.setup().classNumber, std::optional<int>(3));
    // Back to ratios whose plans reach their final: one is chosen, and the cup is played.
    QVERIFY(store.setRatioChoice(4, 1).saved);
    QVERIFY(store.setRatioChoice(5, 0).saved);
    QVERIFY(store.setShownPlan(3, 4).saved);
    QVERIFY2(store.cup().ok(), store.cup().error.c_str());
    opened.store.reset();
    QCOMPARE(CupStore::open(path, CupStore::Mode::ReadOnly).store->setup().position,
             std::optional<std::int32_t>(4));
}

QTEST_GUILESS_MAIN(TestCupStoreRules)
#include "tst_cupstore_rules.moc"
