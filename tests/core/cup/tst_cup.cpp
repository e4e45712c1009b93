#include "tst_cup.h"

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
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B 13-4 => ok|gagne le barrage"}
        << "ACB";
    QTest::newRow("a forfeit loses the barrage too")
        << QStringList{"forfeit 1A => ok|déclare forfait", "win 1C => ok|gagne le barrage"}
        << "BCD";
    QTest::newRow("forfeit after the other first game")
        << QStringList{"win 1C => ok", "forfeit 1B => ok|gagne le barrage"} << "ACD";
    // Withdrawals, at any moment of the group.
    QTest::newRow("withdrawn before its first game")
        << QStringList{"forfeit 1A => ok|gagne la partie 1", "win 1D => ok|gagne le barrage"}
        << "BDC";
    QTest::newRow("withdrawn after losing, before the other first game")
        << QStringList{"win 1B => ok", "forfeit 1A => ok|dès que son adversaire",
                       "win 1C => ok|gagne le barrage"}
        << "BCD";
    QTest::newRow("withdrawn after winning: out of the next round, still through this one")
        << QStringList{"win 1A => ok", "forfeit 1A => ok|dès que son adversaire",
                       "forfeit 1A => refused|déjà déclaré forfait"}
        << "A";
    QTest::newRow("withdrawn once eliminated: nothing changes")
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B => ok",
                       "forfeit 1D => refused|éliminée"}
        << "ACB";
    QTest::newRow("both losers withdrew: the better ranked goes through")
        << QStringList{"forfeit 1A => ok", "forfeit 1C => ok|toutes deux déclaré forfait",
                       "better 1A 1C => ok", "win 1A => refused|n'a pas de partie"}
        << "BDA";
    QTest::newRow("both losers withdrew: the organiser names the other")
        << QStringList{"forfeit 1A => ok", "forfeit 1C => ok", "better 1A 1C => ok",
                       "qualify 1C => ok|à la place de", "qualify 1C => ok|rien ne change"}
        << "BDC";
    QTest::newRow("a qualification needs two withdrawn teams")
        << QStringList{"forfeit 1A => ok", "win 1C => ok",
                       "qualify 1D => refused|aucune partie entre deux équipes forfait"}
        << "BCD";
    QTest::newRow("a first game's winner withdrew after its opponent")
        << QStringList{"forfeit 1A => ok", "forfeit 1B => ok|dès que son adversaire",
                       "win 1C => ok|gagne le barrage"}
        << "BCD";
    QTest::newRow("a first game corrected cancels its barrage")
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B => ok",
                       "correct 1 1 B => ok|Le résultat du barrage de la poule 1 est effacé."}
        << "BC";
    QTest::newRow("a score corrected keeps the barrage")
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B => ok", "correct 1 1 A 13-5 => ok"}
        << "ACB";
    QTest::newRow("a forfeit corrected into a win frees the barrage")
        << QStringList{"forfeit 1A => ok", "win 1C => ok",
                       "correct 1 1 B => ok|Le résultat du barrage de la poule 1 est effacé."}
        << "BC";
    // Corrections: the game the calculator's rule names, a correction that changes nothing.
    QTest::newRow("a barrage score corrected: the team's last game won")
        << QStringList{"win 1A => ok", "win 1C => ok", "win 1B 13-5 => ok",
                       "fix 1B 13-8 => ok|barrage de la poule 1 du Tour 1 contre « "}
        << "ACB";
    QTest::newRow("a team that won nothing: its last game")
        << QStringList{"win 1A => ok", "fix 1B 13-2 => ok|gagne la partie 1"} << "B";
    QTest::newRow("a correction that changes nothing")
        << QStringList{"win 1A 13-4 => ok", "correct 1 1 A 13-4 => ok|rien ne change"} << "A";
    QTest::newRow("a forfeit corrected into a played game takes the withdrawal back")
        << QStringList{"win 1B => ok", "win 1C => ok", "forfeit 1A => ok|gagne le barrage",
                       "barrage 1D => ok|Le forfait de « ", "barrage 1A => ok|corrigé"}
        << "BCA";
    QTest::newRow("a correction into a forfeit decides the barrage")
        << QStringList{"win 1A => ok", "win 1C => ok", "correct 1 1 A forfait => ok|barrage"}
        << "ACD";
    QTest::newRow("a barrage a forfeit decided stays")
        << QStringList{"forfeit 1A => ok", "win 1C => ok", "barrage 1A => refused|ne gagne pas"}
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
    QVERIFY(drawRound(scenario.cup(), 1).done);
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
            QVERIFY(drawRound(cup, round).done);
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
        QVERIFY(!chooseExempted(cup, {playing.front(), playing.front()}).done || exempted == 1);
        QVERIFY(!chooseExempted(cup, {static_cast<int>(cup.teams().size())}).done);
        QVERIFY(chooseExempted(cup, chosen).done);
        QVERIFY(drawRound(cup, 4).done);
        QCOMPARE(cup.exemptedTeams(), chosen);
        QVERIFY(!chooseExempted(cup, chosen).done);
        playRound(cup, 4, draw, true);
        for (const int team : chosen) {
            QVERIFY(!recordWinner(cup, 4, team).done);
            QVERIFY(cup.qualified(4).end() !=
                    std::find(cup.qualified(4).begin(), cup.qualified(4).end(), team));
        }
        const std::string problem = cupProblem(cup);
        QVERIFY2(problem.empty(), problem.c_str());
        // A cancelled round 4 keeps the choice for the next draw.
        QVERIFY(cancelRound(cup, 4).done);
        QCOMPARE(cup.exemptedTeams(), chosen);
        return;
    }
    QFAIL("no plan found");
}
