// velmorin-calc --coupe F on the cup's day: the roll-call, the lanes, the times, checked by
// reading the cup file back.

#include "CupCalcRun.h"

#include "CupSchedule.h"
#include "CupStore.h"

#include <QtTest>

#include <map>
#include <set>

namespace {

using velmorin::testing::runCup;

const QString kSample = QStringLiteral(VELMORIN_SAMPLE_LIST);

// The day as the file holds it, in a few words: "absent:3 present:1 lanes:/1-24 Annexe/3-4
// start1:samedi 14:00 length:75".
QString dayText(const velmorin::DayRecords &day)
{
    QStringList words;
    for (const velmorin::RollCallRecord &call : day.rollCalls)
        words << QString("%1:%2").arg(call.present ? "present" : "absent").arg(call.round);
    for (const velmorin::LaneRange &range : day.lanes)
        words << QString("lanes:%1/%2-%3")
                     .arg(QString::fromStdString(range.hall))
                     .arg(range.first)
                     .arg(range.last);
    for (std::size_t r = 0; r < day.starts.size(); ++r) {
        if (day.starts[r])
            words << QString("start%1:%2")
                         .arg(r + 1)
                         .arg(QString::fromStdString(velmorin::dayTimeText(*day.starts[r])));
    }
    words << QString("length:%1").arg(day.gameMinutes);
    return words.join(' ');
}

} // namespace

class TestCalcCupDay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commands_data();
    void commands();
    void wholeDay_data();
    void wholeDay();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A new cup of the sample list: 24 teams at round 1, 64 at round 4.
    QString newCup(const QString &name, const QString &seed);
    QTemporaryDir m_dir;
};

QString TestCalcCupDay::newCup(const QString &name, const QString &seed)
{
    const QString cup = path(name);
    QFile::remove(cup);
    const auto made = runCup({"--coupe", cup, "--nouvelle", "Journée", "--equipes", kSample,
                              "--graine", seed, "8", "24", "1", "1"});
    if (made.status != 0)
        qFatal("%s", made.err.c_str());
    return cup;
}

void TestCalcCupDay::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestCalcCupDay::commands_data()
{
    // %1: a team of round 1; %4: a team entering at round 4.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // in the output or the refusal
    QTest::addColumn<QString>("day");  // the file's day afterwards
    const QString none = "length:90";
    QTest::newRow("absent") << QStringList{"--pointage", "1", "%1", "--absente"} << 0
                            << "Tour 1 : 0 présente, 1 absente, 23 à pointer." << "absent:1 " + none;
    QTest::newRow("present") << QStringList{"--pointage", "1", "%1"} << 0
                             << "pointée présente au Tour 1." << "present:1 " + none;
    QTest::newRow("not in round 1") << QStringList{"--pointage", "1", "%4"} << 2
                                    << "ne joue pas le Tour 1." << none;
    QTest::newRow("round 4 before round 3") << QStringList{"--pointage", "4", "%4"} << 0
                                            << "pointée présente au Tour 4." << "present:4 " + none;
    QTest::newRow("no such team") << QStringList{"--pointage", "1", "#999"} << 2
                                  << "n'en désigne aucune" << none;
    QTest::newRow("absent without roll-call") << QStringList{"--tirage", "1", "--absente"} << 2
                                              << "--absente accompagne --pointage" << none;
    QTest::newRow("lanes") << QStringList{"--jeux", "1-24"} << 0 << "Jeux de la salle : 1 à 24."
                           << "lanes:/1-24 " + none;
    QTest::newRow("a hall's lanes") << QStringList{"--jeux", "Annexe", "3 à 4"} << 0
                                    << "Jeux de la salle « Annexe » : 3 à 4."
                                    << "lanes:Annexe/3-4 " + none;
    QTest::newRow("lanes backwards") << QStringList{"--jeux", "8-1"} << 2
                                     << "Les jeux vont du premier au dernier" << none;
    QTest::newRow("a hall without lanes") << QStringList{"--jeux", "Annexe"} << 2
                                          << "Une salle se nomme avant ses jeux" << none;
    QTest::newRow("start") << QStringList{"--horaire", "2", "samedi 14h"} << 0
                           << "Le Tour 2 commence samedi 14:00." << "start2:samedi 14:00 " + none;
    QTest::newRow("no such time") << QStringList{"--horaire", "1", "samedi 25:00"} << 2
                                  << "n'est pas une heure" << none;
    QTest::newRow("no such round") << QStringList{"--horaire", "7", "14:00"} << 2
                                   << "Le tour est un nombre de 1 à 6" << none;
    QTest::newRow("length") << QStringList{"--duree", "1 h 15"} << 0 << "Une partie dure 1 h 15."
                            << "length:75";
    QTest::newRow("length zero") << QStringList{"--duree", "0"} << 2
                                 << "Une partie dure de 1 minute à 24 heures." << none;
}

void TestCalcCupDay::commands()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(QString, day);
    const QString cup = newCup("commande.velmorin", "5");
    const velmorin::CupOpening opened =
        velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly);
    const auto teams = opened.store->cup().cup->teams();
    const auto entering = [&](int round) {
        for (std::size_t t = 0; t < teams.size(); ++t) {
            if (teams[t].entryRound == round)
                return QString("#%1").arg(t + 1);
        }
        return QString();
    };
    for (QString &arg : args)
        arg.replace("%1", entering(1)).replace("%4", entering(4));
    const auto journal = opened.store->journal().size();
    const auto run = runCup(QStringList{"--coupe", cup} + args);
    QCOMPARE(run.status, status);
    const QString text = QString::fromStdString(run.out + run.err);
    QVERIFY2(text.contains(said), qPrintable(text));
    const velmorin::CupOpening after =
        velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly);
    QCOMPARE(dayText(after.store->records().day), day);
    // A refusal changes nothing, a change is one line of the journal.
    QCOMPARE(after.store->journal().size(), journal + (status == 0 ? 1 : 0));
}

void TestCalcCupDay::wholeDay_data()
{
    QTest::addColumn<int>("seeds");
    QTest::addColumn<QString>("lanes");
    QTest::newRow("lanes to spare") << 3 << "1-40";
    QTest::newRow("short of lanes") << 3 << "1-5";
}

// A cup played by the calculator from the roll-call to the final's teams: a fifth of the teams
// absent at random before each draw. Each round's CSV gives every game played a lane and a
// time, no lane two games at once, an absent team's games no lane and their forfeits.
void TestCalcCupDay::wholeDay()
{
    QFETCH(int, seeds);
    QFETCH(QString, lanes);
    for (int seed = 1; seed <= seeds; ++seed) {
        const QString cup = newCup(QString("journee-%1.velmorin").arg(seed), QString::number(seed));
        QCOMPARE(runCup({"--coupe", cup, "--jeux", lanes}).status, 0);
        QCOMPARE(runCup({"--coupe", cup, "--duree", "1h"}).status, 0);
        velmorin::SeededDraw draw(std::uint64_t(seed) * 13);
        for (int round = 1; round <= velmorin::kCupRounds; ++round) {
            const QString r = QString::number(round);
            QCOMPARE(runCup({"--coupe", cup, "--horaire", r, QString("samedi %1:00").arg(7 + round)})
                         .status,
                     0);
            const velmorin::CupOpening opened =
                velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly);
            const velmorin::Cup before = *opened.store->cup().cup;
            std::set<int> absent;
            for (const int team : before.rollCallTeams(round)) {
                const bool away = draw.below(5) == 0;
                QStringList args{"--coupe", cup, "--pointage", r, QString("#%1").arg(team + 1)};
                if (away) {
                    args << "--absente";
                    absent.insert(team);
                }
                const auto marked = runCup(args);
                QVERIFY2(marked.status == 0, marked.err.c_str());
            }
            const auto drawn = runCup({"--coupe", cup, "--tirage", r});
            QVERIFY2(drawn.status == 0, drawn.err.c_str());
            // Played to its end through the calculator: the first team of each pending game.
            for (int pass = 0; pass < 4; ++pass) {
                const velmorin::Cup now = *velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly)
                                               .store->cup()
                                               .cup;
                for (const velmorin::PendingGame &game : now.pendingGames(round)) {
                    QVERIFY(!absent.count(game.teamA) && !absent.count(game.teamB));
                    const auto won = runCup({"--coupe", cup, "--gagnant", r,
                                             QString("#%1").arg(game.teamA + 1), "--score", "13-5"});
                    QVERIFY2(won.status == 0, won.err.c_str());
                }
            }
            // The round's CSV, read back: lanes and times.
            const auto csv = runCup({"--coupe", cup, "--tour", r, "--format", "csv"});
            QCOMPARE(csv.status, 0);
            const QStringList rows = QString::fromStdString(csv.out).split('\n', Qt::SkipEmptyParts);
            QVERIFY(rows.front().endsWith(",forfait,jeu,heure"));
            std::map<QString, std::set<QString>> busy; // lane -> times
            const velmorin::Cup played =
                *velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly).store->cup().cup;
            QVERIFY(played.isComplete(round));
            for (const velmorin::GameSlot &slot : velmorin::roundSchedule(played, round)) {
                const auto sides = played.gameTeams(slot.game);
                const auto result = played.result(slot.game);
                const bool forfeit = result && result->withdrawn;
                QCOMPARE(slot.lane.has_value(), slot.time.has_value());
                if (!slot.lane) {
                    QVERIFY(!sides || forfeit); // no lane: a forfeit, or a barrage not played
                    continue;
                }
                QVERIFY(!sides || (!absent.count(sides->first) && !absent.count(sides->second)));
                const QString lane = QString::fromStdString(velmorin::laneText(*slot.lane));
                const QString time = QString::fromStdString(velmorin::dayTimeText(*slot.time));
                QVERIFY2(busy[lane].insert(time).second, qPrintable(lane + " " + time));
                QVERIFY(time.startsWith("samedi"));
                if (sides && !forfeit)
                    QVERIFY2(rows.join('\n').contains(lane + ',' + time), qPrintable(lane + time));
            }
        }
        const auto board = runCup({"--coupe", cup, "--tableau"});
        QVERIFY2(QString::fromStdString(board.out).contains("Finale : "), board.out.c_str());
        QVERIFY(!QString::fromStdString(board.out).contains("pas encore connue"));
    }
}

QTEST_GUILESS_MAIN(TestCalcCupDay)
#include "tst_calccup_day.moc"
