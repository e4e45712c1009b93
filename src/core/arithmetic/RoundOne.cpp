#include "RoundOne.h"

namespace velmorin {

std::int64_t proposedEntrants1(std::int32_t registered)
{
    return (std::int64_t{registered} / 12) * 4;
}

std::int64_t entrants1Bound(std::int32_t registered, std::int32_t finale)
{
    const std::int64_t left = std::int64_t{registered} - 4 * std::int64_t{finale};
    return 4 * (left / 4 + 1);
}

std::int64_t lastExaminedEntrants1(std::int32_t registered)
{
    return registered < 0 ? -4 : 4 * (std::int64_t{registered} / 4);
}

} // namespace velmorin
