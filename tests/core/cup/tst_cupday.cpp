#include "CupSchedule.h"
#include "CupSimulation.h"

#include <QtTest>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

// Marks about one team in `oneIn` of the round's roll-call absent, the others present.
int callRoll(Cup &cup, int round, SeededDraw &draw, std::uint64_t oneIn)
{
    int absent = 0;
    for (const int team : cup.rollCallTeams(round)) {
        const bool present = draw.below(oneIn) != 0;
        const CupAnswer answer = cup.apply(RollCallCommand{round, team, present});
        if (!answer.done)
            qFatal("%s", answer.text.c_str());
        absent += !present;
    }
    return absent;
}

// The first rule the games of an absent team break in a drawn round, or nothing: each of its
// games is decided as soon as its teams are known, by forfeit, without a score, unless a
// correction took its forfeit back.
std::string absenceProblem(const Cup &cup, int round)
{
    const DrawRecord &drawn = *cup.drawnRound(round);
    for (int group = 1; group <= static_cast<int>(drawn.groups.size()); ++group) {
        for (int game = 1; game <= cup.layout().gamesPerGroup(round); ++game) {
            const auto sides = cup.gameTeams({round, group, game});
            // A team that came late had its forfeit taken back by a correction.
            const auto missing = [&](int team) {
                return cup.isAbsent(round, team) && cup.isWithdrawn(team, round);
            };
            if (!sides || !(missing(sides->first) || missing(sides->second)))
                continue;
            const auto result = cup.result({round, group, game});
            if (!result)
                return "an absent team's game left open";
            if (result->winnerScore || !result->withdrawn)
                return "an absent team's game played";
            const int loser = result->winner == sides->first ? sides->second : sides->first;
            if (missing(result->winner) && !cup.isWithdrawn(loser, round))
                return "an absent team won against a present one";
        }
    }
    return {};
}

QString placements(const std::vector<std::array<std::optional<Placement>, 3>> &placed)
{
    QStringList groups;
    for (const auto &games : placed) {
        QStringList texts;
        for (const auto &game : games)
            texts << (game ? QString("%1@%2").arg(game->lane + 1).arg(game->offset) : "-");
        groups << texts.join(' ');
    }
    return groups.join(" | ");
}

} // namespace

class TestCupDay : public QObject
{
    Q_OBJECT

private slots:
    void absentTeamsForfeit_data();
    void absentTeamsForfeit();
    void rollCallRefusals_data();
    void rollCallRefusals();
    void absenteesAcrossRedrawAndCancel();
    void placeGamesExamples_data();
    void placeGamesExamples();
    void placeGamesRules_data();
    void placeGamesRules();
    void cupSchedule();
    void movedGames_data();
    void movedGames();
    void readDayTimes_data();
    void readDayTimes();
    void readDurations_data();
    void readDurations();
    void readLaneRanges_data();
    void readLaneRanges();
};

void TestCupDay::absentTeamsForfeit_data()
{
    QTest::addColumn<int>("teams");
    QTest::addColumn<int>("ratios"); // bit k: round 4 + k lets three quarters through
    QTest::addColumn<int>("exempted");
    QTest::addColumn<int>("oneIn"); // one team absent in so many
    QTest::addColumn<int>("seeds");
    QTest::newRow("small, halves") << 40 << 0 << 0 << 4 << 30;
    QTest::newRow("exempted, quarters") << 300 << 7 << 1 << 6 << 8;
    QTest::newRow("many absent") << 120 << 1 << 0 << 2 << 20;
    QTest::newRow("exempted, halves") << 60 << 0 << 2 << 5 << 30;
    QTest::newRow("large") << 1000 << 2 << 2 << 10 << 2;
}

// Whole cups: a roll-call before every draw, then random play. The round keeps the plan's
// size, an absent team's games are forfeits at once, and the cup reads back as it was.
void TestCupDay::absentTeamsForfeit()
{
    QFETCH(int, teams);
    QFETCH(int, ratios);
    QFETCH(int, exempted);
    QFETCH(int, oneIn);
    QFETCH(int, seeds);
    const std::array<Ratio, 3> cupRatios{ratioFromIndex(ratios & 1), ratioFromIndex(ratios & 2),
                                         ratioFromIndex(ratios & 4)};
    int absences = 0;
    int finals = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        Cup cup = inventedCup(teams, 5, cupRatios, exempted, std::uint64_t(seed));
        SeededDraw draw(std::uint64_t(seed) * 17 + 3);
        for (int round = 1; round <= kCupRounds; ++round) {
            absences += callRoll(cup, round, draw, std::uint64_t(oneIn));
            const CupAnswer drawn = drawRound(cup, round);
            QVERIFY2(drawn.done, drawn.text.c_str());
            std::string problem = cupProblem(cup);
            QVERIFY2(problem.empty(), problem.c_str());
            problem = absenceProblem(cup, round);
            QVERIFY2(problem.empty(), problem.c_str());
            playRound(cup, round, draw, true);
            problem = absenceProblem(cup, round) + cupProblem(cup);
            QVERIFY2(problem.empty(), problem.c_str());
            QVERIFY(cup.isComplete(round));
        }
        finals += !cup.finalTeams().empty();
    }
    QCOMPARE(finals, seeds);
    QVERIFY(absences > seeds);
}

void TestCupDay::rollCallRefusals_data()
{
    QTest::addColumn<int>("round");
    QTest::addColumn<int>("team"); // -1: a team of round 1; -2: a team entering later
    QTest::addColumn<bool>("drawFirst");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("no round 0") << 0 << -1 << false << "Il n'y a pas de Tour 0";
    QTest::newRow("no round 7") << 7 << -1 << false << "Il n'y a pas de Tour 7";
    QTest::newRow("no such team") << 1 << 100000 << false << "Il n'y a pas d'équipe";
    QTest::newRow("drawn round") << 1 << -1 << true << "est tiré";
    QTest::newRow("enters later") << 1 << -2 << false << "ne joue pas le Tour 1";
    QTest::newRow("not through yet") << 2 << -1 << false << "ne joue pas le Tour 2";
}

void TestCupDay::rollCallRefusals()
{
    QFETCH(int, round);
    QFETCH(int, team);
    QFETCH(bool, drawFirst);
    QFETCH(QString, refusal);
    Cup cup = inventedCup(96, 3, {Ratio::Half, Ratio::Half, Ratio::Half}, 0, 5);
    if (team < 0) {
        const auto &teams = cup.teams();
        const auto found =
            std::find_if(teams.begin(), teams.end(), [team](const CupTeam &t) {
                return team == -1 ? t.entryRound == 1 : t.entryRound > 1;
            });
        QVERIFY(found != teams.end());
        team = static_cast<int>(found - teams.begin());
    }
    if (drawFirst)
        QVERIFY(drawRound(cup, 1).done);
    const CupRecords before = cup.records();
    const CupAnswer answer = cup.apply(RollCallCommand{round, team, false});
    QVERIFY(!answer.done);
    QVERIFY2(QString::fromStdString(answer.text).contains(refusal), answer.text.c_str());
    QVERIFY(cup.records() == before);
}

// The roll-call outlives the draw it was made for: a new draw or a cancelled one keeps the
// absent teams absent, and their forfeits are not results that stop a new draw.
void TestCupDay::absenteesAcrossRedrawAndCancel()
{
    Cup cup = inventedCup(40, 2, {Ratio::Half, Ratio::Half, Ratio::Half}, 0, 11);
    const int absent = cup.rollCallTeams(1).front();
    QVERIFY(cup.apply(RollCallCommand{1, absent, false}).done);
    const CupAnswer again = cup.apply(RollCallCommand{1, absent, false});
    QVERIFY(again.done && !again.changed);
    QVERIFY(drawRound(cup, 1).done);
    QCOMPARE(cup.withdrawalRound(absent), std::optional<int>(1));
    const CupAnswer redrawn = redrawRound(cup, 1);
    QVERIFY2(redrawn.done, redrawn.text.c_str());
    QVERIFY(absenceProblem(cup, 1).empty());
    const CupAnswer cancelled = cancelRound(cup, 1);
    QVERIFY(cancelled.done);
    QVERIFY2(cancelled.text.find("forfait") == std::string::npos, cancelled.text.c_str());
    QVERIFY(!cup.withdrawalRound(absent));
    QVERIFY(cup.isAbsent(1, absent));
    QVERIFY(drawRound(cup, 1).done);
    QCOMPARE(cup.withdrawalRound(absent), std::optional<int>(1));
    QVERIFY(cupProblem(cup).empty());
}

void TestCupDay::placeGamesExamples_data()
{
    QTest::addColumn<QString>("groups"); // per group its games played: "111" a group of four
    QTest::addColumn<int>("lanes");
    QTest::addColumn<QString>("expected"); // lane@minutes per game, "-" for none
    QTest::newRow("side by side, barrage after")
        << "111 111" << 4 << "1@0 2@0 1@90 | 3@0 4@0 3@90";
    QTest::newRow("short of lanes: the next group waits")
        << "111 111" << 3 << "1@0 2@0 1@90 | 2@90 3@90 2@180";
    QTest::newRow("one lane: one after the other") << "111 1" << 1 << "1@0 1@90 1@180 | 1@270 - -";
    QTest::newRow("a first game lost at the roll-call")
        << "010 111" << 2 << "- 1@0 - | 1@90 2@90 1@180";
    QTest::newRow("games of two") << "1 1 1" << 2 << "1@0 - - | 2@0 - - | 1@90 - -";
    QTest::newRow("no lanes") << "111" << 0 << "- - -";
}

void TestCupDay::placeGamesExamples()
{
    QFETCH(QString, groups);
    QFETCH(int, lanes);
    QFETCH(QString, expected);
    std::vector<GroupGames> games;
    for (const QString &group : groups.split(' ')) {
        GroupGames g;
        for (int k = 0; k < group.size(); ++k)
            g.played[static_cast<std::size_t>(k)] = group[k] == '1';
        games.push_back(g);
    }
    QCOMPARE(placements(placeGames(games, lanes, 90)), expected);
}

void TestCupDay::placeGamesRules_data()
{
    QTest::addColumn<int>("groups");
    QTest::addColumn<int>("lanes");
    QTest::addColumn<int>("seeds");
    QTest::newRow("lanes to spare") << 20 << 60 << 40;
    QTest::newRow("just enough") << 30 << 60 << 40;
    QTest::newRow("short") << 50 << 17 << 40;
    QTest::newRow("one lane") << 12 << 1 << 20;
    QTest::newRow("many") << 1250 << 300 << 3;
}

// Over random groups and forfeits: every game played has a lane, no lane holds two games at
// once, a barrage starts after its first games on one of their lanes, and with lanes enough
// every first game starts at the round's start.
void TestCupDay::placeGamesRules()
{
    QFETCH(int, groups);
    QFETCH(int, lanes);
    QFETCH(int, seeds);
    constexpr int length = 75;
    for (int seed = 1; seed <= seeds; ++seed) {
        SeededDraw draw{std::uint64_t(seed)};
        std::vector<GroupGames> games(static_cast<std::size_t>(groups));
        for (GroupGames &g : games) {
            const bool ofFour = draw.below(4) != 0;
            g.played[0] = draw.below(8) != 0;
            g.played[1] = ofFour && draw.below(8) != 0;
            g.played[2] = ofFour && g.played[0] && g.played[1];
        }
        const auto placed = placeGames(games, lanes, length);
        QCOMPARE(placed.size(), games.size());
        std::vector<std::vector<int>> starts(static_cast<std::size_t>(lanes));
        for (std::size_t g = 0; g < games.size(); ++g) {
            for (std::size_t k = 0; k < 3; ++k) {
                QCOMPARE(placed[g][k].has_value(), games[g].played[k]);
                if (placed[g][k]) {
                    QVERIFY(placed[g][k]->lane >= 0 && placed[g][k]->lane < lanes);
                    QVERIFY(placed[g][k]->offset >= 0);
                    starts[static_cast<std::size_t>(placed[g][k]->lane)].push_back(
                        placed[g][k]->offset);
                }
            }
            if (games[g].played[2]) {
                const Placement &a = *placed[g][0];
                const Placement &b = *placed[g][1];
                const Placement &barrage = *placed[g][2];
                QVERIFY(barrage.offset >= std::max(a.offset, b.offset) + length);
                QVERIFY(barrage.lane == a.lane || barrage.lane == b.lane);
                if (lanes > 1)
                    QCOMPARE(a.offset, b.offset);
            }
        }
        for (std::vector<int> &lane : starts) {
            std::sort(lane.begin(), lane.end());
            for (std::size_t k = 1; k < lane.size(); ++k)
                QVERIFY2(lane[k] >= lane[k - 1] + length, "two games at once on one lane");
        }
        if (lanes >= 2 * groups) {
            for (std::size_t g = 0; g < games.size(); ++g) {
                for (std::size_t k = 0; k < 2; ++k)
                    QVERIFY(!placed[g][k] || placed[g][k]->offset == 0);
            }
        }
    }
}

// The cup's schedule: lanes of two halls, the round's start, the game's length; an absent
// team's games take no lane.
void TestCupDay::cupSchedule()
{
    Cup cup = inventedCup(40, 2, {Ratio::Half, Ratio::Half, Ratio::Half}, 0, 3);
    const int absent = cup.rollCallTeams(1).front();
    QVERIFY(cup.apply(RollCallCommand{1, absent, false}).done);
    QVERIFY(drawRound(cup, 1).done);
    QVERIFY(roundSchedule(cup, 1).front().lane == std::nullopt);
    QVERIFY(cup.apply(LanesCommand{"", 1, 3}).done);
    QVERIFY(cup.apply(LanesCommand{"B", 10, 10}).done);
    QVERIFY(cup.apply(StartCommand{1, DayTime{5, 14 * 60}}).done);
    const CupAnswer length = cup.apply(GameLengthCommand{60});
    QCOMPARE(length.text, std::string("Une partie dure 1 h."));
    const std::vector<GameSlot> schedule = roundSchedule(cup, 1);
    QCOMPARE(schedule.size(), std::size_t(cup.gameCount(1)));
    int withoutLane = 0;
    for (const GameSlot &slot : schedule) {
        const auto sides = cup.gameTeams(slot.game);
        const bool forfeit = sides && (cup.isAbsent(1, sides->first) ||
                                       cup.isAbsent(1, sides->second));
        withoutLane += !slot.lane;
        if (slot.lane) {
            QVERIFY(slot.time);
            QCOMPARE(slot.time->day, std::optional<int>(5));
            QVERIFY((slot.time->minute - 14 * 60) % 60 == 0);
        } else if (slot.game.game != kBarrage) {
            QVERIFY(forfeit);
        }
    }
    QCOMPARE(withoutLane, 2); // the absent team's first game and its barrage
    const auto first = std::find_if(schedule.begin(), schedule.end(),
                                    [](const GameSlot &slot) { return slot.lane.has_value(); });
    QCOMPARE(slotLaneText(*first), std::string("jeu 1"));
    QCOMPARE(slotTimeText(*first), std::string("samedi 14:00"));
    QVERIFY(cupProblem(cup).empty());
}

void TestCupDay::movedGames_data()
{
    QTest::addColumn<QString>("lane"); // "hall:number", empty: unchanged
    QTest::addColumn<int>("minute");   // -1: unchanged
    QTest::addColumn<QString>("answer");
    QTest::newRow("free lane") << ":25" << -1 << "se joue au jeu 25 à samedi 14:00.";
    QTest::newRow("later, same lane") << "" << 20 * 60 << "à samedi 20:00.";
    QTest::newRow("on a busy lane") << ":2" << -1 << "Le jeu 2 est pris à samedi 14:00";
    QTest::newRow("overlapping the barrage") << "" << 15 * 60 << "est pris à samedi 15:30";
    QTest::newRow("no such lane") << ":31" << -1 << "Il n'y a pas de jeu 31";
    QTest::newRow("other hall") << "B:1" << -1 << "au jeu 1 de la salle B";
}

void TestCupDay::movedGames()
{
    QFETCH(QString, lane);
    QFETCH(int, minute);
    QFETCH(QString, answer);
    // Groups of four, at most 10 of them: group 1 on lanes 1 and 2, its barrage on lane 1 at
    // 15:30; lanes from 21 on and the hall B's are free.
    Cup cup = inventedCup(40, 0, {Ratio::Half, Ratio::Half, Ratio::Half}, 0, 9);
    QVERIFY(drawRound(cup, 1).done);
    QVERIFY(cup.apply(LanesCommand{"", 1, 30}).done);
    QVERIFY(cup.apply(LanesCommand{"B", 1, 2}).done);
    QVERIFY(cup.apply(StartCommand{1, DayTime{5, 14 * 60}}).done);
    SlotCommand move{{1, 1, 1}, std::nullopt, std::nullopt};
    if (!lane.isEmpty())
        move.lane = LaneRef{lane.section(':', 0, 0).toStdString(), lane.section(':', 1).toInt()};
    if (minute >= 0)
        move.time = DayTime{5, minute};
    const CupRecords before = cup.records();
    const CupAnswer moved = cup.apply(move);
    QVERIFY2(QString::fromStdString(moved.text).contains(answer), moved.text.c_str());
    if (!moved.done) {
        QVERIFY(cup.records() == before);
        return;
    }
    const GameSlot slot = roundSchedule(cup, 1).front();
    QVERIFY(slot.moved);
    QVERIFY(cupProblem(cup).empty());
    // Back to the schedule's lane and time, then a new draw forgets the move.
    QVERIFY(cup.apply(SlotCommand{{1, 1, 1}, std::nullopt, std::nullopt}).done);
    QVERIFY(!roundSchedule(cup, 1).front().moved);
    QVERIFY(cup.apply(move).done);
    QVERIFY(redrawRound(cup, 1).done);
    QVERIFY(cup.day().moves.empty());
}

void TestCupDay::readDayTimes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("read"); // empty: refused
    QTest::newRow("day and clock") << "samedi 14:00" << "samedi 14:00";
    QTest::newRow("capital, h") << "Samedi 14h" << "samedi 14:00";
    QTest::newRow("short day, h and minutes") << " dim. 9h05 " << "dimanche 09:05";
    QTest::newRow("spaced h") << "14 h 30" << "14:30";
    QTest::newRow("midnight") << "0:00" << "00:00";
    QTest::newRow("hour 24") << "24:00" << "";
    QTest::newRow("minute 60") << "samedi 14:60" << "";
    QTest::newRow("one minute digit") << "14:5" << "";
    QTest::newRow("no clock") << "samedi" << "";
    QTest::newRow("unknown day") << "sabado 14:00" << "";
    QTest::newRow("trailing words") << "samedi 14:00 midi" << "";
    QTest::newRow("empty") << "" << "";
}

void TestCupDay::readDayTimes()
{
    QFETCH(QString, text);
    QFETCH(QString, read);
    const Reading<DayTime> reading = readDayTime(text.toStdString());
    QCOMPARE(QString::fromStdString(reading.value ? dayTimeText(*reading.value) : ""), read);
    QCOMPARE(reading.refusal.empty(), reading.value.has_value());
}

void TestCupDay::readDurations_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minutes"); // 0: refused
    QTest::newRow("h and minutes") << "1 h 30" << 90;
    QTest::newRow("tight") << "1h30" << 90;
    QTest::newRow("minutes") << "90" << 90;
    QTest::newRow("min") << "45 min" << 45;
    QTest::newRow("colon") << "1:30" << 90;
    QTest::newRow("hours") << "2h" << 120;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("a day and more") << "25h" << 0;
    QTest::newRow("minutes out of the hour") << "1h75" << 0;
    QTest::newRow("words") << "longtemps" << 0;
}

void TestCupDay::readDurations()
{
    QFETCH(QString, text);
    QFETCH(int, minutes);
    const Reading<int> reading = readDuration(text.toStdString());
    QCOMPARE(reading.value.value_or(0), minutes);
    QCOMPARE(reading.refusal.empty(), reading.value.has_value());
}

void TestCupDay::readLaneRanges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("first"); // 0: refused
    QTest::addColumn<int>("last");
    QTest::newRow("range") << "1-24" << 1 << 24;
    QTest::newRow("spaced") << " 3 - 8 " << 3 << 8;
    QTest::newRow("à") << "1 à 12" << 1 << 12;
    QTest::newRow("one lane") << "7" << 7 << 7;
    QTest::newRow("backwards") << "24-1" << 0 << 0;
    QTest::newRow("zero") << "0-4" << 0 << 0;
    QTest::newRow("too many") << "1-100000" << 0 << 0;
    QTest::newRow("open") << "1-" << 0 << 0;
    QTest::newRow("words") << "tous" << 0 << 0;
}

void TestCupDay::readLaneRanges()
{
    QFETCH(QString, text);
    QFETCH(int, first);
    QFETCH(int, last);
    const Reading<LaneRange> reading = readLaneRange(text.toStdString());
    QCOMPARE(reading.value ? reading.value->first : 0, first);
    QCOMPARE(reading.value ? reading.value->last : 0, last);
    QCOMPARE(reading.refusal.empty(), reading.value.has_value());
}

QTEST_GUILESS_MAIN(TestCupDay)
#include "tst_cupday.moc"
