#include "CsvWriter.h"

namespace velmorin {

namespace {

// What a spreadsheet takes for the start of a formula, and the guard itself.
constexpr std::string_view kFormulaStarts = "=+-@\t\r";
constexpr char kGuard = '\'';

bool startsGuarded(std::string_view text)
{
    return !text.empty() &&
           (text.front() == kGuard || kFormulaStarts.find(text.front()) != std::string_view::npos);
}

} // namespace

std::string guardedCellText(std::string_view text)
{
    return startsGuarded(text) ? kGuard + std::string(text) : std::string(text);
}

std::string_view unguardedCellText(std::string_view cell)
{
    if (cell.size() >= 2 && cell.front() == kGuard && startsGuarded(cell.substr(1)))
        cell.remove_prefix(1);
    return cell;
}

bool losesApostrophe(std::string_view text)
{
    return text.size() >= 2 && text.front() == kGuard && startsGuarded(text.substr(1));
}

CsvWriter::CsvWriter(ByteSink &sink, char separator) : m_line(sink), m_separator(separator) {}

void CsvWriter::separate()
{
    if (m_rowStarted)
        m_line.character(m_separator);
    m_rowStarted = true;
}

CsvWriter &CsvWriter::text(std::string_view cell)
{
    separate();
    const bool guard = startsGuarded(cell);
    const bool quote = cell.find_first_of(",;\t\"\n\r") != std::string_view::npos ||
                       (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
    // A header unquoted with more commas than semicolons would be read as comma-separated:
    // every separator a reader may look for is quoted, not only this file's.
    if (quote)
        m_line.character('"');
    if (guard)
        m_line.character(kGuard);
    if (!quote) {
        m_line.text(cell);
        return *this;
    }
    for (std::size_t from = 0;;) {
        const std::size_t quoteAt = cell.find('"', from);
        m_line.text(cell.substr(from, quoteAt - from));
        if (quoteAt == std::string_view::npos)
            break;
        m_line.text("\"\"");
        from = quoteAt + 1;
    }
    m_line.character('"');
    return *this;
}

CsvWriter &CsvWriter::number(long long value)
{
    separate();
    m_line.number(value);
    return *this;
}

CsvWriter &CsvWriter::plain(std::string_view cell)
{
    separate();
    m_line.text(cell);
    return *this;
}

bool CsvWriter::endRow()
{
    m_rowStarted = false;
    return m_line.endLine();
}

} // namespace velmorin
