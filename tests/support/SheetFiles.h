#pragma once

// One small sheet written as every kind of list file a spreadsheet saves: ODS with its merges
// (covered cells) or with every cell written out, XLSX with its merges, and CSV in UTF-8 with
// a byte-order mark, in Windows-1252 with ';' and in UTF-8 with ','.

#include "EntriesOds.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmorin::testing {

struct SheetCell
{
    std::string text;             // as the sheet shows it ("1 723" for a number)
    std::optional<double> number; // the number the cell holds
};

struct SheetMerge
{
    std::size_t row = 0, column = 0, rows = 1, columns = 1;
};

struct Sheet
{
    std::vector<std::vector<SheetCell>> rows;
    std::vector<SheetMerge> merges;

    // The merged cell whose range holds (row, column), other than its own first cell.
    const SheetMerge *coveredBy(std::size_t row, std::size_t column) const
    {
        for (const SheetMerge &m : merges) {
            if (row >= m.row && row < m.row + m.rows && column >= m.column &&
                column < m.column + m.columns && (row != m.row || column != m.column))
                return &m;
        }
        return nullptr;
    }
    SheetCell shown(std::size_t row, std::size_t column) const
    {
        if (const SheetMerge *m = coveredBy(row, column))
            return shown(m->row, m->column);
        return column < rows[row].size() ? rows[row][column] : SheetCell{};
    }
};

inline std::string xmlEscaped(const std::string &text)
{
    std::string xml;
    for (const char c : text) {
        if (c == '<')
            xml += "&lt;";
        else if (c == '&')
            xml += "&amp;";
        else if (c == '>')
            xml += "&gt;";
        else if (c == '"')
            xml += "&quot;";
        else
            xml += c;
    }
    return xml;
}

inline std::string odsCell(const SheetCell &cell, const std::string &spans = {})
{
    if (cell.text.empty() && !cell.number)
        return "<table:table-cell" + spans + "/>";
    std::string xml = "<table:table-cell" + spans;
    if (cell.number)
        xml += " office:value-type=\"float\" office:value=\"" + formatPoints(*cell.number, '.') +
               "\">";
    else
        xml += " office:value-type=\"string\">";
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = cell.text.find('\n', from);
        xml += "<text:p>" + xmlEscaped(cell.text.substr(from, end - from)) + "</text:p>";
        if (end == std::string::npos)
            break;
        from = end + 1;
    }
    return xml + "</table:table-cell>";
}

// merged: the merges as a spreadsheet stores them; otherwise every cell written out.
inline std::string sheetOds(const Sheet &sheet, bool merged)
{
    std::string xml(kOdsContentStart);
    xml += "<table:table table:name=\"Feuille1\">";
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        xml += "<table:table-row>";
        const std::size_t width = std::max<std::size_t>(sheet.rows[r].size(), 8);
        for (std::size_t c = 0; c < width; ++c) {
            if (!merged) {
                xml += odsCell(sheet.shown(r, c));
                continue;
            }
            if (sheet.coveredBy(r, c)) {
                xml += "<table:covered-table-cell/>";
                continue;
            }
            std::string spans;
            for (const SheetMerge &m : sheet.merges) {
                if (m.row == r && m.column == c)
                    spans = " table:number-rows-spanned=\"" + std::to_string(m.rows) +
                            "\" table:number-columns-spanned=\"" + std::to_string(m.columns) + "\"";
            }
            xml += odsCell(c < sheet.rows[r].size() ? sheet.rows[r][c] : SheetCell{}, spans);
        }
        xml += "</table:table-row>";
    }
    xml += "</table:table>";
    xml += kOdsContentEnd;
    return odsPackage(xml);
}

inline std::string cellName(std::size_t row, std::size_t column)
{
    return columnLetters(column) + std::to_string(row + 1);
}

// A workbook of one sheet around `parts` ("xl/worksheets/sheet1.xml", "xl/sharedStrings.xml",
// "xl/styles.xml"…), each given part standing for the usual one.
inline std::string xlsxPackage(const std::map<std::string, std::string> &parts)
{
    const std::string ns = "http://schemas.openxmlformats.org/";
    const std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Types xmlns=\"" + ns +
        "package/2006/content-types\"><Default Extension=\"rels\" ContentType=\"application/"
        "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
        "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+"
        "xml\"/><Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/><Override "
        "PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-"
        "officedocument.spreadsheetml.sharedStrings+xml\"/></Types>";
    const std::string rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"" +
                             ns + "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
                             ns +
                             "officeDocument/2006/relationships/officeDocument\" "
                             "Target=\"xl/workbook.xml\"/></Relationships>";
    const std::string workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook xmlns=\"" + ns +
        "spreadsheetml/2006/main\" xmlns:r=\"" + ns +
        "officeDocument/2006/relationships\"><sheets><sheet name=\"Feuille1\" sheetId=\"1\" "
        "r:id=\"rId1\"/></sheets></workbook>";
    const std::string workbookRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"" + ns +
        "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + ns +
        "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"" +
        ns +
        "officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"" +
        ns + "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/></Relationships>";
    std::map<std::string, std::string> files{{"[Content_Types].xml", types},
                                             {"_rels/.rels", rels},
                                             {"xl/workbook.xml", workbook},
                                             {"xl/_rels/workbook.xml.rels", workbookRels}};
    for (const auto &[name, text] : parts)
        files[name] = text;
    std::vector<std::pair<std::string_view, std::string_view>> entries(files.begin(), files.end());
    return zipPackage(entries);
}

inline std::string sheetXlsx(const Sheet &sheet)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    std::vector<std::string> strings;
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        xml += "<row r=\"" + std::to_string(r + 1) + "\">";
        for (std::size_t c = 0; c < sheet.rows[r].size(); ++c) {
            const SheetCell &cell = sheet.rows[r][c];
            if (sheet.coveredBy(r, c) || (cell.text.empty() && !cell.number))
                continue;
            if (cell.number) {
                xml += "<c r=\"" + cellName(r, c) + "\"><v>" + formatPoints(*cell.number, '.') +
                       "</v></c>";
            } else {
                xml += "<c r=\"" + cellName(r, c) + "\" t=\"s\"><v>" +
                       std::to_string(strings.size()) + "</v></c>";
                strings.push_back(cell.text);
            }
        }
        xml += "</row>";
    }
    xml += "</sheetData>";
    if (!sheet.merges.empty()) {
        xml += "<mergeCells count=\"" + std::to_string(sheet.merges.size()) + "\">";
        for (const SheetMerge &m : sheet.merges)
            xml += "<mergeCell ref=\"" + cellName(m.row, m.column) + ':' +
                   cellName(m.row + m.rows - 1, m.column + m.columns - 1) + "\"/>";
        xml += "</mergeCells>";
    }
    xml += "</worksheet>";
    std::string shared = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst "
                         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (const std::string &s : strings)
        shared += "<si><t xml:space=\"preserve\">" + xmlEscaped(s) + "</t></si>";
    shared += "</sst>";
    return xlsxPackage({{"xl/worksheets/sheet1.xml", xml}, {"xl/sharedStrings.xml", shared}});
}

// A team list as an Excel workbook: text cells, the levels and points as numbers.
inline std::string teamListXlsx(const TeamList &list)
{
    Sheet sheet;
    sheet.rows.push_back({{"Équipe", {}}, {"Club", {}}, {"Niveau", {}}, {"Points", {}}});
    for (const std::string &column : list.extraColumns)
        sheet.rows.back().push_back({column, {}});
    for (const Team &team : list.teams) {
        sheet.rows.push_back({{team.name, {}}, {team.club, {}}, {{}, {}}, {{}, team.points}});
        if (team.level && team.level->isNumber())
            sheet.rows.back()[2] = {team.level->text(), double(team.level->number())};
        else if (team.level)
            sheet.rows.back()[2] = {team.level->text(), {}};
        for (const std::string &value : team.extra)
            sheet.rows.back().push_back({value, {}});
    }
    return sheetXlsx(sheet);
}

// The sheet as CSV, each cell as the sheet shows it; `windows1252` re-encodes Latin-1 letters.
inline std::string sheetCsv(const Sheet &sheet, char separator, bool bom, bool windows1252)
{
    std::string csv = bom ? "\xEF\xBB\xBF" : "";
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        for (std::size_t c = 0; c < sheet.rows[r].size(); ++c) {
            std::string text = sheet.shown(r, c).text;
            if (separator == ',' && sheet.shown(r, c).number)
                text = formatPoints(*sheet.shown(r, c).number, '.');
            if (c)
                csv += separator;
            if (text.find_first_of(",;\"\n") != std::string::npos) {
                std::string quoted = "\"";
                for (const char ch : text)
                    quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
                text = quoted + '"';
            }
            csv += text;
        }
        csv += '\n';
    }
    if (!windows1252)
        return csv;
    std::string latin;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const auto byte = static_cast<unsigned char>(csv[i]);
        if ((byte == 0xC2 || byte == 0xC3) && i + 1 < csv.size()) {
            latin += static_cast<char>(((byte & 0x03) << 6) | (csv[i + 1] & 0x3F));
            ++i;
        } else {
            latin += csv[i];
        }
    }
    return latin;
}

} // namespace velmorin::testing
