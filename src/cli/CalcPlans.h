#pragma once

// velmorin-calc --plans: the best plans for the organiser's wishes, their options and output.

#include "Calculation.h"
#include "Wishes.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace velmorin {
class ByteSink;
}

namespace velmorin::cli {

struct PlanOptions
{
    bool enabled = false; // --plans
    Wishes wishes;
    bool strict = false;
    std::size_t limit = 20;
    // The first plan option met without --plans, to name it in the error.
    std::string strayOption;
};

constexpr std::size_t kMaxPlanLimit = 1000000;

// --plans and --strict.
bool isPlanFlag(std::string_view name);
// --e1 ... --e4, --t2 ... --t4 and --limite.
bool isPlanValueOption(std::string_view name);

void applyPlanFlag(std::string_view name, PlanOptions &options);
// An error message, empty when the value is good.
std::string applyPlanValue(std::string_view name, std::string_view value, PlanOptions &options);

// After every argument: an error message when a plan option came without --plans.
std::string checkPlanOptions(const PlanOptions &options);

// The plans as CSV (`csv`, fields split by `separator`) or as a table with a summary line;
// whether everything reached the sink.
bool writePlans(const Problem &problem, const PlanOptions &options, bool csv, char separator,
                ByteSink &sink);

} // namespace velmorin::cli
