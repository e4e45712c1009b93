#pragma once

// The literal exhaustive search, kept as the reference the closed form must match. Its cost
// grows as (N - E1)^3, so callers keep N - E1 small. Arithmetic is in 64 bits and tests b and
// c are compared in 64ths, which is exact.

#include "VlmDec.h"

#include <vector>

namespace velmorin::reference {

inline std::vector<TSolution> search(std::int32_t registered, std::int32_t entrants1, Count tour4)
{
    std::vector<TSolution> found;
    const Count n = registered;
    const Count e1 = entrants1;
    for (Count e2 = 0; e2 <= n - e1; ++e2) {
        const Count t2 = (3 * e1) / 4 + e2;
        if (t2 % 4 != 0)
            continue;
        for (Count e3 = 0; e3 <= n - e1 - e2; ++e3) {
            const Count t3 = (3 * t2) / 4 + e3;
            if (t3 % 4 != 0)
                continue;
            for (Count e4 = 0; e4 <= n - e1 - e2 - e3; ++e4) {
                if (e1 + e2 + e3 + e4 != n)
                    continue;
                if (36 * e1 + 48 * e2 + 64 * e3 != 64 * t3)
                    continue;
                if (27 * e1 + 36 * e2 + 48 * e3 + 64 * e4 != 64 * tour4)
                    continue;
                found.push_back(TSolution{e1, e2, e3, e4, t2, t3});
            }
        }
    }
    return found;
}

} // namespace velmorin::reference
