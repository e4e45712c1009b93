// The sheets of each round as the organiser prints them, read back from the PDF by pdftotext:
// on its group's page (or the page of its game of two), every team's name and whole club in
// the games' table with each game's lane and time, the cup's whole name in the title, round 4's
// exempted teams named.

#include "CupSchedule.h"
#include "CupSimulation.h"
#include "RoundSheets.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmorin;
using namespace velmorin::testing;

namespace {

constexpr auto kGroups = Ratio::ThreeQuarters;
constexpr auto kPairs = Ratio::Half;

// Text compared whatever the wrapping: a cell's text may break anywhere, even inside a word.
QString packed(const QString &s)
{
    return QString(s).remove(QRegularExpression(QStringLiteral("\\s")));
}

QString packed(const std::string &s)
{
    return packed(QString::fromStdString(s));
}

// The pages of a PDF in the order of its drawing, each packed.
QStringList pdfPages(const QString &fileName)
{
    QProcess extract;
    extract.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                   fileName, QStringLiteral("-")});
    if (!extract.waitForFinished(60000) || extract.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(extract.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && packed(pages.last()).isEmpty())
        pages.removeLast();
    for (QString &page : pages)
        page = packed(page);
    return pages;
}

// A team as the games' table prints it: its name, then its club.
QString teamCell(const Cup &cup, int team)
{
    const CupTeam &t = cup.teams()[std::size_t(team)];
    return packed(t.name) + packed(t.club);
}

} // namespace

class TestRoundSheets : public QObject
{
    Q_OBJECT

private slots:
    void everyTeamWhole_data();
    void everyTeamWhole();
};

void TestRoundSheets::everyTeamWhole_data()
{
    QTest::addColumn<int>("teams");
    QTest::addColumn<Ratio>("ratio4"); // round 4's: groups of four or games of two
    QTest::addColumn<int>("exempted");
    QTest::addColumn<int>("clubs");
    QTest::addColumn<int>("seed");

    QTest::newRow("80 teams, one exempted") << 80 << kPairs << 1 << 5 << 3;
    QTest::newRow("80 teams, none exempted") << 80 << kPairs << 0 << 12 << 7;
    QTest::newRow("56 teams, round 4 in groups") << 56 << kGroups << 1 << 4 << 11;
    QTest::newRow("48 teams without clubs") << 48 << kPairs << 0 << 0 << 2;
}

void TestRoundSheets::everyTeamWhole()
{
    QFETCH(int, teams);
    QFETCH(Ratio, ratio4);
    QFETCH(int, exempted);
    QFETCH(int, clubs);
    QFETCH(int, seed);
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext is missing: bash scripts/install-deps.sh");

    Cup cup = inventedCup(teams, std::size_t(clubs), {ratio4, kPairs, kPairs}, exempted,
                          std::uint64_t(seed));
    // Long names and clubs at both ends of the list: the first teams play round 1, the last
    // ones enter later.
    std::vector<CupTeam> renamed = cup.teams();
    renamed.front().club = "Union Bouliste Majoritaire";
    renamed[1].name = "Association bouliste des Amis de la Pétanque de Saint-Barthélemy-d'Anjou";
    renamed[2].name = "Boulodrome" + std::string(40, 'W');
    renamed.back().club = "Entente sportive intercommunale des Coteaux-de-la-Loire-et-du-Layon";
    renamed[renamed.size() - 2].club = "Union Bouliste Majoritaire";
    QVERIFY(cup.changeInputs(renamed, cup.layout(), cup.seed()).done);
    const QString cupName =
        QStringLiteral("Coupe nationale des quadrettes du comité de Saint-Barthélemy 2026");

    QTemporaryDir dir;
    SeededDraw draw{std::uint64_t(seed)};
    QVERIFY(cup.apply(LanesCommand{"", 1, 7}).done);
    for (int round = 1; round <= kCupRounds; ++round) {
        QVERIFY(cup.apply(StartCommand{round, DayTime{5, (8 + round) * 60}}).done);
        QVERIFY2(drawRound(cup, round).done, qPrintable(QString::number(round)));
        const std::vector<GameSlot> schedule = roundSchedule(cup, round);
        const QString fileName = dir.filePath(QStringLiteral("tour%1.pdf").arg(round));
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(writeRoundSheetsPdf(&file, cup, round, cupName));
        file.close();

        const QStringList pages = pdfPages(fileName);
        QCOMPARE(pages.size(), roundSheetPages(cup, round));
        const auto &groups = cup.drawnRound(round)->groups;
        const bool inGroups = cup.layout().groupSize(round) == 4;
        const QString gamesHeader = packed(QStringLiteral("Partie Équipe A Score A Score B"));
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const int pageIndex = inGroups ? int(g) : int(g) / 10;
            const QString &page = pages[pageIndex];
            // The games' table only: in a group's page, the table of its teams comes first.
            const QString games = page.mid(page.indexOf(gamesHeader));
            const QString where = QStringLiteral("round %1, page %2").arg(round).arg(pageIndex + 1);
            QVERIFY2(page.startsWith(packed(cupName)), qPrintable(where));
            QVERIFY2(page.indexOf(gamesHeader) >= 0, qPrintable(where));
            for (const int team : groups[g]) {
                if (inGroups)
                    QVERIFY2(page.contains(teamCell(cup, team)), qPrintable(where));
                // In a group, the two later games name no team before the first two are played.
                QVERIFY2(games.contains(teamCell(cup, team)),
                         qPrintable(where + QStringLiteral(": ") + teamCell(cup, team)));
            }
            // Each game's lane and time in its cell, under its number.
            for (const GameSlot &slot : schedule) {
                if (slot.game.group == int(g) + 1 && slot.lane)
                    QVERIFY2(games.contains(packed(slotLaneText(slot) + slotTimeText(slot))),
                             qPrintable(where + QStringLiteral(": ") +
                                        QString::fromStdString(slotLaneText(slot))));
            }
            for (const int team : cup.drawnRound(round)->exempted)
                QVERIFY2(page.contains(packed(cup.teams()[std::size_t(team)].name)),
                         qPrintable(where));
        }
        playRound(cup, round, draw, false);
    }
}

QTEST_MAIN(TestRoundSheets)
#include "tst_roundsheets.moc"
