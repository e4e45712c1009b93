#include "CalcOutput.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace velmorin::cli {

namespace {

constexpr std::size_t kColumns = 8;
using Values = std::array<Count, kColumns>;

// Position, the four round sizes and the entrants at rounds 2 to 4.
Values rowValues(Count position, const TSolution &s, Count tour4)
{
    return {position, s.Tour1, s.Tour2, s.Tour3, tour4, s.Entrant2, s.Entrant3, s.Entrant4};
}

std::size_t decimalWidth(Count value)
{
    char digits[24];
    return static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                    digits);
}

// One output line at a time, reusing its storage, so printing allocates nothing per row.
class LineWriter
{
public:
    explicit LineWriter(std::ostream &out) : m_out(out) {}

    LineWriter &text(std::string_view s)
    {
        m_line += s;
        return *this;
    }
    LineWriter &number(Count value) { return padded(value, 0); }
    LineWriter &padded(Count value, std::size_t width)
    {
        char digits[24];
        const char *end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        const auto length = static_cast<std::size_t>(end - digits);
        return spaces(width > length ? width - length : 0).text({digits, length});
    }
    LineWriter &paddedText(std::string_view s, std::size_t width)
    {
        return spaces(width > s.size() ? width - s.size() : 0).text(s);
    }
    LineWriter &spaces(std::size_t count)
    {
        m_line.append(count, ' ');
        return *this;
    }

    // Ends the line; false once the stream has failed (the reader went away, the disk is full).
    bool emit()
    {
        m_line += '\n';
        m_out.write(m_line.data(), static_cast<std::streamsize>(m_line.size()));
        m_line.clear();
        return m_out.good();
    }

private:
    std::ostream &m_out;
    std::string m_line;
};

std::string solutionCount(Count count)
{
    // French keeps the singular for 0 and 1.
    return std::to_string(count) + (count > 1 ? " solutions" : " solution");
}

std::string_view classHeading(int exemptionClass)
{
    switch (exemptionClass) {
    case 3:
        return "Classe 3 (2 exempt\xC3\xA9"
               "es)";
    case 2:
        return "Classe 2 (1 exempt\xC3\xA9"
               "e)";
    default:
        return "Classe 1 (aucune exempt\xC3\xA9"
               "e)";
    }
}

bool writeClassTable(const ClassResult &result, LineWriter &line)
{
    const ClassSolutions &solutions = result.solutions;
    if (!line.text(classHeading(result.exemptionClass))
             .text(" : ")
             .text(solutionCount(solutions.count()))
             .emit())
        return false;
    if (solutions.empty())
        return true;

    static constexpr std::array<std::string_view, kColumns> kHeaders{
        "Position", "Tour 1", "Tour 2", "Tour 3", "Tour 4", "Entrant 2", "Entrant 3", "Entrant 4"};
    // Every column is linear along the progression, so its widest value is at one end.
    const Count last = solutions.count() - 1;
    const Values firstRow = rowValues(1, solutions.at(0), solutions.tour4());
    const Values lastRow = rowValues(last + 1, solutions.at(last), solutions.tour4());
    std::array<std::size_t, kColumns> widths{};
    for (std::size_t c = 0; c < kColumns; ++c)
        widths[c] =
            std::max({kHeaders[c].size(), decimalWidth(firstRow[c]), decimalWidth(lastRow[c])});

    for (std::size_t c = 0; c < kColumns; ++c)
        line.spaces(c == 0 ? 0 : 2).paddedText(kHeaders[c], widths[c]);
    if (!line.emit())
        return false;
    for (Count i = 0; i <= last; ++i) {
        const Values values = rowValues(i + 1, solutions.at(i), solutions.tour4());
        for (std::size_t c = 0; c < kColumns; ++c)
            line.spaces(c == 0 ? 0 : 2).padded(values[c], widths[c]);
        if (!line.emit())
            return false;
    }
    return true;
}

} // namespace

CalcResult calculate(const CalcRequest &request)
{
    CalcResult result;
    result.chain = backwardChain(request.finale, request.semiFinal, request.quarterFinal);
    for (std::size_t i = 0; i < kRunOrder.size(); ++i) {
        const int k = kRunOrder[i];
        const Count tour4 = RequiredTour4(k, result.chain.T5, request.round4);
        result.classes[i] = {k, searchClass(request.registered, request.entrants1, tour4)};
    }
    return result;
}

bool writeCsv(const CalcResult &result, std::ostream &out)
{
    LineWriter line(out);
    if (!line.text("classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4").emit())
        return false;
    for (const ClassResult &c : result.classes) {
        const ClassSolutions &solutions = c.solutions;
        for (Count i = 0; i < solutions.count(); ++i) {
            const Values values = rowValues(i + 1, solutions.at(i), solutions.tour4());
            line.number(c.exemptionClass);
            for (Count value : values)
                line.text(",").number(value);
            if (!line.emit())
                return false;
        }
    }
    return true;
}

bool writeCounts(const CalcResult &result, std::ostream &out)
{
    LineWriter line(out);
    if (!line.text("classe,solutions").emit())
        return false;
    for (const ClassResult &c : result.classes) {
        if (!line.number(c.exemptionClass).text(",").number(c.solutions.count()).emit())
            return false;
    }
    return true;
}

bool writeTable(const CalcResult &result, std::ostream &out)
{
    LineWriter line(out);
    const std::array<std::pair<std::string_view, Count>, 3> chain{
        {{"Finale     : ", result.chain.T7},
         {"1/2 finale : ", result.chain.T6},
         {"1/4 finale : ", result.chain.T5}}};
    for (const auto &[label, size] : chain) {
        if (!line.text(label).number(size).emit())
            return false;
    }
    for (const ClassResult &c : result.classes) {
        if (!line.emit() || !writeClassTable(c, line))
            return false;
    }
    return true;
}

} // namespace velmorin::cli
