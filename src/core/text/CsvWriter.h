#pragma once

// Every CSV the program writes goes through CsvWriter: the separator, the quoting, the guard
// against spreadsheet formulas and the rows of numbers are decided here once.

#include "ByteSink.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmorin {

// The field separators a CSV may use: ',' and, for French spreadsheets, ';'.
constexpr bool isCsvSeparator(char c)
{
    return c == ',' || c == ';';
}

// A text cell as a sheet holds it safely. A spreadsheet opening a CSV runs a cell beginning
// with '=', '+', '-', '@', a tab or a carriage return as a formula: such a text is written after
// an apostrophe, which spreadsheets show as text and the list readers take off again. A text
// that really begins with an apostrophe gets one more, so that reading gives it back whole.
std::string guardedCellText(std::string_view text);
// The reading of a cell: the apostrophe guardedCellText put before a formula character or an
// apostrophe taken off; any other text, an apostrophe before a letter included, as it is.
std::string_view unguardedCellText(std::string_view cell);
// Whether a cell, read back, would lose its first apostrophe: what a sheet format without
// formulas (ODS cells, whose text is never run) must still guard.
bool losesApostrophe(std::string_view text);

class CsvWriter
{
public:
    explicit CsvWriter(ByteSink &sink, char separator = ',');

    char separator() const { return m_separator; }

    // Column names, written as they are (they hold no separator, quote or formula character).
    template <std::size_t N> bool header(const std::array<std::string_view, N> &names)
    {
        for (const std::string_view name : names)
            plain(name);
        return endRow();
    }
    // A text cell: guarded, and quoted when it holds a separator, a quote or a line break, or
    // starts or ends with a space.
    CsvWriter &text(std::string_view cell);
    // A number, never guarded: "-5" stays a number.
    CsvWriter &number(long long value);
    // A cell the caller knows needs neither quotes nor a guard (points, "oui").
    CsvWriter &plain(std::string_view cell);
    // Ends the row; false once the sink has failed.
    bool endRow();

    // A row of numbers and its end, formatted through a local pointer: the hot path of the
    // calculator's tables, at the cost of a bare to_chars loop.
    template <typename Int, std::size_t N> bool numberRow(const std::array<Int, N> &values)
    {
        return m_line.numberRow(values, m_separator);
    }

    bool flush() { return m_line.flush(); }

private:
    void separate();

    LineBuffer m_line;
    char m_separator;
    bool m_rowStarted = false;
};

} // namespace velmorin
