#pragma once

// Rounded divisions for the search's bounds: C++ division truncates toward zero, the bounds
// need floor and ceiling.

#include <cstdint>

namespace velmorin {

// Floor and ceiling of a / b for b > 0.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

constexpr std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

} // namespace velmorin
