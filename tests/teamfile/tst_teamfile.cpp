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
        << QStringList{"Liste « liste.ods », ligne 6 : l'équipe « B » porte le nom de l'équipe "
                       "« B » de la ligne 5 (les majuscules, les accents, les espaces et la "
                       "ponctuation ne comptent pas)."};
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

namespace {

const std::string kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

std::string worksheet(const std::string &rows, const std::string &prefix = {})
{
    const std::string p = prefix.empty() ? "" : prefix + ':';
    return "<" + p + "worksheet xmlns" + (prefix.empty() ? "" : ':' + prefix) + "=\"" + kMainNs +
           "\"><" + p + "sheetData>" + rows + "</" + p + "sheetData></" + p + "worksheet>";
}

// A cell holding a text of its own.
std::string inlineCell(const std::string &name, const std::string &text)
{
    return "<c r=\"" + name + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

const std::string kXlsxHeader = "<row r=\"1\">" + inlineCell("A1", "Équipe") +
                                inlineCell("B1", "Club") + inlineCell("C1", "Niveau") +
                                inlineCell("D1", "Points") + inlineCell("E1", "Inscrite") +
                                inlineCell("F1", "Licence") + "</row>";

} // namespace

void TestTeamFile::xlsxSheets_data()
{
    QTest::addColumn<XlsxParts>("parts");
    QTest::addColumn<QStringList>("teams");

    // Shared strings in runs with a phonetic guide, a formula's number and text, a date by a
    // built-in and by a custom format, a number whose format only quotes a "d", a boolean.
    const std::string shared = "<sst xmlns=\"" + kMainNs +
                               "\"><si><r><t>Club </t></r><r><t xml:space=\"preserve\">du "
                               "Lac</t></r><rPh><t>ルビ</t></rPh></si><si><t>Les &amp; As</t></si>"
                               "</sst>";
    const std::string styles = "<styleSheet xmlns=\"" + kMainNs +
                               "\"><numFmts><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy;@\"/>"
                               "<numFmt numFmtId=\"165\" formatCode=\"0.0&quot; d&quot;\"/>"
                               "</numFmts><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>"
                               "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf "
                               "numFmtId=\"164\"/><xf numFmtId=\"165\"/></cellXfs></styleSheet>";
    const std::string rows =
        kXlsxHeader +
        "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\" t=\"s\"><v>0</v></c>"
        "<c r=\"C2\"><f>1+1</f><v>2</v></c><c r=\"D2\" s=\"3\"><v>12.5</v></c>"
        "<c r=\"E2\" s=\"1\"><v>46453</v></c><c r=\"F2\" t=\"b\"><v>1</v></c></row>"
        "<row r=\"3\"><c r=\"A3\" t=\"str\"><f>\"B\"&amp;\"leus\"</f><v>Bleus</v></c>"
        "<c r=\"E3\" s=\"2\"><v>59</v></c><c r=\"F3\" t=\"b\"><v>0</v></c></row>";
    QTest::newRow("cells of every kind")
        << XlsxParts{{"xl/worksheets/sheet1.xml", worksheet(rows)},
                     {"xl/sharedStrings.xml", shared},
                     {"xl/styles.xml", styles}}
        << QStringList{"2|Les & As|Club du Lac|2|12.5|07/03/2027|VRAI",
                       "3|Bleus||||28/02/1900|FAUX"};
    // Rows and cells may leave out their references: they follow the one before.
    QTest::newRow("cells without references")
        << XlsxParts{{"xl/worksheets/sheet1.xml",
                      worksheet(
                          "<row>" + inlineCell("", "Équipe") + inlineCell("", "Club") +
                              inlineCell("", "Niveau") +
                              "</row><row r=\"4\"><c t=\"inlineStr\"><is><t>A</t></is></c>"
                              "<c r=\"C4\" t=\"inlineStr\"><is><t>Régionale</t></is></c></row>"
                              "<row><c t=\"inlineStr\"><is><t>B</t></is></c></row>",
                          "x")}}
        << QStringList{"4|A||Régionale|", "5|B|||"};
    // The first sheet is the first tab, wherever its part lies; dates counted from 1904.
    const std::string ns = "http://schemas.openxmlformats.org/";
    QTest::newRow("first tab, 1904 dates")
        << XlsxParts{{"xl/workbook.xml",
                      "<workbook xmlns=\"" + ns + "spreadsheetml/2006/main\" xmlns:rel=\"" + ns +
                          "officeDocument/2006/relationships\"><workbookPr date1904=\"1\"/><sheets>"
                          "<sheet name=\"Inscrites\" sheetId=\"2\" rel:id=\"rId7\"/><sheet "
                          "name=\"Brouillon\" sheetId=\"1\" rel:id=\"rId1\"/></sheets></workbook>"},
                     {"xl/_rels/workbook.xml.rels",
                      "<Relationships xmlns=\"" + ns +
                          "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + ns +
                          "officeDocument/2006/relationships/worksheet\" "
                          "Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId7\" Type=\"" +
                          ns +
                          "officeDocument/2006/relationships/worksheet\" "
                          "Target=\"/xl/worksheets/../feuilles/inscrites.xml\"/><Relationship "
                          "Id=\"rId3\" Type=\"" +
                          ns +
                          "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
                          "</Relationships>"},
                     {"xl/worksheets/sheet1.xml", worksheet("<row><c><v>1</v></c></row>")},
                     {"xl/feuilles/inscrites.xml",
                      worksheet(kXlsxHeader + "<row r=\"2\">" + inlineCell("A2", "A") +
                                "<c r=\"E2\" s=\"1\"><v>45000</v></c></row>")},
                     {"xl/styles.xml", styles}}
        << QStringList{"2|A||||16/03/2027|"};
}

void TestTeamFile::xlsxSheets()
{
    QFETCH(XlsxParts, parts);
    QFETCH(QStringList, teams);

    const TeamListResult result =
        readTeamListBytes(velmorin::testing::xlsxPackage(parts), "liste.xlsx");
    QVERIFY2(result.ok(), result.error.c_str());
    QCOMPARE(describe(*result.list), teams);
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

namespace {

// What a part's reader sees, as "<ns:name" for an element's start with its attributes
// "@ns:name=value" before it, the text as it is, and "/name" for its end; "refusée" when the
// parser throws.
class PartTrace
{
public:
    void attribute(velmorin::XmlName name, std::string_view value)
    {
        trace += '@' + std::to_string(name.ns) + ':' + std::string(name.name) + '=' +
                 std::string(value) + ' ';
    }
    void startElement(velmorin::XmlName name)
    {
        trace += '<' + std::to_string(name.ns) + ':' + std::string(name.name) + ' ';
    }
    void endElement(velmorin::XmlName name) { trace += '/' + std::string(name.name) + ' '; }
    void characters(std::string_view text) { trace += text; }

    std::string trace;
};

} // namespace

void TestTeamFile::xmlParts_data()
{
    QTest::addColumn<QByteArray>("part");
    QTest::addColumn<QString>("trace");

    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const QByteArray whole = head + "<sst><si><t xml:space=\"preserve\">Équipe</t></si></sst>";
    const QString wholeTrace = "<-1:sst <-1:si @-2:space=preserve <-1:t Équipe/t /si /sst ";
    QTest::newRow("whole") << whole << wholeTrace;
    QTest::newRow("byte-order mark first") << "\xEF\xBB\xBF" + whole << wholeTrace;
    QTest::newRow("zero bytes after the root") << whole + QByteArray(2, '\0') << wholeTrace;
    QTest::newRow("a second root is not read") << head + "<sst/><sst/>"
                                               << "<-1:sst /sst ";
    QTest::newRow("entities") << head + "<t>a &amp; b &#233;&lt;</t>"
                              << "<-1:t a & b é</t ";
    // Prefixes declared on the element that uses them, after it, or again inside, and the
    // default namespace: each name in the namespace it stands for where it stands.
    QTest::newRow("namespaces")
        << QByteArray("<x:doc xmlns:x=\"urn:a\"><x:c y:v=\"1\" xmlns:y=\"urn:b\" v=\"2\"/>"
                      "<c xmlns=\"urn:a\"/><x:p xmlns:x=\"urn:b\"/><x:q z:w=\"3\"/><c/></x:doc>")
        << "<0:doc @1:v=1 @-1:v=2 <0:c /c <0:c /c <1:p /p @-2:w=3 <0:q /q <-1:c /c /doc ";
    QTest::newRow("empty") << QByteArray() << "refusée";
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1A\n<\0\0", 11) << "refusée";
    for (const qsizetype cut : {whole.size() - 1, whole.indexOf("</si>"), whole.indexOf("<t ") + 4,
                                whole.indexOf("preserve") + 2, qsizetype(3)})
        QTest::addRow("cut at %d", int(cut)) << whole.left(cut) << "refusée";
    QTest::newRow("cut after a high byte") << QByteArray("\xC3<sst><si") << "refusée";
    QTest::newRow("unclosed comment") << head + "<sst><!-- a</sst>"
                                      << "refusée";
    // The parser read these past their end, or aborted the program.
    QTest::newRow("value left open after a reference") << head + "<sst><t a=\"x&amp;y></t></sst>"
                                                       << "refusée";
    QTest::newRow("reference in a single-quoted value")
        << head + "<sst><t a='&amp;'/><t b=\"\"/></sst>"
        << "refusée";
    QTest::newRow("character beyond Unicode") << head + "<sst>&#x110000;</sst>"
                                              << "refusée";
    QTest::newRow("last character of Unicode") << head + "<t>&#1114111;</t>"
                                               << "<-1:t \xF4\x8F\xBF\xBF/t ";
    QTest::newRow("control byte in a tag") << head + "<sst\x01/>"
                                           << "refusée";
    QTest::newRow("crossed elements") << head + "<sst><si></sst></si>"
                                      << "refusée";
    QTest::newRow("document type") << head + "<!DOCTYPE sst [<!ENTITY a \"b\">]><sst>&a;</sst>"
                                   << "refusée";
}

void TestTeamFile::xmlParts()
{
    QFETCH(QByteArray, part);
    QFETCH(QString, trace);
    constexpr std::array<std::string_view, 2> namespaces{"urn:a", "urn:b"};
    PartTrace seen;
    try {
        velmorin::parseXmlPart(std::vector<unsigned char>(part.begin(), part.end()), seen,
                               namespaces);
    } catch (const std::exception &) {
        seen.trace = "refusée";
    }
    QCOMPARE(q(seen.trace), trace);
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
