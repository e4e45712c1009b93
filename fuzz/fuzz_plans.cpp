// The interval text and the plan search. Any text either gives an interval whose ends are in
// order and that reads back the same from its decimal form, or an error message. The plans of
// a small problem, for the wishes read from the input, are exactly the brute force's.
//
// Input layout (missing bytes read as 0):
//   [N][F][ratios][limit][strict] then up to seven interval texts, one per line, for
//   E1, E2, E3, E4, T2, T3, T4 (an empty line is no wish)

#include "FuzzInput.h"
#include "PlanSearch.h"
#include "ReferencePlans.h"
#include "WhyNoSolution.h"
#include "Wishes.h"

#include <string>
#include <string_view>

namespace {

using velmorin::fuzz::check;
using velmorin::fuzz::take;

// A problem small enough for the brute force: N below 160, finals up to 31.
constexpr std::uint8_t kRegisteredRange = 160;
constexpr std::uint8_t kFinaleRange = 32;

std::optional<velmorin::Interval> readInterval(std::string_view text)
{
    std::string error;
    const std::optional<velmorin::Interval> interval = velmorin::parseInterval(text, error);
    if (!interval) {
        check(!error.empty(), "rejected without a message");
        return std::nullopt;
    }
    check(interval->bounded(), "an interval without an end");
    check(!interval->lo || !interval->hi || *interval->lo <= *interval->hi, "ends out of order");
    const std::string decimal = (interval->lo ? std::to_string(*interval->lo) : "") + ".." +
                                (interval->hi ? std::to_string(*interval->hi) : "");
    std::string again;
    check(velmorin::parseInterval(decimal, again) == interval, "decimal form reads otherwise");
    return interval;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmorin::Problem problem = velmorin::reference::problemWithRatios(
        take<std::uint8_t>(data, size) % kRegisteredRange,
        take<std::uint8_t>(data, size) % kFinaleRange, take<std::uint8_t>(data, size) & 7);
    const std::size_t limit = 1 + take<std::uint8_t>(data, size);
    const bool strict = (take<std::uint8_t>(data, size) & 1) != 0;

    velmorin::Wishes wishes;
    std::string_view rest(reinterpret_cast<const char *>(data), size);
    for (velmorin::Quantity q : velmorin::kQuantities) {
        if (rest.empty())
            break;
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty())
            continue;
        if (const std::optional<velmorin::Interval> interval = readInterval(line))
            wishes.set(q, *interval);
    }

    const std::vector<velmorin::RankedPlan> plans =
        velmorin::findPlans(problem, wishes, limit, strict);
    check(plans == velmorin::reference::plans(problem, wishes, limit, strict),
          "plans differ from the brute force");
    const std::optional<velmorin::Count> best = velmorin::bestDeviation(problem, wishes);
    check(strict || plans.empty() == !best, "best deviation without plans");
    check(plans.empty() || strict || plans.front().deviation == *best, "best deviation differs");

    // The sentences at an E1 the input picks: one exactly when a class has no solution.
    problem.entrants1 = static_cast<std::int32_t>(limit) - 8;
    const velmorin::Calculation c = velmorin::calculate(problem);
    for (velmorin::ExemptionClass k : velmorin::kRunOrder)
        check(velmorin::whyNoSolution(problem, k).empty() == !c.of(k).solutions.empty(),
              "a sentence where the class has solutions, or none where it has not");
    check(velmorin::whyNoClassSolution(problem).empty() == c.anySolution(),
          "the sentence for no solution at all");
    return 0;
}
