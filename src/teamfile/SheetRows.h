#pragma once

// The first sheet of a spreadsheet file as rows of cells, whatever the format: what the ODS
// and XLSX readers hand to the list.

#include "TeamList.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace velmorin {

// A sheet may have this many rows and columns (the largest both ODS and XLSX allow); a row or
// a cell repeated past them is blank formatting.
constexpr std::size_t kLargestSheet = std::size_t{1} << 20;
constexpr std::size_t kWidestSheet = std::size_t{1} << 14;

struct SheetRows
{
    enum class Fault { None, Unreadable, TooLarge };

    // The rows that hold anything, each with its line (the sheet's row number).
    std::vector<SourceRow> rows;
    // Cells under a merge that took the merged cell's content, as the sheet shows them.
    std::size_t filledFromMerges = 0;
    Fault fault = Fault::None;
};

// The first sheet of an OpenDocument spreadsheet (.ods).
SheetRows readOdsSheet(std::string_view bytes);

// The first sheet of an Excel workbook (.xlsx).
SheetRows readXlsxSheet(std::string_view bytes);

} // namespace velmorin
