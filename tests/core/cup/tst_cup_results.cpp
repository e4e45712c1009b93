#include "tst_cup.h"

void TestCup::refusedInputs_data()
{
    QTest::addColumn<int>("damage");
    QTest::addColumn<QString>("phrase");

    QTest::newRow("two teams of one name")
        << 0 << "« Équipe n° 1 » (n° 1) et « Équipe n° 1 » (n° 6)";
    QTest::newRow("two names of one key") << 7 << "« Équipe n° 1 » (n° 1) et « EQUIPE N-1 » (n° 6)";
    QTest::newRow("a round 5 in no games of two") << 8 << "compte 13 équipes : il ne se joue pas";
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
    case 6:
        layout.sizes[4] = -2;
        break;
    case 7:
        teams[5].name = "EQUIPE N-1";
        break;
    default:
        layout.sizes[4] = 13;
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
    // 26 teams at round 4 leave 13 for the quarter-final, which has no games of two: such a
    // cup is no longer made, but one drawn before is still opened and played up to there.
    const std::array<Count, kEntryRounds> entrants{16, 4, 4, 14};
    CupLayout layout;
    layout.sizes = {16, 16, 16, 26, 13, 6};
    SeededDraw draw(5);
    const std::vector<CupTeam> teams = inventedTeams(entrants, 3, draw);
    const CupCreation refused = Cup::create(teams, layout, 5);
    QCOMPARE(refused.error, std::string("Le Tour 5 compte 13 équipes : il ne se joue pas en "
                                        "parties de deux et la coupe n'irait pas jusqu'à sa "
                                        "finale."));
    QVERIFY(!Cup::restore(teams, layout, 5, {}).ok());

    std::vector<int> round1;
    for (std::size_t t = 0; t < teams.size(); ++t) {
        if (teams[t].entryRound == 1)
            round1.push_back(static_cast<int>(t));
    }
    DrawRecord first{1, 1, {}, drawGroups(teams, round1, 4, 1, drawSeed(5, 1, 1)), {}};
    first.meetings = clubMeetings(teams, first.groups);
    CupCreation made = Cup::restore(teams, layout, 5, CupRecords{{first}, {}, {}, {}, 0, {}});
    QVERIFY2(made.ok(), made.error.c_str());
    playRound(*made.cup, 1, draw, false);
    for (int round = 2; round <= 4; ++round) {
        QVERIFY(drawRound(*made.cup, round).done);
        playRound(*made.cup, round, draw, false);
    }
    const CupAnswer stopped = drawRound(*made.cup, 5);
    QVERIFY(!stopped.done);
    QCOMPARE(stopped.text, std::string("Le Tour 5 compte 13 équipes : il ne se joue pas en "
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
            const CupAnswer drawn = drawRound(*cup, round);
            QVERIFY2(drawn.done, drawn.text.c_str());
            // The same cup draws the same round again; a redraw differs.
            Cup again = *cup;
            QVERIFY(cancelRound(again, round).done && drawRound(again, round).done);
            QCOMPARE(again.version(), cup->version() + 2);
            CupRecords drawnAgain = again.records();
            drawnAgain.version = cup->version();
            QVERIFY(drawnAgain == cup->records());
            if (cup->drawnRound(round)->groups.size() >= 4) {
                QVERIFY(redrawRound(again, round).done);
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
        QVERIFY(drawRound(cup, round).done);
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

void TestCup::commands_data()
{
    QTest::addColumn<int>("teams");
    QTest::addColumn<int>("clubs");
    QTest::addColumn<int>("ratios"); // bit k: round 4 + k in groups of four
    QTest::addColumn<int>("exempted");
    QTest::addColumn<int>("seeds");

    QTest::newRow("24 teams") << 24 << 3 << 0 << 0 << 60;
    QTest::newRow("40 teams, 1 exempted") << 40 << 4 << 0 << 1 << 40;
    QTest::newRow("64 teams, 3/4 round 4, 2 exempted") << 64 << 6 << 1 << 2 << 30;
    QTest::newRow("96 teams, all 3/4") << 96 << 0 << 7 << 0 << 20;
}

// Whole cups driven by random commands, the rules checked after every one: a refusal or a
// command that changes nothing leaves the records and the version as they were, any other
// counts one change, and the records always restore to the same cup.
void TestCup::commands()
{
    QFETCH(int, teams);
    QFETCH(int, clubs);
    QFETCH(int, ratios);
    QFETCH(int, exempted);
    QFETCH(int, seeds);
    const std::array<Ratio, 3> cupRatios{ratioFromIndex(ratios & 1), ratioFromIndex(ratios & 2),
                                         ratioFromIndex(ratios & 4)};
    int finals = 0;
    int withdrawals = 0;
    int doubles = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        Cup cup = inventedCup(teams, std::size_t(clubs), cupRatios, exempted, std::uint64_t(seed));
        SeededDraw draw(std::uint64_t(seed) * 31);
        for (int step = 0; step < 2000 && cup.finalTeams().empty(); ++step) {
            const CupCommand command = randomCommand(cup, draw);
            const CupRecords before = cup.records();
            const CupAnswer answer = cup.apply(command);
            QVERIFY2(!answer.text.empty(), "an answer without its sentence");
            if (!answer.changed) {
                QVERIFY2(cup.records() == before, answer.text.c_str());
            } else {
                QVERIFY2(answer.done, answer.text.c_str());
                QCOMPARE(cup.version(), before.version + 1);
            }
            withdrawals += answer.done && std::holds_alternative<WithdrawalCommand>(command.action);
            doubles += answer.text.find("toutes deux") != std::string::npos;
            const std::string problem = cupProblem(cup);
            QVERIFY2(problem.empty(), (problem + " after: " + answer.text).c_str());
        }
        finals += !cup.finalTeams().empty();
    }
    // The table reaches what it is for: finals, withdrawals, games of two withdrawn teams.
    QVERIFY(finals > seeds / 2);
    QVERIFY(withdrawals > seeds);
    QVERIFY(doubles > 0);
}
