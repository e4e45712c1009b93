#include "Wishes.h"

#include "IntText.h"
#include "VisibleText.h"

#include <stdexcept>

namespace velmorin {

Count quantityValue(Quantity quantity, const TSolution &solution, Count tour4)
{
    switch (quantity) {
    case Quantity::Entrants1:
        return solution.Tour1;
    case Quantity::Entrants2:
        return solution.Entrant2;
    case Quantity::Entrants3:
        return solution.Entrant3;
    case Quantity::Entrants4:
        return solution.Entrant4;
    case Quantity::Tour2:
        return solution.Tour2;
    case Quantity::Tour3:
        return solution.Tour3;
    case Quantity::Tour4:
        break;
    }
    return tour4;
}

Count Interval::distance(Count value) const
{
    if (lo && value < *lo)
        return *lo - value;
    if (hi && value > *hi)
        return value - *hi;
    return 0;
}

namespace {

// The text comes from outside (a field, an argument): quoted with its controls visible.
std::string intervalMessage(std::string_view text)
{
    return quotedText(text) + " n'est pas un intervalle correct (8, 6..10, 20.. ou ..60 attendu)";
}

} // namespace

std::optional<Interval> parseInterval(std::string_view text, std::string &error)
{
    Interval interval;
    const std::size_t dots = text.find("..");
    std::int32_t value = 0;
    if (dots == std::string_view::npos) {
        if (!tryStrToInt(text, value)) {
            error = intervalMessage(text);
            return std::nullopt;
        }
        interval.lo = interval.hi = value;
        return interval;
    }
    const std::string_view low = text.substr(0, dots);
    const std::string_view high = text.substr(dots + 2);
    if (low.empty() && high.empty()) {
        error = intervalMessage(text);
        return std::nullopt;
    }
    for (const auto &[part, end] : {std::pair{low, &interval.lo}, std::pair{high, &interval.hi}}) {
        if (part.empty())
            continue;
        if (!tryStrToInt(part, value)) {
            error = intervalMessage(text);
            return std::nullopt;
        }
        *end = value;
    }
    if (interval.empty()) {
        error = "intervalle vide " + quotedText(text) + " : " + emptyIntervalReason(interval);
        return std::nullopt;
    }
    return interval;
}

std::string emptyIntervalReason(const Interval &interval)
{
    return "le minimum (" + IntToStr(interval.lo.value_or(0)) + ") dépasse le maximum (" +
           IntToStr(interval.hi.value_or(0)) + ")";
}

void Wishes::set(Quantity quantity, const Interval &interval)
{
    if (interval.empty())
        throw std::invalid_argument("empty interval " + IntToStr(*interval.lo) + ".." +
                                    IntToStr(*interval.hi));
    m_intervals[quantityIndex(quantity)] = interval;
}

bool Wishes::any() const
{
    for (const Interval &interval : m_intervals)
        if (interval.bounded())
            return true;
    return false;
}

Count Wishes::deviation(const TSolution &solution, Count tour4) const
{
    Count sum = 0;
    for (Quantity q : kQuantities)
        sum += of(q).distance(quantityValue(q, solution, tour4));
    return sum;
}

} // namespace velmorin
