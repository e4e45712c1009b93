#include "SolutionTable.h"

#include "VisibleText.h"
#include "WhyNoSolution.h"

#include <algorithm>
#include <utility>

namespace velmorin {

TableRow tableRow(ExemptionClass exemptionClass, Count position, const TSolution &s, Count tour4)
{
    return {classNumber(exemptionClass),
            position,
            s.Tour1,
            s.Tour2,
            s.Tour3,
            tour4,
            s.Entrant2,
            s.Entrant3,
            s.Entrant4};
}

namespace {

// The aligned table leaves the class column to the class's heading.
constexpr std::size_t kFirstTableColumn = 1;
constexpr std::array<std::string_view, kTableColumns> kTableHeaders{
    "", "Position", "Tour 1", "Tour 2", "Tour 3", "Tour 4", "Entrant 2", "Entrant 3", "Entrant 4"};

bool writeClassTable(const Problem &problem, const ClassResult &result, LineBuffer &line)
{
    const ClassSolutions &solutions = result.solutions;
    if (!line.text(wording(result.exemptionClass).heading)
             .text(" : ")
             .text(solutionCount(solutions.count()))
             .endLine())
        return false;
    if (solutions.empty())
        return line.text("Pourquoi : ")
            .text(whyNoSolution(problem, result.exemptionClass))
            .endLine();

    const auto row = [&result](Count index) {
        return tableRow(result.exemptionClass, index + 1, result.solutions.at(index), result.tour4);
    };
    // Every column is linear along the progression, so its widest value is at one end.
    const Count last = solutions.count() - 1;
    const TableRow firstRow = row(0);
    const TableRow lastRow = row(last);
    std::array<std::size_t, kTableColumns> widths{};
    for (std::size_t c = kFirstTableColumn; c < kTableColumns; ++c)
        widths[c] = std::max(
            {kTableHeaders[c].size(), decimalWidth(firstRow[c]), decimalWidth(lastRow[c])});

    for (std::size_t c = kFirstTableColumn; c < kTableColumns; ++c)
        line.spaces(c == kFirstTableColumn ? 0 : 2).paddedText(kTableHeaders[c], widths[c]);
    if (!line.endLine())
        return false;
    std::size_t rowWidth = 0;
    for (std::size_t c = kFirstTableColumn; c < kTableColumns; ++c)
        rowWidth += widths[c] + 2;
    for (Count i = 0; i <= last; ++i) {
        const TableRow values = row(i);
        line.ensure(rowWidth + 1);
        line.putPadded(values[kFirstTableColumn], widths[kFirstTableColumn]);
        for (std::size_t c = kFirstTableColumn + 1; c < kTableColumns; ++c)
            line.putPadded(values[c], widths[c] + 2);
        if (!line.endLine())
            return false;
    }
    return true;
}

} // namespace

bool writeCsv(const Calculation &calculation, ByteSink &sink, char separator)
{
    CsvWriter csv(sink, separator);
    if (!csv.header(kCsvColumns))
        return false;
    for (const ClassResult &c : calculation.classes) {
        for (Count i = 0; i < c.solutions.count(); ++i) {
            if (!csv.numberRow(tableRow(c.exemptionClass, i + 1, c.solutions.at(i), c.tour4)))
                return false;
        }
    }
    return csv.flush();
}

bool writeCounts(const Calculation &calculation, ByteSink &sink, char separator)
{
    CsvWriter csv(sink, separator);
    if (!csv.header(std::array<std::string_view, 2>{"classe", "solutions"}))
        return false;
    for (const ClassResult &c : calculation.classes) {
        if (!csv.numberRow(std::array<Count, 2>{classNumber(c.exemptionClass), c.solutions.count()}))
            return false;
    }
    return csv.flush();
}

bool writeCountsTable(const Calculation &calculation, ByteSink &sink)
{
    constexpr std::string_view kClassHeader = "Classe";
    constexpr std::string_view kCountHeader = "Solutions";
    // The headings hold accented letters: they are padded by characters, not bytes.
    std::size_t classWidth = kClassHeader.size();
    std::size_t countWidth = kCountHeader.size();
    for (const ClassResult &c : calculation.classes) {
        classWidth = std::max(classWidth, characterCount(wording(c.exemptionClass).heading));
        countWidth = std::max(countWidth, decimalWidth(c.solutions.count()));
    }
    LineBuffer line(sink);
    line.text(kClassHeader).spaces(classWidth - kClassHeader.size() + 2);
    if (!line.paddedText(kCountHeader, countWidth).endLine())
        return false;
    for (const ClassResult &c : calculation.classes) {
        const std::string_view heading = wording(c.exemptionClass).heading;
        line.text(heading).spaces(classWidth - characterCount(heading) + 2);
        if (!line.padded(c.solutions.count(), countWidth).endLine())
            return false;
    }
    return line.flush();
}

bool writeTable(const Calculation &calculation, ByteSink &sink)
{
    LineBuffer line(sink);
    const std::array<std::pair<std::string_view, Count>, 3> chain{
        {{"Finale     : ", calculation.chain.T7},
         {"1/2 finale : ", calculation.chain.T6},
         {"1/4 finale : ", calculation.chain.T5}}};
    for (const auto &[label, size] : chain) {
        if (!line.text(label).number(size).endLine())
            return false;
    }
    for (const ClassResult &c : calculation.classes) {
        if (!line.endLine() || !writeClassTable(calculation.problem, c, line))
            return false;
    }
    return line.flush();
}

std::string solutionCount(Count count)
{
    return std::to_string(count) + (count > 1 ? " solutions" : " solution");
}

} // namespace velmorin
