// One identity for teams and clubs: the key's rows, the draw over seeds with clubs typed in
// several ways, the reader's warnings against the cup's refusal, and the plans that cannot
// reach their final with the nearest ones that can.

#include "Cup.h"
#include "CupDraw.h"
#include "CupPlayable.h"
#include "CupSimulation.h"
#include "TeamKey.h"
#include "TeamList.h"

#include <QtTest>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

using namespace velmorin;
using namespace velmorin::testing;

class TestIdentity : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void drawMixedClubs_data();
    void drawMixedClubs();
    void readerAgreesWithCup_data();
    void readerAgreesWithCup();
    void unplayablePlans_data();
    void unplayablePlans();
};

void TestIdentity::keys_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("one");

    QTest::newRow("case") << "Boule Lyonnaise de Tassin"
                          << "BOULE LYONNAISE DE TASSIN" << true;
    QTest::newRow("accents") << "Saint-Étienne"
                             << "SAINT ETIENNE" << true;
    QTest::newRow("points of an abbreviation") << "A.S. Tassin"
                                               << "AS Tassin" << true;
    QTest::newRow("spaces and their runs") << " Tassin  A "
                                           << "TassinA" << true;
    QTest::newRow("no-break spaces") << "Tassin\u00A0A\u202F"
                                     << "Tassin A" << true;
    QTest::newRow("typographic apostrophe") << "L’Arbresle"
                                            << "L'Arbresle" << true;
    QTest::newRow("dashes and guillemets") << "« Les Cadets » – Lyon"
                                           << "Les Cadets Lyon" << true;
    QTest::newRow("ligature") << "Cœur de Loire"
                              << "COEUR DE LOIRE" << true;
    QTest::newRow("sharp s") << "Straße"
                             << "STRASSE" << true;
    QTest::newRow("accent in two characters") << "Vale\u0301rie"
                                              << "Valérie" << true;
    QTest::newRow("nothing but signs is no club") << "-"
                                                  << "" << true;
    QTest::newRow("another number") << "Tassin 1"
                                    << "Tassin 2" << false;
    QTest::newRow("another letter") << "Tassin A"
                                    << "Tassin B" << false;
    QTest::newRow("a plural") << "Club"
                              << "Clubs" << false;
    QTest::newRow("words are not guessed") << "AS Tassin"
                                           << "Association sportive Tassin" << false;
    QTest::newRow("past Latin-1, kept as written") << "Łódź"
                                                   << "Lodz" << false;
    QTest::newRow("a sign is not a letter") << "Équipe n° 1"
                                            << "Équipe no 1" << false;
}

void TestIdentity::keys()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, one);

    const std::string keyA = identityKey(a.toStdString());
    const std::string keyB = identityKey(b.toStdString());
    QCOMPARE(keyA == keyB, one);
    // A key is its own key: folding twice changes nothing.
    QCOMPARE(identityKey(keyA), keyA);
}

namespace {

// A club's name in one of the ways organisers type it.
std::string spelling(int club, int way)
{
    const std::string name = "Boule Lyonnaise de Tassin " + std::to_string(club);
    switch (way % 4) {
    case 0:
        return name;
    case 1: {
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return upper;
    }
    case 2:
        return "Boule-Lyonnaise  de Tassin " + std::to_string(club) + ".";
    default:
        return "boule lyonnaise de tassin\u00A0" + std::to_string(club);
    }
}

long long pairsOf(long long n)
{
    return n * (n - 1) / 2;
}

} // namespace

void TestIdentity::drawMixedClubs_data()
{
    QTest::addColumn<QList<int>>("clubs"); // teams per club; 0: a team without a club
    QTest::addColumn<int>("groupSize");

    QTest::newRow("one club of 20 in 10 groups of four")
        << (QList<int>{20} + QList<int>(20, 0)) << 4;
    QTest::newRow("clubs larger than the games") << QList<int>{30, 12, 6, 0, 0} << 2;
    QTest::newRow("many small clubs") << QList<int>(32, 3) << 4;
    QTest::newRow("uneven clubs") << QList<int>{17, 9, 5, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0} << 4;
}

// Clubs typed in four ways draw as clubs typed one way: the same groups for the same seed,
// every pair of one club drawn together reported, none that an even spread avoids.
void TestIdentity::drawMixedClubs()
{
    QFETCH(QList<int>, clubs);
    QFETCH(int, groupSize);

    std::vector<CupTeam> mixed;
    std::vector<CupTeam> uniform;
    std::vector<int> clubOf; // the club each team really is, -1 none
    for (int c = 0; c < clubs.size(); ++c) {
        for (int k = 0; k < std::max(clubs[c], 1); ++k) {
            const std::string name = "T" + std::to_string(mixed.size());
            const int entry = mixed.size() % 3 == 0 ? 2 : 1;
            mixed.push_back({name, clubs[c] ? spelling(c, k) : "", entry, 0});
            uniform.push_back({name, clubs[c] ? spelling(c, 0) : "", entry, 0});
            clubOf.push_back(clubs[c] ? c : -1);
        }
    }
    // Whole groups only: the last teams wait for a later round.
    std::vector<int> players(mixed.size() - mixed.size() % static_cast<std::size_t>(groupSize));
    std::iota(players.begin(), players.end(), 0);
    const long long groups = static_cast<long long>(players.size()) / groupSize;
    std::map<int, long long> playersOfClub;
    for (const int team : players) {
        if (clubOf[static_cast<std::size_t>(team)] >= 0)
            ++playersOfClub[clubOf[static_cast<std::size_t>(team)]];
    }
    long long fewest = 0;
    for (const auto &[club, count] : playersOfClub) {
        const long long each = count / groups;
        const long long more = count % groups;
        fewest += more * pairsOf(each + 1) + (groups - more) * pairsOf(each);
    }

    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const auto drawn = drawGroups(mixed, players, groupSize, 2, seed);
        QCOMPARE(drawn, drawGroups(uniform, players, groupSize, 2, seed));
        std::set<std::pair<int, int>> together;
        for (const auto &group : drawn) {
            for (std::size_t i = 0; i < group.size(); ++i) {
                for (std::size_t j = i + 1; j < group.size(); ++j) {
                    const int a = std::min(group[i], group[j]);
                    const int b = std::max(group[i], group[j]);
                    if (clubOf[static_cast<std::size_t>(a)] >= 0 &&
                        clubOf[static_cast<std::size_t>(a)] == clubOf[static_cast<std::size_t>(b)])
                        together.insert({a, b});
                }
            }
        }
        std::set<std::pair<int, int>> reported;
        for (const Meeting &meeting : clubMeetings(mixed, drawn))
            reported.insert({meeting.teamA, meeting.teamB});
        QCOMPARE(reported, together);
        QCOMPARE(static_cast<long long>(together.size()), fewest);
    }
}

namespace {

// A team name in one of the ways it may be typed again.
std::string nameSpelling(int base, int way)
{
    static const char *const kNames[] = {"Les Étoiles", "Saint-Cyr A", "Cœur de Lyon",
                                         "L'Arbresle",  "Tassin 2",    "Tassin 3"};
    const std::string name = kNames[base];
    switch (way % 3) {
    case 0:
        return name;
    case 1: {
        std::string upper;
        for (const unsigned char c : name)
            upper += static_cast<char>(c < 0x80 ? std::toupper(c) : c);
        return upper;
    }
    default:
        return " " + name + ". ";
    }
}

} // namespace

void TestIdentity::readerAgreesWithCup_data()
{
    QTest::addColumn<int>("teams");
    QTest::addColumn<int>("names"); // how many names the teams draw from
    QTest::addColumn<bool>("clubs");

    QTest::newRow("few teams, every name once at most") << 5 << 6 << false;
    QTest::newRow("names repeated") << 8 << 4 << false;
    QTest::newRow("names repeated in other clubs") << 12 << 6 << true;
}

// The reader warns about exactly the pairs of one name, and the cup refuses the first of them,
// naming both lines as the organiser sees them.
void TestIdentity::readerAgreesWithCup()
{
    QFETCH(int, teams);
    QFETCH(int, names);
    QFETCH(bool, clubs);

    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        SeededDraw draw(seed);
        std::vector<SourceRow> rows{{3, {"Équipe", "Club"}, {}}};
        std::vector<int> baseOf;
        std::vector<int> order(static_cast<std::size_t>(names));
        std::iota(order.begin(), order.end(), 0);
        draw.shuffle(order.data(), order.size());
        for (int t = 0; t < teams; ++t) {
            // Fewer teams than names: all different; otherwise drawn with repeats.
            const int base = teams <= names ? order[static_cast<std::size_t>(t)]
                                            : static_cast<int>(draw.next() % names);
            const int way = static_cast<int>(draw.next() % 3);
            const std::string club = clubs ? "Club " + std::to_string(draw.next() % 3) : "";
            rows.push_back(
                {static_cast<std::size_t>(5 + 2 * t), {nameSpelling(base, way), club}, {}});
            baseOf.push_back(base);
        }
        std::vector<std::pair<std::size_t, std::size_t>> expected; // lines: first, again
        std::map<int, std::size_t> firstLine;
        for (std::size_t t = 0; t < baseOf.size(); ++t) {
            const std::size_t line = rows[t + 1].line;
            const auto [at, inserted] = firstLine.emplace(baseOf[t], line);
            if (!inserted)
                expected.emplace_back(at->second, line);
        }

        const TeamListResult read = teamListFromRows("equipes.csv", rows);
        QVERIFY2(read.ok(), read.error.c_str());
        QCOMPARE(read.warnings.size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const QString warning = QString::fromStdString(read.warnings[k]);
            QVERIFY2(warning.contains(QString(", ligne %1 :").arg(expected[k].second)) &&
                         warning.contains(QString("de la ligne %1 (").arg(expected[k].first)),
                     qPrintable(warning));
        }

        std::vector<CupTeam> cupTeams;
        for (const Team &team : read.list->teams)
            cupTeams.push_back({team.name, team.club, 1, 0, team.line});
        CupLayout layout;
        layout.sizes = {static_cast<Count>(teams), 0, 0, 0, 0, 0};
        const std::string refusal = cupInputsRefusal(cupTeams, layout);
        if (expected.empty()) {
            QVERIFY2(refusal.find("même nom") == std::string::npos, refusal.c_str());
        } else {
            QVERIFY2(QString::fromStdString(refusal).contains(
                         QString("(ligne %1) et ").arg(expected.front().first)) &&
                         QString::fromStdString(refusal).contains(
                             QString("(ligne %1) de la liste portent le même nom")
                                 .arg(expected.front().second)),
                     refusal.c_str());
        }
    }
}

namespace {

Count planDistance(const Plan &a, const Plan &b)
{
    Count sum = 0;
    for (std::size_t r = 0; r < kPlanRounds; ++r)
        sum += std::abs(a.rounds[r].playing - b.rounds[r].playing);
    return sum;
}

} // namespace

void TestIdentity::unplayablePlans_data()
{
    QTest::addColumn<int>("registered");
    QTest::addColumn<int>("finale");
    QTest::addColumn<QList<int>>("ratios"); // round 4, quarter, semi: 0 for 1/2, 1 for 3/4
    QTest::addColumn<int>("entrants1");
    QTest::addColumn<int>("classNumber");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("round"); // "" when the plan reaches its final

    QTest::newRow("3/4 of 16 is 21 at the quarter")
        << 80 << 12 << QList<int>{0, 1, 1} << 52 << 1 << 4 << "Le Tour 5 compte 21 équipes";
    QTest::newRow("3/4 of 14 is 18 at the quarter")
        << 80 << 7 << QList<int>{0, 1, 0} << 64 << 1 << 1 << "Le Tour 5 compte 18 équipes";
    QTest::newRow("3/4 of 8 is 10 at the semi")
        << 80 << 8 << QList<int>{0, 0, 1} << 40 << 1 << 1 << "Le Tour 6 compte 10 équipes";
    QTest::newRow("all halves reach their final")
        << 71 << 6 << QList<int>{0, 0, 0} << 0 << 1 << 1 << "";
}

// A refused plan names its round and size; the nearest plans named all reach their final,
// nearest first, and no plan that reaches it lies nearer than the first.
void TestIdentity::unplayablePlans()
{
    QFETCH(int, registered);
    QFETCH(int, finale);
    QFETCH(QList<int>, ratios);
    QFETCH(int, entrants1);
    QFETCH(int, classNumber);
    QFETCH(int, position);
    QFETCH(QString, round);

    const Problem problem{registered,
                          finale,
                          entrants1,
                          ratioFromIndex(ratios[0]),
                          ratioFromIndex(ratios[1]),
                          ratioFromIndex(ratios[2])};
    const std::optional<Plan> plan =
        makePlan(calculate(problem), exemptionClassFromNumber(classNumber), position);
    QVERIFY(plan);
    const std::string refusal = planRefusal(*plan);
    QCOMPARE(unplayableRound(layoutFromPlan(*plan)).has_value(), !round.isEmpty());
    if (round.isEmpty()) {
        QCOMPARE(refusal, std::string());
        return;
    }
    QVERIFY2(QString::fromStdString(refusal).startsWith(round), refusal.c_str());
    QVERIFY(refusal.back() == '.');

    const std::vector<NearPlan> near = nearestPlayablePlans(*plan, 3);
    QCOMPARE(near.size(), std::size_t{3});
    for (std::size_t k = 0; k < near.size(); ++k) {
        QVERIFY2(refusal.find(nearPlanText(near[k])) != std::string::npos, refusal.c_str());
        const std::optional<Plan> made =
            makePlan(calculate(near[k].problem), near[k].exemptionClass, near[k].position);
        QVERIFY(made);
        QVERIFY(!unplayableRound(layoutFromPlan(*made)));
        QVERIFY(made->entrantsAddUp());
        QCOMPARE(planDistance(*made, *plan), near[k].distance);
        if (k > 0) {
            QVERIFY(near[k - 1].distance <= near[k].distance);
            QVERIFY(nearPlanText(near[k - 1]) != nearPlanText(near[k]));
        }
    }
    // Every plan within the first one's distance, by brute force: none reaches its final
    // nearer (the final cannot move further than the distance).
    const Count best = near.front().distance;
    for (Count f = std::max<Count>(1, finale - best); f <= finale + best; ++f) {
        for (int r = 0; r < 8; ++r) {
            Problem other = problem;
            other.finale = static_cast<std::int32_t>(f);
            other.round4 = ratioFromIndex(r & 4);
            other.quarterFinal = ratioFromIndex(r & 2);
            other.semiFinal = ratioFromIndex(r & 1);
            for (std::int32_t e1 = 0; e1 <= registered; e1 += 4) {
                other.entrants1 = e1;
                const Calculation calculation = calculate(other);
                for (const ExemptionClass k : kRunOrder) {
                    const Count count = calculation.of(k).solutions.count();
                    for (Count p = 1; p <= count; ++p) {
                        const std::optional<Plan> candidate = makePlan(calculation, k, p);
                        if (candidate && !unplayableRound(layoutFromPlan(*candidate)))
                            QVERIFY2(planDistance(*candidate, *plan) >= best,
                                     qPrintable(QString("finale %1, E1 %2").arg(f).arg(e1)));
                    }
                }
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestIdentity)
#include "tst_identity.moc"
