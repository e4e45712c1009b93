// The first sheet of an XLSX workbook, read by liborcus's import into cells of our own: no
// formula engine, no styles, only what each cell shows and the number it holds.

#include "SheetRows.h"
#include "XmlCheck.h"

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace velmorin {

namespace {

namespace iface = orcus::spreadsheet::iface;

// The most columns a merge fills.
constexpr std::size_t kWidestMerge = 256;
using orcus::spreadsheet::col_t;
using orcus::spreadsheet::row_t;

class SharedStrings : public iface::import_shared_strings
{
public:
    std::vector<std::string> strings;

    std::size_t append(std::string_view s) override
    {
        strings.emplace_back(s);
        return strings.size() - 1;
    }
    std::size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(std::size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t) override
    {}
    void append_segment(std::string_view s) override { m_segments += s; }
    std::size_t commit_segments() override
    {
        strings.push_back(std::move(m_segments));
        m_segments.clear();
        return strings.size() - 1;
    }

private:
    std::string m_segments;
};

// The cells of one sheet, by row; merges applied at the end.
class Sheet : public iface::import_sheet, public iface::import_sheet_properties
{
public:
    explicit Sheet(const SharedStrings &strings) : m_strings(strings) {}

    std::map<row_t, SourceRow> rows;
    std::vector<orcus::spreadsheet::range_t> merges;

    void set_auto(row_t row, col_t col, std::string_view s) override { put(row, col, s, {}); }
    void set_string(row_t row, col_t col, orcus::spreadsheet::string_id_t id) override
    {
        if (id < m_strings.strings.size())
            put(row, col, m_strings.strings[id], {});
    }
    void set_value(row_t row, col_t col, double value) override
    {
        if (std::isfinite(value))
            put(row, col, formatPoints(value, ','), value);
    }
    void set_bool(row_t row, col_t col, bool value) override
    {
        put(row, col, value ? "VRAI" : "FAUX", {});
    }
    void set_date_time(row_t row, col_t col, int year, int month, int day, int, int,
                       double) override
    {
        char text[32];
        std::snprintf(text, sizeof text, "%02d/%02d/%04d", day, month, year);
        put(row, col, text, {});
    }
    void set_format(row_t, col_t, std::size_t) override {}
    void set_format(row_t, col_t, row_t, col_t, std::size_t) override {}
    void fill_down_cells(row_t, col_t, row_t) override {}
    orcus::spreadsheet::range_size_t get_sheet_size() const override
    {
        return {static_cast<row_t>(kLargestSheet), static_cast<col_t>(kWidestSheet)};
    }

    iface::import_sheet_properties *get_sheet_properties() override { return this; }
    void set_column_width(col_t, double, orcus::length_unit_t) override {}
    void set_column_hidden(col_t, bool) override {}
    void set_row_height(row_t, double, orcus::length_unit_t) override {}
    void set_row_hidden(row_t, bool) override {}
    void set_merge_cell_range(const orcus::spreadsheet::range_t &range) override
    {
        merges.push_back(range);
    }

    void put(row_t row, col_t col, std::string_view text, std::optional<double> value)
    {
        if (row < 0 || col < 0 || std::size_t(row) >= kLargestSheet ||
            std::size_t(col) >= kWidestSheet)
            return;
        SourceRow &target = rows[row];
        target.line = std::size_t(row) + 1;
        const auto c = std::size_t(col);
        if (target.cells.size() <= c)
            target.cells.resize(c + 1);
        target.cells[c] = text;
        if (value) {
            if (target.values.size() <= c)
                target.values.resize(c + 1);
            target.values[c] = value;
        }
    }

private:
    const SharedStrings &m_strings;
};

// Formulas give their last computed result, as the sheet shows it.
class Formula : public iface::import_formula
{
public:
    explicit Formula(Sheet &sheet) : m_sheet(sheet) {}

    void set_position(row_t row, col_t col) override
    {
        m_row = row;
        m_col = col;
    }
    void set_formula(orcus::spreadsheet::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(std::size_t) override {}
    void set_result_string(std::string_view value) override
    {
        m_sheet.put(m_row, m_col, value, {});
    }
    void set_result_value(double value) override
    {
        if (std::isfinite(value))
            m_sheet.put(m_row, m_col, formatPoints(value, ','), value);
    }
    void set_result_bool(bool value) override { m_sheet.set_bool(m_row, m_col, value); }
    void set_result_empty() override {}
    void commit() override {}

private:
    Sheet &m_sheet;
    row_t m_row = 0;
    col_t m_col = 0;
};

class SheetWithFormulas : public Sheet
{
public:
    using Sheet::Sheet;
    iface::import_formula *get_formula() override { return &m_formula; }

private:
    Formula m_formula{*this};
};

// "B12" and "A1:C3" as rows and columns from 0; the merges are given this way.
class References : public iface::import_reference_resolver
{
public:
    orcus::spreadsheet::src_address_t resolve_address(std::string_view address) override
    {
        orcus::spreadsheet::src_address_t result{0, 0, 0};
        std::size_t i = 0;
        long long column = 0;
        long long row = 0;
        for (; i < address.size() && address[i] >= 'A' && address[i] <= 'Z' && column < 1 << 20;
             ++i)
            column = column * 26 + (address[i] - 'A' + 1);
        for (; i < address.size() && address[i] >= '0' && address[i] <= '9' && row < 1 << 24; ++i)
            row = row * 10 + (address[i] - '0');
        if (i != address.size() || column == 0 || row == 0)
            throw std::invalid_argument("not a cell");
        result.row = orcus::spreadsheet::row_t(row - 1);
        result.column = orcus::spreadsheet::col_t(column - 1);
        return result;
    }
    orcus::spreadsheet::src_range_t resolve_range(std::string_view range) override
    {
        const std::size_t colon = range.find(':');
        const auto first = resolve_address(range.substr(0, colon));
        return {first,
                colon == std::string_view::npos ? first : resolve_address(range.substr(colon + 1))};
    }
};

class Factory : public iface::import_factory
{
public:
    iface::import_reference_resolver *
    get_reference_resolver(orcus::spreadsheet::formula_ref_context_t) override
    {
        return &m_references;
    }
    iface::import_shared_strings *get_shared_strings() override { return &m_strings; }
    iface::import_sheet *append_sheet(orcus::spreadsheet::sheet_t index,
                                      std::string_view name) override
    {
        // Only the first sheet is kept; the others are read into sheets thrown away.
        if (index != orcus::spreadsheet::sheet_t(m_sheets.size()))
            return nullptr;
        if (index == 0)
            m_sheets.emplace_back(std::string(name), &first);
        else
            m_sheets.emplace_back(
                std::string(name),
                m_others.emplace_back(std::make_unique<SheetWithFormulas>(m_strings)).get());
        return m_sheets.back().second;
    }
    iface::import_sheet *get_sheet(std::string_view name) override
    {
        for (const auto &[sheetName, sheet] : m_sheets) {
            if (sheetName == name)
                return sheet;
        }
        return nullptr;
    }
    iface::import_sheet *get_sheet(orcus::spreadsheet::sheet_t index) override
    {
        return index >= 0 && std::size_t(index) < m_sheets.size() ? m_sheets[index].second
                                                                  : nullptr;
    }
    void finalize() override {}

    SheetWithFormulas first{m_strings};

private:
    SharedStrings m_strings;
    References m_references;
    std::vector<std::pair<std::string, SheetWithFormulas *>> m_sheets;
    std::vector<std::unique_ptr<SheetWithFormulas>> m_others;
};

} // namespace

SheetRows readXlsxSheet(std::string_view bytes)
{
    SheetRows result;
    Factory factory;
    try {
        if (!zipXmlPartsAreSound(bytes)) {
            result.fault = SheetRows::Fault::Unreadable;
            return result;
        }
        orcus::orcus_xlsx reader(&factory);
        reader.read_stream(bytes);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const std::exception &) {
        result.fault = SheetRows::Fault::Unreadable;
        return result;
    }
    Sheet &sheet = factory.first;
    // Every cell under a merge shows the merged cell's content; only the rows that hold
    // anything are filled, so a merge over a whole column costs no more than the list.
    for (const orcus::spreadsheet::range_t &merge : sheet.merges) {
        const auto anchorRow = sheet.rows.find(merge.first.row);
        if (anchorRow == sheet.rows.end() || merge.first.column < 0)
            continue;
        const auto anchorColumn = std::size_t(merge.first.column);
        if (anchorColumn >= anchorRow->second.cells.size())
            continue;
        const std::string text = anchorRow->second.cells[anchorColumn];
        const std::optional<double> value = anchorColumn < anchorRow->second.values.size()
                                                ? anchorRow->second.values[anchorColumn]
                                                : std::nullopt;
        if (text.empty())
            continue;
        // A team list is never this wide: a merge across a whole row is a title's.
        const std::size_t lastColumn =
            std::min<std::size_t>(std::size_t(std::max(merge.last.column, col_t{0})),
                                  std::min(anchorColumn + kWidestMerge, kWidestSheet - 1));
        for (auto at = anchorRow; at != sheet.rows.end() && at->first <= merge.last.row; ++at) {
            for (std::size_t c = anchorColumn; c <= lastColumn; ++c) {
                if (at == anchorRow && c == anchorColumn)
                    continue;
                if (c < at->second.cells.size() && !at->second.cells[c].empty())
                    continue;
                sheet.put(at->first, col_t(c), text, value);
                ++result.filledFromMerges;
            }
        }
    }
    result.rows.reserve(sheet.rows.size());
    for (auto &[row, cells] : sheet.rows)
        result.rows.push_back(std::move(cells));
    return result;
}

} // namespace velmorin
