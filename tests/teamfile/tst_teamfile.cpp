// Team lists read from CSV, ODS and XLSX files alike, and the files refused.

#include "tst_teamfile.h"

using namespace velmorin;
using velmorin::testing::teamListFromCsv;

void TestTeamFile::sameListEveryFormat_data()
{
    using velmorin::testing::Sheet;
    using velmorin::testing::SheetCell;
    QTest::addColumn<Sheet>("sheet");
    QTest::addColumn<int>("filled"); // cells under a merge, as the warning counts them

    const auto text = [](const char *t) { return SheetCell{t, std::nullopt}; };
    const auto number = [](const char *shown, double value) { return SheetCell{shown, value}; };
    const std::vector<SheetCell> header{text("Équipe"), text("Club"), text("Niveau"),
                                        text("Points"), text("Remarque")};
    Sheet clubs;
    clubs.rows = {header,
                  {text("Les As"), text("Boule d'Or"), number("1", 1), number("224,5", 224.5)},
                  {text("Les Rois"), {}, number("2", 2), number("1 723", 1723)},
                  {text("Les Fous"), {}, {}, number("12", 12), text("forfait ?")},
                  {text("Les Tireurs"), text("Pétanque « Est »"), number("1", 1), {}}};
    for (auto &row : clubs.rows)
        row.resize(header.size());
    clubs.merges = {{1, 1, 3, 1}};
    QTest::newRow("club merged down") << clubs << 2;

    Sheet rowEnd = clubs;
    rowEnd.merges = {{1, 4, 2, 1}, {3, 1, 2, 1}};
    rowEnd.rows[1][4] = text("tête de série");
    rowEnd.rows[2][1] = text("Le Cochonnet");
    rowEnd.rows[3][4] = {};
    QTest::newRow("covered cells at the row's end") << rowEnd << 1;

    Sheet lines;
    lines.rows = {header,
                  {text("Les As\nde Lyon"), text("Boule d'Or"), {}, number("12 345", 12345)},
                  {text("B"), text("C"), {}, {}, text("arrive à 9 h\nsans son tireur")}};
    QTest::newRow("lines inside cells") << lines << 0;

    Sheet titled = clubs;
    titled.rows.insert(titled.rows.begin(), {text("Coupe de l'Ain 2025"), {}, {}, {}, {}});
    titled.rows.insert(titled.rows.begin() + 1, {text("inscriptions du 3 mai")});
    titled.merges = {{0, 0, 1, 5}, {3, 1, 3, 1}};
    QTest::newRow("title rows") << titled << 6;
}

void TestTeamFile::sameListEveryFormat()
{
    using namespace velmorin::testing;
    QFETCH(Sheet, sheet);
    QFETCH(int, filled);

    const std::vector<std::pair<QString, std::string>> files{
        {"ODS with merges", sheetOds(sheet, true)},
        {"ODS written out", sheetOds(sheet, false)},
        {"XLSX", sheetXlsx(sheet)},
        {"CSV ; Windows-1252", sheetCsv(sheet, ';', false, true)},
        {"CSV ; UTF-8 BOM", sheetCsv(sheet, ';', true, false)},
        {"CSV ,", sheetCsv(sheet, ',', false, false)}};
    QStringList firstTeams;
    std::string firstEntries;
    for (const auto &[kind, bytes] : files) {
        const TeamListResult read = readTeamListBytes(bytes, "liste");
        QVERIFY2(read.ok(), qPrintable(kind + ": " + q(read.error)));
        const bool merged = kind == "ODS with merges" || kind == "XLSX";
        QCOMPARE(read.warnings.size(), std::size_t(merged && filled > 0));
        if (merged && filled > 0)
            QVERIFY2(q(read.warnings.front()).contains(QString::number(filled) + " cellule"),
                     qPrintable(kind));
        const QStringList teams = describe(*read.list, false);
        // The entries of one draw, as the French spreadsheet's CSV: byte for byte the same.
        const TeamList &list = *read.list;
        std::array<Count, kEntryRounds> entrants{};
        entrants[0] = Count(list.teams.size()) - 1;
        entrants[3] = 1;
        const AssignmentResult assigned =
            assignTeams(list, LevelMapping::defaults(list), entrants, 7);
        QVERIFY(assigned.ok());
        std::ostringstream out;
        OstreamSink sink(out);
        QVERIFY(writeAssignmentFrenchCsv(list, *assigned.assignment, sink));
        if (firstTeams.isEmpty()) {
            firstTeams = teams;
            firstEntries = out.str();
            continue;
        }
        QVERIFY2(teams == firstTeams,
                 qPrintable(kind + ": " + teams.join(" ; ") + " / " + firstTeams.join(" ; ")));
        QVERIFY2(out.str() == firstEntries, qPrintable(kind + ":\n" + q(out.str())));
    }
    // The French CSV reads back, mark and all, as the same teams.
    QVERIFY(firstEntries.rfind(std::string(kUtf8Bom), 0) == 0);
    const TeamListResult back = readTeamListBytes(firstEntries, "entrees.csv");
    QVERIFY2(back.ok(), back.error.c_str());
    QCOMPARE(back.list->teams.size(), firstTeams.size());
    QCOMPARE(back.list->extraColumns.back(), std::string(kOutOfLevelColumn));
}

void TestTeamFile::odsSheets_data()
{
    QTest::addColumn<QString>("tables");
    QTest::addColumn<QStringList>("teams");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("warnings");

    const QString header = row({"Équipe", "Club", "Niveau", "Points"});
    QTest::newRow("first sheet only")
        << table("Inscrites", header + row({"A", "X", "1", "12.5"})) +
               table("Brouillon", row({"Club"}) + row({"n'importe quoi"}))
        << QStringList{"2|A|X|1|12.5"} << QString() << QStringList{};
    // A sheet stores equal rows once with a repeat count: blank rows between blocks, two
    // teams written alike. Each one counts, and so do the lines.
    QTest::newRow("repeated rows")
        << table("Feuille1", header + row({"", ""}, 3) + row({"B", "Y", "2"}, 2) +
                                 row({"C", "Y", "4", "3"}) + row({""}, 1048000))
        << QStringList{"5|B|Y|2|", "6|B|Y|2|", "7|C|Y|4|3"} << QString()
        << QStringList{"Liste « liste.ods », ligne 6 : l'équipe « B » du club « Y » figure "
                       "déjà ligne 5."};
    QTest::newRow("faulty rows counted past repeats")
        << table("Feuille1",
                 row({"", ""}, 2) + header + row({"A"}) + row({""}, 4) + row({"B", "", "0"}))
        << QStringList{}
        << "Liste « liste.ods » refusée : 1 ligne en erreur.\n"
           "ligne 9, colonne C « Niveau » : « 0 » n'est pas un niveau (nombre entier à "
           "partir de 1 ou nom de division)"
        << QStringList{};
    // Counts that add up past 2^64 lines: the sheet is no smaller for it.
    const qint64 most = std::numeric_limits<qint64>::max();
    QTest::newRow("blank rows past 2^64 lines")
        << table("Feuille1", header + row({""}, most) + row({""}, most) + row({"A"}))
        << QStringList{}
        << "Liste « liste.ods » refusée : la première feuille a plus de 1 048 576 lignes."
        << QStringList{};
    QTest::newRow("a team repeated past the sheet's size")
        << table("Feuille1", header + row({"A"}, 2000000)) << QStringList{}
        << "Liste « liste.ods » refusée : la première feuille a plus de 1 048 576 lignes."
        << QStringList{};
}

void TestTeamFile::odsSheets()
{
    QFETCH(QString, tables);
    QFETCH(QStringList, teams);
    QFETCH(QString, error);
    QFETCH(QStringList, warnings);

    Files files;
    const QByteArray document = odsDocument(tables);
    QVERIFY(!document.isEmpty());
    const TeamListResult result = readPath(files.write("liste.ods", document));
    QCOMPARE(q(result.error), error);
    QCOMPARE(result.ok(), error.isEmpty());
    if (result.ok())
        QCOMPARE(describe(*result.list), teams);
    QStringList found;
    for (const std::string &warning : result.warnings)
        found << q(warning);
    QCOMPARE(found, warnings);
}

void TestTeamFile::refusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QString excel = " refusée : les classeurs Excel 97-2003 (.xls) ne sont pas lus ; "
                          "enregistrez-le au format XLSX, ODS ou CSV depuis le tableur, puis "
                          "ouvrez ce fichier.";
    QTest::newRow(".XLS by its name")
        << "EQUIPES.XLS" << QByteArray("Équipe\nA\n") << "Liste « EQUIPES.XLS »" + excel;
    QTest::newRow("Excel 97 named .csv")
        << "equipes.csv" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0", 11)
        << "Liste « equipes.csv »" + excel;
    QTest::newRow("xlsx named .ods") << "equipes.ods"
                                     << QByteArray("PK\x03\x04\x14\0\0\0[Content_Types].xml "
                                                   "xl/workbook.xml",
                                                   44)
                                     << "Liste « equipes.ods » refusée : le classeur Excel est "
                                        "illisible (fichier abîmé ?).";
    QTest::newRow("short zip") << "archive.zip" << QByteArray("PK\x03\x04 word/document.xml")
                               << "Liste « archive.zip » refusée : ce n'est ni une liste CSV "
                                  "ni un classeur ODS ou XLSX.";
    QByteArray broken = odsDocument(table("Feuille1", row({"Équipe"}) + row({"A"})));
    broken.truncate(broken.size() / 2);
    // The sheet's XML damaged inside the zip, its directory intact: the reading stops at the
    // first error instead of waiting for data that never comes.
    QString rows = row({"Équipe", "Club"});
    for (int k = 0; k < 200; ++k)
        rows += row({QStringLiteral("Équipe %1").arg(k), QStringLiteral("Club %1").arg(k % 7)});
    QByteArray inflateFails = odsDocument(table("Feuille1", rows));
    const qsizetype header = inflateFails.indexOf("content.xml") - 30;
    const auto field = [&inflateFails, header](int offset) {
        return int(uchar(inflateFails[header + offset])) |
               int(uchar(inflateFails[header + offset + 1])) << 8;
    };
    const qsizetype data = header + 30 + field(26) + field(28);
    for (qsizetype k = data + 16; k < data + 48; ++k)
        inflateFails[k] = char(0xFF);
    QTest::newRow("damaged deflate stream")
        << "abime.ods" << inflateFails
        << "Liste « abime.ods » refusée : le classeur ODS est illisible (fichier abîmé ?).";
    // liborcus's XML parser, built with assertions, aborted the program on this workbook.
    QFile crashed(QStringLiteral(
        VELMORIN_SOURCE_DIR "/fuzz/corpus/fuzz_teamxlsx/regression-shared-strings-cut-in-a-tag"));
    QVERIFY(crashed.open(QIODevice::ReadOnly));
    QTest::newRow("XLSX whose shared strings are cut inside a tag")
        << "abime.xlsx" << crashed.readAll()
        << "Liste « abime.xlsx » refusée : le classeur Excel est illisible (fichier abîmé ?).";
    QTest::newRow("damaged ODS") << "abime.ods" << broken
                                 << "Liste « abime.ods » refusée : le classeur ODS est illisible "
                                    "(fichier abîmé ?).";
}

void TestTeamFile::refusals()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);

    Files files;
    const TeamListResult result = readPath(files.write(name, bytes));
    QVERIFY(!result.ok());
    QCOMPARE(q(result.error), error);
}

void TestTeamFile::xmlParts_data()
{
    QTest::addColumn<QByteArray>("part");
    QTest::addColumn<bool>("sound");

    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const QByteArray whole = head + "<sst><si><t xml:space=\"preserve\">Équipe</t></si></sst>";
    QTest::newRow("whole") << whole << true;
    QTest::newRow("byte-order mark and spaces first") << "\xEF\xBB\xBF \n" + whole << true;
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1A\n<\0\0", 11) << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("zero bytes last") << whole + QByteArray(2, '\0') << true;
    for (const qsizetype cut :
         {whole.size() - 1, whole.indexOf("<t ") + 4, whole.indexOf("preserve") + 2, qsizetype(3)})
        QTest::addRow("cut at %d", int(cut)) << whole.left(cut) << false;
    QTest::newRow("cut after a high byte") << QByteArray("\xC3<sst><si") << false;
    QTest::newRow("unclosed comment") << head + "<sst><!-- a</sst>" << false;
    QTest::newRow("bad character") << head + "<sst>\x01</sst>" << false;
    QTest::newRow("zero byte") << QByteArray("<sst>\0</sst>", 12) << false;
    QTest::newRow("document type")
        << head + "<!DOCTYPE sst [<!ENTITY a \"b\">]><sst>&a;</sst>" << false;
    QTest::newRow("two roots") << head + "<sst/><sst/>" << false;
}

void TestTeamFile::xmlParts()
{
    QFETCH(QByteArray, part);
    QFETCH(bool, sound);
    QCOMPARE(xmlPartIsSound(std::string_view(part.constData(), std::size_t(part.size()))), sound);
}

void TestTeamFile::readsCsvFiles()
{
    Files files;
    const TeamListResult csv = readPath(files.write("liste.txt", "Nom,Club\nA,B\n"));
    QVERIFY2(csv.ok(), csv.error.c_str());
    QCOMPARE(describe(*csv.list), QStringList{"2|A|B||"});

    const TeamListResult missing = readPath(files.path("absente.csv"));
    QCOMPARE(q(missing.error), "Liste « absente.csv » refusée : fichier introuvable.");

    const QString sample = QFINDTESTDATA("../../docs/exemple-equipes.csv");
    const TeamListResult shipped = readPath(sample);
    QVERIFY2(shipped.ok(), shipped.error.c_str());
    QCOMPARE(shipped.list->teams.size(), std::size_t(80));
    QVERIFY(shipped.warnings.empty());

    // The spreadsheet beside it is the same list.
    const TeamListResult sheet = readPath(QFINDTESTDATA("../../docs/exemple-equipes.ods"));
    QVERIFY2(sheet.ok(), sheet.error.c_str());
    QCOMPARE(describe(*sheet.list), describe(*shipped.list));
    QCOMPARE(sheet.list->extraColumns, shipped.list->extraColumns);
}
