#include "Cup.h"
#include "CupDraw.h"
#include "CupSimulation.h"
#include "TeamCsv.h"

#include <QtTest>

#include <fstream>
#include <sstream>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

constexpr std::array<Ratio, 3> kHalves{Ratio::Half, Ratio::Half, Ratio::Half};

// The fewest pairs of one club that groups can hold: the club spread evenly.
long long fewestMeetings(long long teams, long long groups)
{
    const long long each = teams / groups;
    const long long more = teams % groups;
    return more * (each + 1) * each / 2 + (groups - more) * each * (each - 1) / 2;
}

// Runs the steps of a scenario on round 1 of a small cup, by places: "1A" is group 1's place A.
class Scenario
{
public:
    Scenario() : m_cup(inventedCup(40, 0, kHalves, 0, 7)) {}

    Cup &cup() { return m_cup; }

    int place(const QString &at) const
    {
        const DrawRecord &drawn = *m_cup.drawnRound(1);
        return drawn.groups[static_cast<std::size_t>(at.left(at.size() - 1).toInt() - 1)]
                           [static_cast<std::size_t>(at.back().toLatin1() - 'A')];
    }

    static std::optional<Score> score(const QStringList &words, int at)
    {
        if (words.size() <= at || !words[at].contains('-'))
            return std::nullopt;
        const QStringList parts = words[at].split('-');
        return Score{parts[0].toInt(), parts[1].toInt()};
    }

    CupAnswer run(const QString &step)
    {
        const QStringList words = step.split(' ');
        const QString &op = words[0];
        const int round = 1; // the scenarios play round 1
        if (op == "draw")
            return m_cup.draw(words[1].toInt());
        if (op == "redraw")
            return m_cup.redraw(words[1].toInt());
        if (op == "cancel")
            return m_cup.cancelDraw(words[1].toInt());
        if (op == "inputs")
            return m_cup.changeInputs(m_cup.teams(), m_cup.layout(), m_cup.seed() + 1);
        if (op == "playall") {
            playRound(m_cup, round, m_draw, false);
            return CupAnswer::ok();
        }
        if (op == "win")
            return m_cup.recordWinner(round, place(words[1]), score(words, 2));
        if (op == "forfeit")
            return m_cup.forfeit(round, place(words[1]));
        if (op == "correct") {
            const GameRef ref{round, words[1].toInt(), words[2].toInt()};
            return m_cup.correct(ref, place(words[1] + words[3]), score(words, 4),
                                 words.size() > 4 && words[4] == "forfait");
        }
        if (op == "barrage") // the barrage of group 1 won by the team at a place
            return m_cup.correct({round, 1, kBarrage}, place(words[1]), std::nullopt);
        qFatal("unknown step %s", qPrintable(step));
    }

    // Group 1's teams that went through, as places.
    QString group1Through() const
    {
        const DrawRecord &drawn = *m_cup.drawnRound(1);
        QString places;
        for (const int team : m_cup.qualified(1)) {
            const auto &group = drawn.groups[0];
            const auto at = std::find(group.begin(), group.end(), team);
            if (at != group.end())
                places += QChar('A' + static_cast<int>(at - group.begin()));
        }
        return places;
    }

private:
    Cup m_cup;
    SeededDraw m_draw{99};
};

} // namespace

class TestCup : public QObject
{
    Q_OBJECT

private slots:
    void drawConstraints_data();
    void drawConstraints();
    void results_data();
    void results();
    void exempted_data();
    void exempted();
    void refusedInputs_data();
    void refusedInputs();
    void roundNotSplitting();
    void simulation_data();
    void simulation();
    void damagedRecords_data();
    void damagedRecords();
};

void TestCup::drawConstraints_data()
{
    QTest::addColumn<int>("groupSize");
    QTest::addColumn<QList<int>>("clubs");  // teams per club; 0: a team without a club
    QTest::addColumn<int>("entrantEvery");  // one team in n enters at the round drawn
    QTest::addColumn<bool>("entrantsEven"); // max - min <= 1 always reachable

    QTest::newRow("no clubs, games of two") << 2 << QList<int>(40, 0) << 3 << true;
    QTest::newRow("one club larger than the groups")
        << 4 << (QList<int>{20} + QList<int>(12, 0)) << 3 << false;
    QTest::newRow("sixteen clubs of four") << 4 << QList<int>(16, 4) << 2 << false;
    QTest::newRow("one club holds everyone") << 4 << QList<int>{16} << 2 << true;
    QTest::newRow("two clubs as large as the games") << 2 << QList<int>{12, 12} << 4 << false;
    QTest::newRow("2 000 clubs, 10 000 teams") << 2 << QList<int>(2000, 5) << 3 << false;
    QTest::newRow("uneven clubs") << 4 << QList<int>{9, 7, 5, 3, 3, 2, 2, 1, 0, 0,
                                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0}
                                  << 5 << false;
}

void TestCup::drawConstraints()
{
    QFETCH(int, groupSize);
    QFETCH(QList<int>, clubs);
    QFETCH(int, entrantEvery);
    QFETCH(bool, entrantsEven);

    std::vector<CupTeam> teams;
    for (int c = 0; c < clubs.size(); ++c) {
        for (int k = 0; k < std::max(clubs[c], 1); ++k) {
            const bool entering = teams.size() % static_cast<std::size_t>(entrantEvery) == 0;
            teams.push_back({"T" + std::to_string(teams.size()),
                             clubs[c] ? "C" + std::to_string(c) : "", entering ? 2 : 1, 0});
        }
    }
    std::vector<int> players(teams.size());
    std::iota(players.begin(), players.end(), 0);
    const long long groups = static_cast<long long>(teams.size()) / groupSize;
    long long fewest = 0;
    for (const int size : clubs)
        fewest += fewestMeetings(size, groups);

    const int seeds = teams.size() > 1000 ? 3 : 60;
    for (int seed = 0; seed < seeds; ++seed) {
        const auto drawn = drawGroups(teams, players, groupSize, 2, seed);
        QCOMPARE(static_cast<long long>(drawn.size()), groups);
        std::vector<int> seen;
        std::vector<int> entering;
        for (const auto &group : drawn) {
            QCOMPARE(static_cast<int>(group.size()), groupSize);
            seen.insert(seen.end(), group.begin(), group.end());
            entering.push_back(static_cast<int>(std::count_if(
                group.begin(), group.end(), [&](int t) { return teams[t].entryRound == 2; })));
        }
        std::sort(seen.begin(), seen.end());
        QCOMPARE(seen, players);
        // Even spread of every club is the fewest meetings there can be.
        QCOMPARE(static_cast<long long>(clubMeetings(teams, drawn).size()), fewest);
        const int spread = *std::max_element(entering.begin(), entering.end()) -
                           *std::min_element(entering.begin(), entering.end());
        QVERIFY2(spread <= (entrantsEven ? 1 : 2), qPrintable(QString::number(spread)));
        QCOMPARE(drawGroups(teams, players, groupSize, 2, seed), drawn);
        if (groups >= 4)
            QVERIFY(drawGroups(teams, players, groupSize, 2, seed + 1000) != drawn);
    }
}

void TestCup::results_data()
{
    QTest::addColumn<QStringList>("steps"); // "step => ok" or "step => refused", then a phrase
    QTest::addColumn<QString>("through");   // group 1's teams through round 1, as places

    QTest::newRow("barrage of the first games' losers")
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B 13-4 => ok|gagne contre"} << "ACB";
    QTest::newRow("a forfeit loses the barrage too")
        << QStringList{"forfeit 1A => ok|déclare forfait", "win 1C => ok|gagne le barrage"}
        << "BCD";
    QTest::newRow("forfeit after the other first game")
        << QStringList{"win 1C => ok", "forfeit 1B => ok|gagne le barrage"} << "ACD";
    QTest::newRow("both losers withdrew: the barrage is played")
        << QStringList{"forfeit 1A => ok", "forfeit 1C => ok", "win 1A => ok"} << "BDA";
    QTest::newRow("a first game corrected cancels its barrage")
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B => ok",
                       "correct 1 1 B => ok|Le barrage de la poule 1 est annulé."}
        << "BC";
    QTest::newRow("a score corrected keeps the barrage")
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B => ok", "correct 1 1 A 13-5 => ok"}
        << "ACB";
    QTest::newRow("a forfeit corrected into a win frees the barrage")
        << QStringList{"forfeit 1A => ok", "win 1C => ok", "correct 1 1 B => ok|annulé"} << "BC";
    QTest::newRow("a correction into a forfeit decides the barrage")
        << QStringList{"win 1A => ok", "win 1C => ok", "correct 1 1 A forfait => ok|barrage"}
        << "ACD";
    QTest::newRow("a barrage a forfeit decided stays")
        << QStringList{"forfeit 1A => ok", "win 1C => ok", "barrage 1A => refused|suit le forfait"}
        << "BCD";
    QTest::newRow("no pending game")
        << QStringList{"win 1A => ok", "win 1A => refused|n'a pas de partie"} << "A";
    QTest::newRow("a score the wrong way round")
        << QStringList{"win 1A 5-13 => refused|points du gagnant", "win 1A 13-13 => refused",
                       "win 1A 1000-3 => refused"}
        << "";
    QTest::newRow("nothing to correct")
        << QStringList{"correct 1 1 A => refused|pas de résultat"} << "";
    QTest::newRow("correction once the next round is drawn")
        << QStringList{"playall => ok", "draw 2 => ok", "correct 1 1 A => refused|ne changent plus"}
        << "-";
    QTest::newRow("a cancelled draw says what it discards")
        << QStringList{"win 1A => ok", "win 1C => ok", "cancel 1 => ok|2 résultats sont effacés.",
                       "draw 1 => ok"}
        << "";
    QTest::newRow("only the last round is cancelled")
        << QStringList{"playall => ok", "draw 2 => ok", "cancel 1 => refused|Seul le dernier"}
        << "-";
    QTest::newRow("no redraw once played")
        << QStringList{"win 1A => ok", "redraw 1 => refused|annulez", "cancel 1 => ok",
                       "draw 1 => ok", "redraw 1 => ok|tirage n° 2"}
        << "";
    QTest::newRow("no draw before the round before ends")
        << QStringList{"win 1A => ok", "draw 2 => refused|n'est pas terminé", "draw 3 => refused",
                       "draw 1 => refused|déjà tiré", "draw 7 => refused"}
        << "A";
    QTest::newRow("frozen until round 1's draw is cancelled")
        << QStringList{"inputs => refused|ne changent plus", "cancel 1 => ok", "inputs => ok",
                       "draw 1 => ok"}
        << "";
}

void TestCup::results()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, through);

    Scenario scenario;
    QVERIFY(!scenario.cup().isFrozen());
    QVERIFY(scenario.cup().draw(1).done);
    QVERIFY(scenario.cup().isFrozen());
    for (const QString &step : steps) {
        const QStringList parts = step.split(" => ");
        const CupRecords before = scenario.cup().records();
        const CupAnswer answer = scenario.run(parts[0]);
        const QStringList expected = parts[1].split('|');
        QVERIFY2(answer.done == (expected[0] == "ok"),
                 qPrintable(step + ": " + QString::fromStdString(answer.text)));
        if (expected.size() > 1)
            QVERIFY2(QString::fromStdString(answer.text).contains(expected[1]),
                     qPrintable(QString::fromStdString(answer.text)));
        if (!answer.done) // a refusal changes nothing
            QVERIFY(scenario.cup().records() == before);
        const std::string problem = cupProblem(scenario.cup());
        QVERIFY2(problem.empty(), problem.c_str());
    }
    if (through != "-")
        QCOMPARE(scenario.group1Through(), through);
}

void TestCup::exempted_data()
{
    QTest::addColumn<int>("exempted");
    QTest::addColumn<int>("entering4");

    for (const int exempted : {1, 2}) {
        for (const int entering : {0, 1, 2, 7}) {
            QTest::addRow("%d exempted, %d entering at round 4", exempted, entering)
                << exempted << entering;
        }
    }
}

void TestCup::exempted()
{
    QFETCH(int, exempted);
    QFETCH(int, entering4);

    // Round 3 of 16 lets 12 through; round 4 then plays in games of two.
    for (Count e4 = entering4; e4 < entering4 + 8; ++e4) {
        const std::array<Count, kEntryRounds> entrants{16, 4, 4, e4};
        const auto layout = layoutFor(entrants, kHalves, exempted);
        if (!layout)
            continue;
        SeededDraw draw(static_cast<std::uint64_t>(e4));
        CupCreation made = Cup::create(inventedTeams(entrants, 5, draw), *layout, 3);
        QVERIFY(made.ok());
        Cup &cup = *made.cup;
        for (int round = 1; round <= 3; ++round) {
            QVERIFY(cup.exemptedTeams().empty());
            QVERIFY(cup.draw(round).done);
            playRound(cup, round, draw, true);
        }
        // The strongest entrants at round 4, then the strongest teams through round 3.
        std::vector<int> candidates;
        for (int t = 0; t < static_cast<int>(cup.teams().size()); ++t) {
            if (cup.teams()[t].entryRound == 4)
                candidates.push_back(t);
        }
        std::vector<int> through = cup.qualified(3);
        const auto stronger = [&](int a, int b) {
            return cup.teams()[a].strength < cup.teams()[b].strength;
        };
        std::sort(candidates.begin(), candidates.end(), stronger);
        std::sort(through.begin(), through.end(), stronger);
        candidates.insert(candidates.end(), through.begin(), through.end());
        candidates.resize(static_cast<std::size_t>(exempted));
        QCOMPARE(cup.exemptedTeams(), candidates);

        // The organiser's choice: the weakest of round 4.
        std::vector<int> playing = cup.participants(4);
        std::sort(playing.begin(), playing.end(), stronger);
        const std::vector<int> chosen(playing.end() - exempted, playing.end());
        QVERIFY(!cup.setExempted({playing.front(), playing.front()}).done || exempted == 1);
        QVERIFY(!cup.setExempted({static_cast<int>(cup.teams().size())}).done);
        QVERIFY(cup.setExempted(chosen).done);
        QVERIFY(cup.draw(4).done);
        QCOMPARE(cup.exemptedTeams(), chosen);
        QVERIFY(!cup.setExempted(chosen).done);
        playRound(cup, 4, draw, true);
        for (const int team : chosen) {
            QVERIFY(!cup.recordWinner(4, team).done);
            QVERIFY(cup.qualified(4).end() !=
                    std::find(cup.qualified(4).begin(), cup.qualified(4).end(), team));
        }
        const std::string problem = cupProblem(cup);
        QVERIFY2(problem.empty(), problem.c_str());
        // A cancelled round 4 keeps the choice for the next draw.
        QVERIFY(cup.cancelDraw(4).done);
        QCOMPARE(cup.exemptedTeams(), chosen);
        return;
    }
    QFAIL("no plan found");
}

void TestCup::refusedInputs_data()
{
    QTest::addColumn<int>("damage");
    QTest::addColumn<QString>("phrase");

    QTest::newRow("two teams of one name") << 0 << "portent le même nom, « Équipe n° 1 »";
    QTest::newRow("a team without a name") << 1 << "n'a pas de nom";
    QTest::newRow("an entry round 5") << 2 << "n'entre à aucun des tours 1 à 4";
    QTest::newRow("three exempted") << 3 << "exempte 0, 1 ou 2 équipes";
    QTest::newRow("round 1 larger than its entrants") << 4 << "au Tour 1";
    QTest::newRow("round 3 smaller than the list gives") << 5 << "au Tour 3 ; la liste en donne";
    QTest::newRow("a negative size") << 6 << "impossible";
}

void TestCup::refusedInputs()
{
    QFETCH(int, damage);
    QFETCH(QString, phrase);

    const Cup cup = inventedCup(60, 4, kHalves, 1, 11);
    std::vector<CupTeam> teams = cup.teams();
    CupLayout layout = cup.layout();
    switch (damage) {
    case 0:
        teams[5].name = teams[0].name;
        break;
    case 1:
        teams[3].name.clear();
        break;
    case 2:
        teams[2].entryRound = 5;
        break;
    case 3:
        layout.exempted = 3;
        break;
    case 4:
        layout.sizes[0] += 4;
        break;
    case 5:
        layout.sizes[2] -= 4;
        break;
    default:
        layout.sizes[4] = -2;
    }
    const CupCreation made = Cup::create(teams, layout, 1);
    QVERIFY(!made.ok());
    QVERIFY2(QString::fromStdString(made.error).contains(phrase), made.error.c_str());
    Cup changed = cup;
    QVERIFY(!changed.changeInputs(teams, layout, 1).done);
    QVERIFY(changed.records() == cup.records() && changed.teams().size() == cup.teams().size());
}

void TestCup::roundNotSplitting()
{
    // 26 teams at round 4 leave 13 for the quarter-final, which has no games of two.
    const std::array<Count, kEntryRounds> entrants{16, 4, 4, 14};
    CupLayout layout;
    layout.sizes = {16, 16, 16, 26, 13, 6};
    SeededDraw draw(5);
    CupCreation made = Cup::create(inventedTeams(entrants, 3, draw), layout, 5);
    QVERIFY2(made.ok(), made.error.c_str());
    for (int round = 1; round <= 4; ++round) {
        QVERIFY(made.cup->draw(round).done);
        playRound(*made.cup, round, draw, false);
    }
    const CupAnswer refused = made.cup->draw(5);
    QVERIFY(!refused.done);
    QCOMPARE(refused.text, std::string("Le Tour 5 compte 13 équipes : il ne se joue pas en "
                                       "parties de deux."));
    QCOMPARE(made.cup->drawnRounds(), 4);
}

void TestCup::simulation_data()
{
    QTest::addColumn<int>("teams"); // 0: the sample list of the documentation
    QTest::addColumn<int>("clubs");
    QTest::addColumn<QList<int>>("ratios"); // rounds 4, 5, 6: 0 for 1/2, 1 for 3/4
    QTest::addColumn<int>("exempted");
    QTest::addColumn<int>("seeds");

    QTest::newRow("sample list") << 0 << 0 << QList<int>{0, 0, 0} << 0 << 15;
    QTest::newRow("sample list, 1 exempted") << 0 << 0 << QList<int>{0, 0, 0} << 1 << 15;
    QTest::newRow("60 teams, no clubs") << 60 << 0 << QList<int>{0, 0, 0} << 2 << 20;
    QTest::newRow("120 teams, 6 clubs, 3/4 round 4") << 120 << 6 << QList<int>{1, 0, 0} << 0 << 20;
    QTest::newRow("300 teams, 40 clubs, all 3/4") << 300 << 40 << QList<int>{1, 1, 1} << 1 << 10;
    QTest::newRow("1 000 teams, 150 clubs") << 1000 << 150 << QList<int>{0, 1, 0} << 2 << 3;
}

void TestCup::simulation()
{
    QFETCH(int, teams);
    QFETCH(int, clubs);
    QFETCH(QList<int>, ratios);
    QFETCH(int, exempted);
    QFETCH(int, seeds);

    const std::array<Ratio, 3> cupRatios{ratioFromIndex(ratios[0]), ratioFromIndex(ratios[1]),
                                         ratioFromIndex(ratios[2])};
    for (int seed = 1; seed <= seeds; ++seed) {
        SeededDraw draw(static_cast<std::uint64_t>(seed));
        std::optional<Cup> cup;
        if (teams == 0) {
            std::ifstream file(VELMORIN_SAMPLE_LIST, std::ios::binary);
            std::stringstream bytes;
            bytes << file.rdbuf();
            const TeamList list = *readTeamListCsv(bytes.str(), "exemple-equipes.csv").list;
            const auto entrants =
                entrantsFor(static_cast<Count>(list.teams.size()), cupRatios, exempted, draw);
            QVERIFY(entrants);
            const AssignmentResult assigned =
                assignTeams(list, LevelMapping::defaults(list), *entrants, seed);
            QVERIFY(assigned.ok());
            CupCreation made = Cup::create(cupTeams(list, *assigned.assignment),
                                           *layoutFor(*entrants, cupRatios, exempted), seed);
            QVERIFY2(made.ok(), made.error.c_str());
            cup = std::move(made.cup);
        } else {
            cup = inventedCup(teams, static_cast<std::size_t>(clubs), cupRatios, exempted, seed);
        }
        for (int round = 1; round <= kCupRounds; ++round) {
            const CupAnswer drawn = cup->draw(round);
            QVERIFY2(drawn.done, drawn.text.c_str());
            // The same cup draws the same round again; a redraw differs.
            Cup again = *cup;
            QVERIFY(again.cancelDraw(round).done && again.draw(round).done);
            QVERIFY(again.records() == cup->records());
            if (cup->drawnRound(round)->groups.size() >= 4) {
                QVERIFY(again.redraw(round).done);
                QVERIFY(again.drawnRound(round)->groups != cup->drawnRound(round)->groups);
            }
            playRound(*cup, round, draw, true);
            QVERIFY(cup->isComplete(round));
            const std::string problem = cupProblem(*cup);
            QVERIFY2(problem.empty(), problem.c_str());
        }
        const CupLayout &layout = cup->layout();
        const Count semi = layout.sizes[5];
        QCOMPARE(static_cast<Count>(cup->finalTeams().size()),
                 layout.groupSize(6) == 4 ? semi / 4 * 3 : semi / 2);
    }
}

void TestCup::damagedRecords_data()
{
    QTest::addColumn<int>("damage");

    const char *names[] = {"a team index out of the list",
                           "a team twice in a group",
                           "a group one short",
                           "a winner who did not play",
                           "a result of a round not drawn",
                           "the rounds out of order",
                           "a meeting left out",
                           "a draw numbered 0",
                           "a score the wrong way round",
                           "a forfeit of the winner",
                           "a result given twice",
                           "a barrage before its games",
                           "an exempted choice already drawn",
                           "one score without the other"};
    for (int damage = 0; damage < static_cast<int>(std::size(names)); ++damage)
        QTest::newRow(names[damage]) << damage;
}

void TestCup::damagedRecords()
{
    QFETCH(int, damage);

    Cup cup = inventedCup(200, 3, kHalves, 2, 21);
    SeededDraw draw(21);
    for (int round = 1; round <= 4; ++round) {
        QVERIFY(cup.draw(round).done);
        playRound(cup, round, draw, true);
    }
    CupRecords records = cup.records();
    QVERIFY(!records.draws[0].meetings.empty());
    ResultRecord &first = records.results.front();
    switch (damage) {
    case 0:
        records.draws[1].groups[0][0] = 100000;
        break;
    case 1:
        records.draws[0].groups[0][1] = records.draws[0].groups[0][0];
        break;
    case 2:
        records.draws[2].groups[1].pop_back();
        break;
    case 3:
        first.winner = records.draws[0].groups[0][2];
        break;
    case 4:
        records.results.push_back({5, 1, 1, 0, {}, {}, {}});
        break;
    case 5:
        std::swap(records.draws[0], records.draws[1]);
        break;
    case 6:
        records.draws[0].meetings.pop_back();
        break;
    case 7:
        records.draws[0].attempt = 0;
        break;
    case 8:
        first.winnerScore = 3;
        first.loserScore = 13;
        break;
    case 9:
        first.withdrawn = first.winner;
        break;
    case 10:
        records.results.push_back(first);
        break;
    case 11:
        records.results.erase(records.results.begin() + 1); // group 1's second game
        break;
    case 12:
        records.chosenExempted = records.draws[3].exempted;
        break;
    default:
        first.winnerScore = 13;
        first.loserScore.reset();
    }
    const CupCreation restored = Cup::restore(cup.teams(), cup.layout(), cup.seed(), records);
    QVERIFY(!restored.ok());
    QVERIFY2(restored.error.rfind("La coupe enregistrée est refusée : ", 0) == 0,
             restored.error.c_str());
}

QTEST_APPLESS_MAIN(TestCup)
#include "tst_cup.moc"
