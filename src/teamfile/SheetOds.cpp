// The first sheet of an ODS file, read with liborcus's zip archive and XML parser. Orcus's own
// ODS import (like libodsstream) drops the covered cells under a merge, which moves every cell
// to their right one column left: here each covered cell keeps its column and shows what the
// merged cell shows.

#include "CsvWriter.h"
#include "SheetRows.h"
#include "ZipXml.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <map>
#include <optional>
#include <string>

namespace velmorin {

namespace {

// The namespaces the sheet's content is read in, in this order.
constexpr int kOfficeNs = 0;
constexpr int kTableNs = 1;
constexpr int kTextNs = 2;
constexpr std::array<std::string_view, 3> kNamespaces = {
    "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "urn:oasis:names:tc:opendocument:xmlns:text:1.0"};

// A count attribute; at least 1, at most `largest` + 1, whatever the file claims.
std::size_t countOf(std::string_view text, std::size_t largest)
{
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range)
        return largest + 1;
    if (error != std::errc() || end != text.data() + text.size() || value == 0)
        return 1;
    return static_cast<std::size_t>(std::min<unsigned long long>(value, largest + 1));
}

// A merged cell: its content and the rows and columns it covers.
struct Merge
{
    std::size_t lastLine = 0;
    std::size_t lastColumn = 0;
    std::string text;
    std::optional<double> value;
};

class ContentHandler
{
public:
    SheetRows sheet;

    void attribute(XmlName attr, std::string_view value)
    {
        if (attr.ns == kTableNs) {
            if (attr.name == "number-columns-repeated")
                m_columnsRepeated = countOf(value, kWidestSheet);
            else if (attr.name == "number-rows-repeated")
                m_rowsRepeated = countOf(value, kLargestSheet);
            else if (attr.name == "number-columns-spanned")
                m_columnsSpanned = countOf(value, kWidestSheet);
            else if (attr.name == "number-rows-spanned")
                m_rowsSpanned = countOf(value, kLargestSheet);
        } else if (attr.ns == kOfficeNs) {
            if (attr.name == "value-type")
                m_floatType = value == "float" || value == "percentage" || value == "currency";
            else if (attr.name == "value")
                m_value.assign(value);
        } else if (attr.ns == kTextNs && attr.name == "c") {
            m_spaces = countOf(value, 1000);
        }
    }

    void startElement(XmlName element)
    {
        if (m_done) {
            clearAttributes();
            return;
        }
        if (element.ns == kTableNs && element.name == "table") {
            ++m_tableDepth;
        } else if (m_tableDepth == 1 && m_skipDepth == 0) {
            if (element.ns == kTableNs)
                startTableElement(element.name);
            else if (m_inCell)
                startInCell(element);
        } else if (m_skipDepth > 0) {
            ++m_skipDepth;
        }
        clearAttributes();
    }

    void endElement(XmlName element)
    {
        if (m_done)
            return;
        if (element.ns == kTableNs && element.name == "table") {
            if (--m_tableDepth == 0)
                m_done = true; // the first sheet only
        } else if (m_skipDepth > 0) {
            --m_skipDepth;
        } else if (m_tableDepth == 1 && element.ns == kTableNs) {
            if (element.name == "table-row")
                endRow();
            else if (element.name == "table-cell" || element.name == "covered-table-cell")
                endCell();
        } else if (m_inCell && element.ns == kTextNs &&
                   (element.name == "p" || element.name == "h")) {
            m_inParagraph = false;
        }
    }

    void characters(std::string_view text)
    {
        if (m_inCell && m_skipDepth == 0 && m_inParagraph)
            m_text += text;
    }

private:
    void clearAttributes()
    {
        m_columnsRepeated = m_rowsRepeated = m_columnsSpanned = m_rowsSpanned = m_spaces = 1;
        m_floatType = false;
        m_value.clear();
    }

    void startTableElement(std::string_view name)
    {
        if (name == "table-row") {
            m_row = SourceRow();
            m_row.line = m_nextLine;
            m_rowRepeat = m_rowsRepeated;
            m_column = 0;
            m_covered.clear();
        } else if (name == "table-cell" || name == "covered-table-cell") {
            m_inCell = true;
            m_covering = name == "covered-table-cell";
            m_cellRepeat = m_columnsRepeated;
            m_cellRowsSpanned = m_rowsSpanned;
            m_cellColumnsSpanned = m_columnsSpanned;
            m_cellValue.reset();
            if (m_floatType) {
                double value = 0;
                const auto [end, error] =
                    std::from_chars(m_value.data(), m_value.data() + m_value.size(), value);
                if (error == std::errc() && end == m_value.data() + m_value.size() &&
                    std::isfinite(value))
                    m_cellValue = value;
            }
            m_text.clear();
            m_paragraphs = 0;
        } else if (m_inCell) {
            ++m_skipDepth; // a table inside a cell: not the sheet's
        }
    }

    void startInCell(XmlName element)
    {
        if (element.ns == kOfficeNs && element.name == "annotation") {
            ++m_skipDepth; // a comment: not what the cell shows
        } else if (element.ns == kTextNs) {
            if (element.name == "p" || element.name == "h") {
                if (m_paragraphs++ > 0)
                    m_text += '\n';
                m_inParagraph = true;
            } else if (element.name == "s") {
                m_text.append(m_spaces, ' ');
            } else if (element.name == "tab") {
                m_text += '\t';
            } else if (element.name == "line-break") {
                m_text += '\n';
            }
        }
    }

    void endCell()
    {
        m_inCell = false;
        m_inParagraph = false;
        const std::size_t first = m_column;
        m_column += m_cellRepeat;
        if (m_covering) {
            // Filled at the row's end, for each of its repeats.
            for (std::size_t c = first; c < std::min(m_column, kWidestSheet); ++c)
                m_covered.push_back(c);
            return;
        }
        if (m_text.empty() && !m_cellValue)
            return; // empty cells cost nothing until a cell with content follows them
        // A text the writers guarded against formulas ("'=x") reads as it was ("=x").
        m_text = std::string(unguardedCellText(m_text));
        if (m_cellRowsSpanned > 1 || m_cellColumnsSpanned > 1)
            m_merges[first] = Merge{m_row.line + m_cellRowsSpanned - 1,
                                    first + m_cellColumnsSpanned - 1, m_text, m_cellValue};
        for (std::size_t c = first; c < std::min(m_column, kWidestSheet); ++c)
            put(c, m_text, m_cellValue);
    }

    void put(std::size_t column, const std::string &text, const std::optional<double> &value)
    {
        if (m_row.cells.size() < column)
            m_row.cells.resize(column);
        m_row.cells.push_back(text);
        if (value) {
            m_row.values.resize(column);
            m_row.values.push_back(value);
        }
    }

    // The merge a covered cell lies under, if any.
    const Merge *mergeAt(std::size_t line, std::size_t column) const
    {
        auto at = m_merges.upper_bound(column);
        if (at == m_merges.begin())
            return nullptr;
        --at;
        const Merge &merge = at->second;
        return column <= merge.lastColumn && line <= merge.lastLine ? &merge : nullptr;
    }

    void endRow()
    {
        const std::size_t repeat = m_rowRepeat;
        const std::size_t firstLine = m_nextLine;
        // Kept below the largest sheet, the line numbers cannot run past 2^64 and start again
        // at 0, whatever a file claims.
        m_nextLine += repeat;
        for (std::size_t k = 0; k < repeat; ++k) {
            SourceRow row = k + 1 < repeat ? m_row : std::move(m_row);
            row.line = firstLine + k;
            for (const std::size_t column : m_covered) {
                const Merge *merge = mergeAt(row.line, column);
                if (!merge || (merge->text.empty() && !merge->value))
                    continue;
                if (row.cells.size() <= column)
                    row.cells.resize(column + 1);
                row.cells[column] = merge->text;
                if (merge->value) {
                    if (row.values.size() <= column)
                        row.values.resize(column + 1);
                    row.values[column] = merge->value;
                }
                ++sheet.filledFromMerges;
            }
            // A sheet's rows run on with blank cells to its last column: they say nothing.
            while (!row.cells.empty() && row.cells.back().empty() &&
                   (row.values.size() < row.cells.size() || !row.values.back()))
                row.cells.pop_back();
            if (row.values.size() > row.cells.size())
                row.values.resize(row.cells.size());
            if (row.cells.empty()) {
                if (m_covered.empty())
                    break; // the other repeats are as empty
                continue;
            }
            if (row.line > kLargestSheet) {
                sheet.fault = SheetRows::Fault::TooLarge;
                m_done = true;
                return;
            }
            sheet.rows.push_back(std::move(row));
        }
        if (m_nextLine > kLargestSheet + 1)
            m_nextLine = kLargestSheet + 1;
    }

    std::size_t m_columnsRepeated = 1;
    std::size_t m_rowsRepeated = 1;
    std::size_t m_columnsSpanned = 1;
    std::size_t m_rowsSpanned = 1;
    std::size_t m_spaces = 1;
    bool m_floatType = false;
    std::string m_value;

    int m_tableDepth = 0;
    int m_skipDepth = 0;
    bool m_done = false;

    SourceRow m_row;
    std::size_t m_nextLine = 1;
    std::size_t m_rowRepeat = 1;
    std::size_t m_column = 0;
    std::vector<std::size_t> m_covered;
    std::map<std::size_t, Merge> m_merges; // by first column

    bool m_inCell = false;
    bool m_inParagraph = false;
    bool m_covering = false;
    std::size_t m_cellRepeat = 1;
    std::size_t m_cellRowsSpanned = 1;
    std::size_t m_cellColumnsSpanned = 1;
    std::optional<double> m_cellValue;
    std::string m_text;
    std::size_t m_paragraphs = 0;
};

} // namespace

SheetRows readOdsSheet(std::string_view bytes)
{
    return readZipSheet(bytes, [](ZipXml &zip) -> std::optional<SheetRows> {
        ContentHandler handler;
        if (!zip.parse("content.xml", handler, kNamespaces))
            return std::nullopt;
        return std::move(handler.sheet);
    });
}

} // namespace velmorin
