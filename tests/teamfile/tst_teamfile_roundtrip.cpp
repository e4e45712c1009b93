// Team lists and entries written and read back equal; reading leaves the file as it was.

#include "tst_teamfile.h"

#include "CsvWriter.h"

using namespace velmorin;
using velmorin::testing::Sheet;
using velmorin::testing::teamListFromCsv;

void TestTeamFile::listRoundTrip()
{
    const TeamList list = teamListFromCsv(
        QByteArray(kList).replace("deux\nlignes", "\"deux\nlignes\"").toStdString());
    Files files;
    const QString path = files.write("liste.ods", QByteArray::fromStdString(teamListOds(list)));
    QVERIFY(!path.isEmpty());

    const TeamListResult back = readPath(path);
    QVERIFY2(back.ok(), back.error.c_str());
    QCOMPARE(back.list->extraColumns, list.extraColumns);
    // A quoted line break makes the CSV's lines run ahead of the sheet's rows.
    QCOMPARE(describe(*back.list, false), describe(list, false));
    QVERIFY(back.warnings.empty());
}

void TestTeamFile::assignmentRoundTrip()
{
    const TeamList list = teamListFromCsv(
        QByteArray(kList).replace("deux\nlignes", "\"deux\nlignes\"").toStdString());
    const AssignmentResult assigned =
        assignTeams(list, LevelMapping::defaults(list), {1, 1, 1, 1}, 4);
    QVERIFY(assigned.ok());
    Files files;
    const QString path = files.write(
        "entrees.ods", QByteArray::fromStdString(assignmentOds(list, *assigned.assignment)));

    // Read back as a list: "tour" comes first among the other columns, rows by round.
    const TeamListResult back = readPath(path);
    QVERIFY2(back.ok(), back.error.c_str());
    QCOMPARE(back.list->extraColumns,
             (std::vector<std::string>{"tour", "Remarque", "Dossier", "hors_niveau"}));
    QCOMPARE(describe(*back.list),
             (QStringList{"2|Les Étoiles|Pétanque Club « Est »|1|120.5|4|dit \"les As\"|D-1|",
                          "3|Sans points|Le Club|2||3||D-4|",
                          "4|Les <Verts> & Co|Le Club|3|7|2|deux\nlignes|D-3|",
                          "5|Les Bleus||||1||D-2|"}));
}

void TestTeamFile::neverWritesTheFile()
{
    Files files;
    for (const QString &name : {QStringLiteral("liste.csv"), QStringLiteral("liste.ods")}) {
        const QByteArray bytes =
            name.endsWith(".csv")
                ? QByteArray("Équipe\nA\n")
                : QByteArray::fromStdString(teamListOds(teamListFromCsv("Équipe;Niveau\nA;2\n")));
        const QString path = files.write(name, bytes);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        const QDateTime modified = QFileInfo(path).lastModified();
        QVERIFY2(readPath(path).ok(), qPrintable(name));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
    }
}

QTEST_GUILESS_MAIN(TestTeamFile)

void TestTeamFile::formulaGuard_data()
{
    QTest::addColumn<QString>("text");    // a team's name and a free column's cell
    QTest::addColumn<QString>("guarded"); // how the CSV writes it, quotes left out

    QTest::newRow("=") << "=1+1" << "'=1+1";
    QTest::newRow("+") << "+33 6 12" << "'+33 6 12";
    QTest::newRow("-") << "-Les Moins" << "'-Les Moins";
    QTest::newRow("@") << "@SOMME(A1)" << "'@SOMME(A1)";
    QTest::newRow("tab") << "\tTab" << "'\tTab";
    QTest::newRow("carriage return") << "\rRetour" << "'\rRetour";
    QTest::newRow("apostrophe, letter") << "'t Hoekske" << "''t Hoekske";
    QTest::newRow("apostrophe, formula") << "'=déjà" << "''=déjà";
    QTest::newRow("two apostrophes") << "''" << "'''";
    QTest::newRow("plain") << "Les As" << "Les As";
    QTest::newRow("inner =") << "A=B" << "A=B";
}

// A text a spreadsheet would run as a formula is written after an apostrophe by the CSV writer,
// and every reader takes it off again: the entries' CSV and ODS, and a spreadsheet's ODS or
// XLSX that kept the CSV's cells, all read back the text itself.
void TestTeamFile::formulaGuard()
{
    QFETCH(QString, text);
    QFETCH(QString, guarded);
    const std::string cell = text.toStdString();
    QCOMPARE(q(guardedCellText(cell)), guarded);
    QCOMPARE(q(std::string(unguardedCellText(guardedCellText(cell)))), text);

    // The list reader trims a name, not a free column's cell.
    const bool blankFirst = cell[0] == '\t' || cell[0] == '\r';
    TeamList list;
    list.extraColumns = {"Remarque"};
    Team team;
    team.name = blankFirst ? "Équipe " + cell.substr(1) : cell;
    team.points = -5; // a number, never guarded
    team.pointsText = "-5";
    team.extra = {cell};
    list.teams.push_back(team);
    const AssignmentResult assigned =
        assignTeams(list, LevelMapping::defaults(list), {1, 0, 0, 0}, 1);
    QVERIFY2(assigned.ok(), assigned.error.c_str());

    std::ostringstream csvText;
    OstreamSink sink(csvText);
    QVERIFY(writeAssignmentCsv(list, *assigned.assignment, sink, ';'));
    const std::string csv = csvText.str();
    QVERIFY2(csv.find(";-5;") != std::string::npos, csv.c_str());
    QVERIFY2(csv.find(guarded.toStdString()) != std::string::npos, csv.c_str());

    Sheet kept; // the CSV's cells as a spreadsheet that opened it saves them
    kept.rows = {{{"Équipe", {}}, {"Remarque", {}}},
                 {{guardedCellText(team.name), {}}, {guardedCellText(cell), {}}}};
    Files files;
    const std::vector<std::pair<QString, std::string>> written{
        {"entrees.csv", csv},
        {"entrees.ods", assignmentOds(list, *assigned.assignment)},
        {"tableur.ods", velmorin::testing::sheetOds(kept, false)},
        {"tableur.xlsx", velmorin::testing::sheetXlsx(kept)}};
    for (const auto &[name, bytes] : written) {
        const TeamListResult back = readPath(files.write(name, QByteArray::fromStdString(bytes)));
        QVERIFY2(back.ok(), back.error.c_str());
        QCOMPARE(q(back.list->teams.at(0).name), q(team.name));
        const auto &extra = back.list->extraColumns;
        const auto column = std::find(extra.begin(), extra.end(), "Remarque") - extra.begin();
        // The entries' ODS writes a line break as a new paragraph: a lone CR comes back as LF.
        const QString expected = name != "entrees.ods" ? text : QString(text).replace('\r', '\n');
        QCOMPARE(q(back.list->teams.at(0).extra.at(static_cast<std::size_t>(column))), expected);
    }
}
