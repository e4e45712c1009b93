#include "CupSimulation.h"
#include "CupText.h"

#include <QtTest>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

QStringList lines(const std::string &text)
{
    return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
}

// A cup of 40 teams, games of two from round 4 with two exempted; awkward names.
Cup namedCup()
{
    const std::array<Ratio, 3> halves{Ratio::Half, Ratio::Half, Ratio::Half};
    SeededDraw draw(4);
    auto entrants = entrantsFor(40, halves, 2, draw);
    while (entrants && (*entrants)[0] < 8) // round 1 must have games to show
        entrants = entrantsFor(40, halves, 2, draw);
    if (!entrants)
        qFatal("no plan for 40 teams");
    std::vector<CupTeam> teams = inventedTeams(*entrants, 3, draw);
    teams[0].name = "Les \"Fanny\", de <la> Gare & Cie";
    teams[1].name = "#2";
    CupCreation made = Cup::create(teams, *layoutFor(*entrants, halves, 2), 4);
    if (!made.ok())
        qFatal("%s", made.error.c_str());
    return std::move(*made.cup);
}

} // namespace

class TestCupText : public QObject
{
    Q_OBJECT

private slots:
    void roundCsv();
    void htmlScoreOrder_data();
    void htmlScoreOrder();
    void controlsInTables_data();
    void controlsInTables();
    void wholeCup();
    void pageOpensOnTheRoundInPlay_data();
    void pageOpensOnTheRoundInPlay();
    void references_data();
    void references();
};

void TestCupText::roundCsv()
{
    Cup cup = namedCup();
    QVERIFY(drawRound(cup, 1).done);
    const DrawRecord &drawn = *cup.drawnRound(1);
    const int groups = static_cast<int>(drawn.groups.size());
    QStringList rows = lines(velmorin::roundCsv(cup, 1));
    QStringList header;
    for (const std::string_view column : kCupCsvColumns)
        header << QString::fromUtf8(column.data(), static_cast<int>(column.size()));
    QCOMPARE(rows.takeFirst(), header.join(','));
    QCOMPARE(rows.size(), 2 * groups); // no barrage before its games

    const auto &group = drawn.groups[0];
    QVERIFY(recordWinner(cup, 1, group[1], Score{13, 8}).done);
    QCOMPARE(lines(velmorin::roundCsv(cup, 1)).size(), 1 + 2 * groups);
    QVERIFY(declareForfeit(cup, 1, group[3]).done);
    rows = lines(velmorin::roundCsv(cup, 1));
    QCOMPARE(rows.size(), 1 + 2 * groups + 1);
    const auto name = [&](int place) {
        return QString::fromStdString(cup.teams()[group[place]].name);
    };
    const auto club = [&](int place) {
        return QString::fromStdString(cup.teams()[group[place]].club);
    };
    const auto field = [](const QString &text) {
        return text.contains(',') || text.contains('"')
                   ? '"' + QString(text).replace("\"", "\"\"") + '"'
                   : text;
    };
    QCOMPARE(rows[1], QStringList({"1", "1", "1", field(name(0)), field(club(0)), field(name(1)),
                                   field(club(1)), field(name(1)), "8", "13", "", "", ""})
                          .join(','));
    QCOMPARE(rows[2], QStringList({"1", "1", "2", field(name(2)), field(club(2)), field(name(3)),
                                   field(club(3)), field(name(2)), "", "", field(name(3)), "", ""})
                          .join(','));
    // The barrage: the two losers, won by default since D withdrew.
    QCOMPARE(rows[3],
             QStringList({"1", "1", "barrage", field(name(0)), field(club(0)), field(name(3)),
                          field(club(3)), field(name(0)), "", "", field(name(3)), "", ""})
                 .join(','));
    QVERIFY(QString::fromStdString(velmorin::roundCsv(cup, 1))
                .contains("\"Les \"\"Fanny\"\", de <la> Gare & Cie\""));
}

void TestCupText::wholeCup()
{
    Cup cup = namedCup();
    SeededDraw draw(8);
    for (int round = 1; round <= kCupRounds; ++round) {
        QVERIFY(drawRound(cup, round).done);
        playRound(cup, round, draw, true);
    }
    const QStringList rows = lines(cupCsv(cup));
    const std::vector<int> finale = cup.finalTeams();
    QVERIFY(!finale.empty());
    QCOMPARE(rows.filter(QRegularExpression("^4,,exemptee,[^,]+,,,,,,,,,$")).size(), 2);
    const QStringList finalRows = rows.filter(QRegularExpression("^finale,"));
    QCOMPARE(finalRows.size(), static_cast<int>(finale.size()));
    QVERIFY(finalRows[0].startsWith("finale,1,qualifiee," +
                                    QString::fromStdString(cup.teams()[finale[0]].name) + ","));
    for (const QString &row : rows.mid(1))
        QVERIFY2(QRegularExpression("^[1-6f]").match(row).hasMatch(), qPrintable(row));

    const QString html = QString::fromStdString(cupHtml(cup, "Coupe", {}));
    QVERIFY(
        html.contains("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"));
    QVERIFY(!html.contains("<script") && !html.contains("http") && !html.contains("src="));
    QVERIFY(html.contains("table-layout:fixed") && html.contains("overflow-wrap:anywhere"));
    QVERIFY(!html.contains("<la>"));
    QVERIFY(html.contains("Les &quot;Fanny&quot;, de &lt;la&gt; Gare &amp; Cie"));
    QCOMPARE(html.count("<li>"),
             static_cast<int>(finale.size()) + html.count("<li>poule")); // the meetings' lines

    const QStringList table = lines(cupTable(cup));
    QVERIFY(table.last().startsWith("Finale : "));
    // Aligned: in every row the winner's column starts where its header does.
    const QStringList round1 = lines(roundTable(cup, 1));
    const int winnerAt = round1[1].indexOf("Gagnant");
    for (const QString &line : round1.mid(2, round1.size() - 2 - int(cup.meetings(1).size()))) {
        QCOMPARE(line.mid(winnerAt - 2, 2), QString("  "));
        QVERIFY(line.at(winnerAt) != ' ');
    }
    QVERIFY(QString::fromStdString(roundTable(cup, 4)).contains("exemptée"));
}

void TestCupText::pageOpensOnTheRoundInPlay_data()
{
    QTest::addColumn<int>("drawn");
    QTest::addColumn<int>("played");  // rounds played to their end
    QTest::addColumn<bool>("started"); // one result in the last drawn round
    QTest::addColumn<int>("inPlay");   // 0: none
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("moment"); // year, month, day, hour, minute
    QTest::addColumn<QString>("shown");      // the page's title

    const QString name = "Coupe \"Fanny\" <b>& Cie</b> d'Été";
    const QString escaped = "Coupe &quot;Fanny&quot; &lt;b&gt;&amp; Cie&lt;/b&gt; d&#39;Été";
    QTest::newRow("before any draw") << 0 << 0 << false << 0 << name
                                     << QList<int>{2026, 12, 8, 14, 5}
                                     << escaped + " — résultats du 8 décembre 2026 à 14 h 05";
    QTest::newRow("round 1 drawn") << 1 << 0 << false << 1 << name
                                   << QList<int>{2027, 5, 1, 9, 0}
                                   << escaped + " — résultats du 1er mai 2027 à 9 h 00";
    QTest::newRow("round 1 started, no name")
        << 1 << 0 << true << 1 << QString() << QList<int>{2026, 8, 31, 0, 59}
        << "Tableau de la coupe — résultats du 31 août 2026 à 0 h 59";
    QTest::newRow("round 2 drawn") << 2 << 1 << false << 2 << name
                                   << QList<int>{2026, 1, 10, 23, 10}
                                   << escaped + " — résultats du 10 janvier 2026 à 23 h 10";
    QTest::newRow("round 4 started") << 4 << 3 << true << 4 << name
                                     << QList<int>{2026, 2, 28, 12, 0}
                                     << escaped + " — résultats du 28 février 2026 à 12 h 00";
    QTest::newRow("round 3 over, 4 not drawn")
        << 3 << 3 << false << 3 << name << QList<int>{2026, 6, 7, 18, 45}
        << escaped + " — résultats du 7 juin 2026 à 18 h 45";
    QTest::newRow("final known") << 6 << 6 << false << 6 << name
                                 << QList<int>{2026, 9, 20, 17, 30}
                                 << escaped + " — résultats du 20 septembre 2026 à 17 h 30";
}

// On a phone the round in play is the first section, under a link to every round; the cup's
// name, escaped, and the page's moment title it.
void TestCupText::pageOpensOnTheRoundInPlay()
{
    QFETCH(int, drawn);
    QFETCH(int, played);
    QFETCH(bool, started);
    QFETCH(int, inPlay);
    QFETCH(QString, name);
    QFETCH(QList<int>, moment);
    QFETCH(QString, shown);

    Cup cup = namedCup();
    SeededDraw draw(17);
    for (int round = 1; round <= drawn; ++round) {
        QVERIFY(drawRound(cup, round).done);
        if (round <= played)
            playRound(cup, round, draw, false);
    }
    if (started) {
        const PendingGame game = cup.pendingGames(drawn).front();
        QVERIFY(recordWinner(cup, drawn, game.teamA, Score{13, 4}).done);
    }
    const QString html = QString::fromStdString(
        cupHtml(cup, name.toStdString(), {moment[0], moment[1], moment[2], moment[3], moment[4]}));

    QVERIFY2(html.contains("<title>" + shown + "</title>"), qPrintable(html.left(600)));
    const int cut = shown.indexOf(" — ");
    QVERIFY2(html.contains("<h1>" + shown.left(cut) + "<br><small>" + shown.mid(cut + 3) +
                           "</small></h1>"),
             qPrintable(html.left(600)));
    QVERIFY(!html.contains("<b>&"));

    QStringList expected;
    if (inPlay > 0)
        expected << QString("tour-%1").arg(inPlay);
    for (int round = 1; round <= drawn; ++round) {
        if (round != inPlay)
            expected << QString("tour-%1").arg(round);
    }
    expected << "finale";
    QStringList sections;
    for (const auto &match : QRegularExpression("<section id=\"([^\"]+)\">").globalMatch(html))
        sections << match.captured(1);
    QCOMPARE(sections, expected);
    // The links come before the first section, one to each.
    const qsizetype navAt = html.indexOf("<nav>");
    const QString nav = html.mid(navAt, html.indexOf("</nav>") - navAt);
    QVERIFY(html.indexOf("</nav>") < html.indexOf("<section"));
    QStringList links;
    for (const auto &match : QRegularExpression("<a href=\"#([^\"]+)\">").globalMatch(nav))
        links << match.captured(1);
    expected.sort();
    links.sort();
    QCOMPARE(links, expected);
    QCOMPARE(html.count("— en jeu</h2>"), inPlay > 0 && !cup.isComplete(inPlay) ? 1 : 0);
}

void TestCupText::references_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<int>("team"); // -1: refused
    QTest::addColumn<QString>("phrase");

    QTest::newRow("a name") << "Équipe n° 7" << 6 << "";
    QTest::newRow("a name that looks like a number") << "#2" << 1 << "";
    QTest::newRow("the first") << "#1" << 0 << "";
    QTest::newRow("the last") << "#40" << 39 << "";
    QTest::newRow("past the list") << "#41" << -1 << "La liste compte 40 équipes";
    QTest::newRow("zero") << "#0" << -1 << "n'en désigne aucune";
    QTest::newRow("a huge number") << "#99999999999999999999999" << -1 << "n'en désigne aucune";
    QTest::newRow("not a number") << "#x" << -1 << "ne s'appelle '#x'";
    QTest::newRow("a name unknown") << "Équipe n° 70" << -1 << "ne s'appelle";
    QTest::newRow("a name differing by case") << "équipe n° 7" << 6 << "";
    QTest::newRow("a name without accent and sign") << "EQUIPE N 7" << 6 << "";
    QTest::newRow("a name differing by a letter") << "Équipe n° 7a" << -1 << "ne s'appelle";
    QTest::newRow("controls shown") << "a\x1b[2J" << -1 << "a␛[2J";
}

void TestCupText::references()
{
    QFETCH(QString, reference);
    QFETCH(int, team);
    QFETCH(QString, phrase);

    const TeamReference resolved = resolveTeam(namedCup().teams(), reference.toStdString());
    QCOMPARE(resolved.team.value_or(-1), team);
    QVERIFY2(QString::fromStdString(resolved.error).contains(phrase), resolved.error.c_str());
    QCOMPARE(resolved.error.empty(), team >= 0);
}

void TestCupText::htmlScoreOrder_data()
{
    QTest::addColumn<bool>("aWins");
    QTest::addColumn<int>("winnerPoints");
    QTest::addColumn<int>("loserPoints");
    QTest::newRow("B wins 13-7") << false << 13 << 7;
    QTest::newRow("A wins 13-7") << true << 13 << 7;
    QTest::newRow("B wins 13-12") << false << 13 << 12;
    QTest::newRow("A wins 9-0") << true << 9 << 0;
}

// The page puts each team's points beside that team, whoever won: a game B won 13-7 reads
// "A 7 contre B 13", never "13-7" beside A–B.
void TestCupText::htmlScoreOrder()
{
    QFETCH(bool, aWins);
    QFETCH(int, winnerPoints);
    QFETCH(int, loserPoints);
    Cup cup = namedCup();
    QVERIFY(drawRound(cup, 1).done);
    const auto sides = *cup.gameTeams({1, 1, 1});
    const int winner = aWins ? sides.first : sides.second;
    QVERIFY(recordWinner(cup, 1, winner, Score{winnerPoints, loserPoints}).done);
    const QString html = QString::fromStdString(cupHtml(cup, "Coupe", {}));
    const auto escaped = [&cup](int team) {
        return QString::fromStdString(cup.teams()[static_cast<std::size_t>(team)].name)
            .toHtmlEscaped()
            .replace("'", "&#39;");
    };
    const int aPoints = aWins ? winnerPoints : loserPoints;
    const int bPoints = aWins ? loserPoints : winnerPoints;
    const QRegularExpression game(
        QRegularExpression::escape(escaped(sides.first)) + " <small>[^<]*</small> <b>" +
        QString::number(aPoints) + "</b><br>contre " +
        QRegularExpression::escape(escaped(sides.second)) + " <small>[^<]*</small> <b>" +
        QString::number(bPoints) + "</b></td><td>" + QRegularExpression::escape(escaped(winner)) +
        "</td>");
    QVERIFY2(game.match(html).hasMatch(), qPrintable(html.left(3000)));
}

void TestCupText::controlsInTables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("escape") << "\x1b[31mRouge" << "␛[31mRouge";
    QTest::newRow("title") << "\x1b]0;titre\x07" "A" << "␛]0;titre␇A";
    QTest::newRow("line break") << "Deux\nlignes" << "Deux / lignes";
    QTest::newRow("tab") << "A\tB" << "A␉B";
    QTest::newRow("C1") << "A\xC2\x9B" "B" << "A�B";
}

// A round's table, the board and the final's line show a team's controls as pictures and its
// line breaks as " / ", as every table of the calculator does: nothing drives the terminal.
void TestCupText::controlsInTables()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    const std::array<Ratio, 3> halves{Ratio::Half, Ratio::Half, Ratio::Half};
    SeededDraw draw(4);
    auto entrants = entrantsFor(40, halves, 2, draw);
    while (entrants && (*entrants)[0] < 8) // round 1 must have games to show
        entrants = entrantsFor(40, halves, 2, draw);
    QVERIFY(entrants);
    std::vector<CupTeam> teams = inventedTeams(*entrants, 3, draw);
    for (CupTeam &team : teams)
        team.club = name.toStdString() + " club";
    CupCreation made = Cup::create(teams, *layoutFor(*entrants, halves, 2), 4);
    QVERIFY2(made.ok(), made.error.c_str());
    Cup &cup = *made.cup;
    for (int round = 1; round <= kCupRounds && drawRound(cup, round).done; ++round) {
        const DrawRecord &drawn = *cup.drawnRound(round);
        for (std::size_t g = 0; g < drawn.groups.size(); ++g) {
            for (const int game : {1, 2, kBarrage}) {
                if (const auto sides = cup.gameTeams({round, static_cast<int>(g + 1), game}))
                    recordWinner(cup, round, sides->first);
            }
        }
    }
    for (const std::string &text : {cupTable(cup), roundTable(cup, 1)}) {
        const QString table = QString::fromStdString(text);
        QVERIFY2(table.contains(shown), qPrintable(table));
        QVERIFY2(!table.contains(QChar(0x1b)) && !table.contains('\a') && !table.contains('\t') &&
                     !table.contains(QChar(0x9b)),
                 qPrintable(table));
        for (const QString &line : table.split('\n'))
            QVERIFY2(!line.contains("lignes") || line.contains("Deux / lignes"), qPrintable(line));
    }
}

QTEST_APPLESS_MAIN(TestCupText)
#include "tst_cuptext.moc"
