// The first sheet of an XLSX workbook, read part by part with liborcus's zip archive and XML
// parser: the workbook's first sheet, the shared strings, the number formats that make a date,
// and the sheet's cells and merges. No formula engine: a formula shows its last result.

#include "CsvWriter.h"
#include "SheetRows.h"
#include "XlsxParts.h"
#include "ZipXml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace velmorin {

namespace {

// The most columns a merge fills.
constexpr std::size_t kWidestMerge = 256;

std::optional<double> numberOf(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "B12" as its row and column from 0; nothing for what is not a cell of a sheet.
std::optional<std::pair<std::size_t, std::size_t>> cellAt(std::string_view name)
{
    std::size_t i = 0;
    std::size_t column = 0;
    for (; i < name.size() && name[i] >= 'A' && name[i] <= 'Z' && column <= kWidestSheet; ++i)
        column = column * 26 + std::size_t(name[i] - 'A' + 1);
    std::size_t row = 0;
    const std::size_t letters = i;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && row <= kLargestSheet; ++i)
        row = row * 10 + std::size_t(name[i] - '0');
    if (i != name.size() || letters == 0 || column == 0 || column > kWidestSheet || row == 0 ||
        row > kLargestSheet)
        return std::nullopt;
    return std::pair{row - 1, column - 1};
}

// The shared strings; a string in runs is their text put together, its phonetic guide left out.
struct SharedStrings
{
    std::vector<std::string> strings;

    void startElement(XmlName element)
    {
        if (element.name == "si")
            strings.emplace_back();
        else if (element.name == "t")
            m_inText = m_phonetic == 0 && !strings.empty();
        else if (element.name == "rPh")
            ++m_phonetic;
    }
    void endElement(XmlName element)
    {
        if (element.name == "t")
            m_inText = false;
        else if (element.name == "rPh" && m_phonetic > 0)
            --m_phonetic;
    }
    void characters(std::string_view text)
    {
        if (m_inText)
            strings.back() += text;
    }
    void attribute(XmlName, std::string_view) {}

private:
    bool m_inText = false;
    int m_phonetic = 0;
};

// The sheet's cells by row, and its merges.
class SheetCells
{
public:
    struct Range
    {
        std::pair<std::size_t, std::size_t> first, last;
    };
    std::vector<SourceRow> rows; // in the order of their lines
    std::vector<Range> merges;

    SheetCells(const std::vector<std::string> &strings, const std::vector<bool> &dateFormats,
               bool dates1904)
        : m_strings(strings), m_dateFormats(dateFormats), m_dates1904(dates1904)
    {}

    void startElement(XmlName element)
    {
        const std::string_view name = element.name;
        if (name == "row") {
            m_row = m_rowName ? m_rowName : m_row + 1;
            m_column = 0;
        } else if (name == "c") {
            m_inCell = true;
            m_cellRow = m_row;
            if (m_cellAt) {
                m_cellRow = m_cellAt->first + 1;
                m_column = m_cellAt->second;
            }
            m_value.clear();
            m_inlineText.clear();
        } else if (m_inCell && name == "v") {
            m_in = In::Value;
        } else if (m_inCell && name == "t" && m_phonetic == 0) {
            m_in = In::InlineText;
        } else if (m_inCell && name == "rPh") {
            ++m_phonetic;
        } else if (name == "mergeCell" && !m_range.empty()) {
            const std::size_t colon = m_range.find(':');
            const auto first = cellAt(std::string_view(m_range).substr(0, colon));
            const auto last = colon == std::string::npos
                                  ? first
                                  : cellAt(std::string_view(m_range).substr(colon + 1));
            if (first && last)
                merges.push_back({*first, *last});
        }
        m_rowName = 0;
        m_cellAt.reset();
        m_range.clear();
    }

    void endElement(XmlName element)
    {
        const std::string_view name = element.name;
        if (name == "c" && m_inCell) {
            m_inCell = false;
            endCell();
            m_type.clear();
            m_style = 0;
            ++m_column;
        } else if (name == "v" || name == "t") {
            m_in = In::Nothing;
        } else if (name == "rPh" && m_phonetic > 0) {
            --m_phonetic;
        }
    }

    void characters(std::string_view text)
    {
        if (m_in == In::Value)
            m_value += text;
        else if (m_in == In::InlineText)
            m_inlineText += text;
    }

    void attribute(XmlName attr, std::string_view value)
    {
        if (attr.ns != kNoNamespace)
            return;
        if (attr.name == "r") {
            m_cellAt = cellAt(value);
            m_rowName = partIndex(value, 0);
        } else if (attr.name == "ref") {
            m_range.assign(value);
        } else if (attr.name == "t") {
            m_type = value;
        } else if (attr.name == "s") {
            m_style = partIndex(value, 0);
        }
    }

    void put(std::size_t row, std::size_t column, std::string text, std::optional<double> value)
    {
        if (row >= kLargestSheet || column >= kWidestSheet)
            return;
        SourceRow &target = rowAt(row);
        if (target.cells.size() <= column)
            target.cells.resize(column + 1);
        // A text the writers guarded against formulas ("'=x") reads as it was ("=x").
        target.cells[column] = std::string(unguardedCellText(text));
        if (value) {
            if (target.values.size() <= column)
                target.values.resize(column + 1);
            target.values[column] = value;
        }
    }

    // The row of `line`, if it holds anything.
    std::vector<SourceRow>::iterator find(std::size_t line)
    {
        const auto at = lowerBound(line);
        return at != rows.end() && at->line == line ? at : rows.end();
    }

private:
    enum class In { Nothing, Value, InlineText };

    std::vector<SourceRow>::iterator lowerBound(std::size_t line)
    {
        return std::lower_bound(rows.begin(), rows.end(), line,
                                [](const SourceRow &row, std::size_t l) { return row.line < l; });
    }

    // The row from 0 `row`, made when it holds its first cell; rows come in order but may not.
    SourceRow &rowAt(std::size_t row)
    {
        const std::size_t line = row + 1;
        if (rows.empty() || rows.back().line < line) {
            rows.emplace_back().line = line;
            return rows.back();
        }
        if (rows.back().line == line)
            return rows.back();
        auto at = lowerBound(line);
        if (at == rows.end() || at->line != line)
            at = rows.insert(at, SourceRow{line, {}, {}});
        return *at;
    }

    // What the cell shows, and the number it holds.
    void endCell()
    {
        if (m_cellRow == 0)
            return;
        const std::size_t row = m_cellRow - 1;
        if (m_type == "s") {
            const std::size_t index = partIndex(m_value, m_strings.size());
            if (index < m_strings.size() && !m_strings[index].empty())
                put(row, m_column, m_strings[index], std::nullopt);
        } else if (m_type == "inlineStr") {
            if (!m_inlineText.empty())
                put(row, m_column, std::move(m_inlineText), std::nullopt);
        } else if (m_type == "b") {
            if (!m_value.empty())
                put(row, m_column, m_value == "0" || m_value == "false" ? "FAUX" : "VRAI",
                    std::nullopt);
        } else if (m_type == "d") {
            if (!m_value.empty())
                put(row, m_column, isoDateText(m_value), std::nullopt);
        } else if (m_type == "str" || m_type == "e") {
            if (!m_value.empty())
                put(row, m_column, std::move(m_value), std::nullopt);
        } else if (const std::optional<double> number = numberOf(m_value)) {
            if (m_style < m_dateFormats.size() && m_dateFormats[m_style] && *number >= 0 &&
                *number <= kLastDate)
                put(row, m_column, dateText(*number, m_dates1904), std::nullopt);
            else
                put(row, m_column, formatPoints(*number, ','), number);
        }
    }

    const std::vector<std::string> &m_strings;
    const std::vector<bool> &m_dateFormats;
    const bool m_dates1904;

    std::size_t m_row = 0;     // the row from 1; 0 before the first
    std::size_t m_rowName = 0; // the row's "r", or 0
    std::optional<std::pair<std::size_t, std::size_t>> m_cellAt; // a cell's "r"
    std::string m_range;                                         // a merge's "ref"
    bool m_inCell = false;
    std::size_t m_cellRow = 0;
    std::size_t m_column = 0;
    std::string m_type;
    std::size_t m_style = 0;
    In m_in = In::Nothing;
    int m_phonetic = 0;
    std::string m_value;
    std::string m_inlineText;
};

// Every cell under a merge shows the merged cell's content; only the rows that hold anything
// are filled, so a merge over a whole column costs no more than the list.
std::size_t fillMerges(SheetCells &sheet)
{
    std::size_t filled = 0;
    for (const SheetCells::Range &merge : sheet.merges) {
        const auto [firstRow, anchorColumn] = merge.first;
        const auto anchorRow = sheet.find(firstRow + 1);
        if (anchorRow == sheet.rows.end() || anchorColumn >= anchorRow->cells.size())
            continue;
        const std::string text = anchorRow->cells[anchorColumn];
        const std::optional<double> value = anchorColumn < anchorRow->values.size()
                                                ? anchorRow->values[anchorColumn]
                                                : std::nullopt;
        if (text.empty())
            continue;
        // A team list is never this wide: a merge across a whole row is a title's.
        const std::size_t lastColumn =
            std::min({merge.last.second, anchorColumn + kWidestMerge, kWidestSheet - 1});
        // Rows are only filled, never made here: the iterators stay good.
        for (auto at = anchorRow; at != sheet.rows.end() && at->line <= merge.last.first + 1;
             ++at) {
            for (std::size_t c = anchorColumn; c <= lastColumn; ++c) {
                if (at == anchorRow && c == anchorColumn)
                    continue;
                if (c < at->cells.size() && !at->cells[c].empty())
                    continue;
                sheet.put(at->line - 1, c, text, value);
                ++filled;
            }
        }
    }
    return filled;
}

} // namespace

SheetRows readXlsxSheet(std::string_view bytes)
{
    return readZipSheet(bytes, [](ZipXml &zip) -> std::optional<SheetRows> {
        XlsxRelationships package;
        zip.parse("_rels/.rels", package);
        const XlsxRelationships::Target *document = package.ofType("officeDocument");
        const std::string workbookPath =
            document ? partPath("", document->path) : std::string("xl/workbook.xml");
        const std::string_view folder = folderOf(workbookPath);
        XlsxWorkbook workbook;
        XlsxRelationships parts;
        if (!zip.parse(workbookPath, workbook) ||
            !zip.parse(partPath(folder, "_rels/" + workbookPath.substr(folder.size()) + ".rels"),
                       parts))
            return std::nullopt;
        const XlsxRelationships::Target *first =
            workbook.firstSheet ? parts.withId(*workbook.firstSheet) : nullptr;
        if (!first)
            return std::nullopt;
        SharedStrings strings;
        if (const XlsxRelationships::Target *shared = parts.ofType("sharedStrings"))
            zip.parse(partPath(folder, shared->path), strings);
        XlsxStyles styles;
        if (const XlsxRelationships::Target *found = parts.ofType("styles"))
            zip.parse(partPath(folder, found->path), styles);
        SheetCells sheet(strings.strings, styles.dateFormats, workbook.dates1904);
        if (!zip.parse(partPath(folder, first->path), sheet))
            return std::nullopt;
        SheetRows result;
        result.filledFromMerges = fillMerges(sheet);
        result.rows = std::move(sheet.rows);
        return result;
    });
}

} // namespace velmorin
