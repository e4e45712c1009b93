// Team lists and entries written and read back equal; reading leaves the file as it was.

#include "tst_teamfile.h"

using namespace velmorin;
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
