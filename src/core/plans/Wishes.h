#pragma once

// What an organiser wishes of a plan: for some of the entrants at rounds 1 to 4 and the teams
// playing rounds 2 to 4, an interval the count should fall in. A plan's deviation ("écart")
// is how far its counts lie outside their intervals, summed.

#include "VlmDec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmorin {

// The counts a wish can bear on, in the order of the calculator's options.
enum class Quantity { Entrants1, Entrants2, Entrants3, Entrants4, Tour2, Tour3, Tour4 };

constexpr std::size_t kQuantityCount = 7;
constexpr std::array<Quantity, kQuantityCount> kQuantities{
    Quantity::Entrants1, Quantity::Entrants2, Quantity::Entrants3, Quantity::Entrants4,
    Quantity::Tour2,     Quantity::Tour3,     Quantity::Tour4};

constexpr std::size_t quantityIndex(Quantity quantity)
{
    return static_cast<std::size_t>(quantity);
}

// The quantity's value in a solution whose round 4 holds `tour4` teams.
Count quantityValue(Quantity quantity, const TSolution &solution, Count tour4);

// An interval of counts; a missing end is no bound on that side.
struct Interval;

// Why an interval holds no count: "le minimum (10) dépasse le maximum (6)".
std::string emptyIntervalReason(const Interval &interval);

struct Interval
{
    std::optional<std::int32_t> lo;
    std::optional<std::int32_t> hi;

    bool bounded() const { return lo || hi; }
    // Ends out of order: no count lies inside.
    bool empty() const { return lo && hi && *lo > *hi; }
    // 0 inside, else how far the value lies below lo or above hi.
    Count distance(Count value) const;

    friend bool operator==(const Interval &a, const Interval &b)
    {
        return a.lo == b.lo && a.hi == b.hi;
    }
    friend bool operator!=(const Interval &a, const Interval &b) { return !(a == b); }
};

// "8" (exactly), "6..10", "20.." (at least) or "..60" (at most); each count with the integer
// text rules ("$10..$20" is 16 to 32). Nothing, or an empty interval (lo > hi), on error,
// with the French message in `error`.
std::optional<Interval> parseInterval(std::string_view text, std::string &error);

class Wishes
{
public:
    const Interval &of(Quantity quantity) const { return m_intervals[quantityIndex(quantity)]; }
    // Throws std::invalid_argument for an empty interval: the deviation would not be convex,
    // and no plan could meet the wish anyway. A form checks its ends before.
    void set(Quantity quantity, const Interval &interval);
    bool any() const;

    // The sum, over the wished quantities, of each value's distance to its interval.
    Count deviation(const TSolution &solution, Count tour4) const;

private:
    std::array<Interval, kQuantityCount> m_intervals{};
};

} // namespace velmorin
