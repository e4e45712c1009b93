#pragma once

// The solution table of a calculation: one row per solution, classes in run order and
// positions in discovery order. The calculator prints it, the window saves it; both go
// through the writers here, so a saved file and the calculator's output are the same bytes.

#include "ByteSink.h"
#include "CsvWriter.h"
#include "Calculation.h"

#include <array>
#include <string>
#include <string_view>

namespace velmorin {

constexpr std::size_t kTableColumns = 9;

// The CSV header's column names.
constexpr std::array<std::string_view, kTableColumns> kCsvColumns{
    "classe", "position", "tour1", "tour2", "tour3", "tour4", "entrant2", "entrant3", "entrant4"};

using TableRow = std::array<Count, kTableColumns>;

// Class, position (1-based), the four round sizes and the entrants at rounds 2 to 4.
TableRow tableRow(ExemptionClass exemptionClass, Count position, const TSolution &solution,
                  Count tour4);

// Each writer streams row by row in constant memory and stops at the first failed write;
// it returns whether everything reached the sink.

// A header line, then every solution of classes 3, 2, 1.
bool writeCsv(const Calculation &calculation, ByteSink &sink, char separator = ',');
// "classe,solutions" and one line per class.
bool writeCounts(const Calculation &calculation, ByteSink &sink, char separator = ',');
// The same counts aligned for reading: each class's heading and its count.
bool writeCountsTable(const Calculation &calculation, ByteSink &sink);
// The backward chain, then per class a heading with its count and the aligned rows, or for a
// class without solution a line saying why.
bool writeTable(const Calculation &calculation, ByteSink &sink);

// French keeps the singular for 0 and 1: "0 solution", "7 solutions".
std::string solutionCount(Count count);

} // namespace velmorin
