#pragma once

// What the calculator prints: the three exemption classes as CSV, as counts, or as a table.

#include "CalcOptions.h"
#include "VlmDec.h"

#include <array>
#include <iosfwd>

namespace velmorin::cli {

struct ClassResult
{
    int exemptionClass = 0;
    ClassSolutions solutions;
};

struct CalcResult
{
    BackwardChain chain;
    std::array<ClassResult, 3> classes; // in run order: 3, 2, 1
};

// Constant time whatever the inputs: the solutions themselves are produced while printing.
CalcResult calculate(const CalcRequest &request);

// Each writer streams row by row and stops at the first failed write; it returns whether
// everything reached the stream.
bool writeCsv(const CalcResult &result, std::ostream &out);
bool writeCounts(const CalcResult &result, std::ostream &out);
bool writeTable(const CalcResult &result, std::ostream &out);

} // namespace velmorin::cli
