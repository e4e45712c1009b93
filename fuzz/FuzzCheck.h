#pragma once

// A property that fails stops the run with the input saved: libFuzzer takes an abort for a
// crash.

#include <cstdio>
#include <cstdlib>

namespace velmorin::fuzz {

inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fputs(what, stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
}

} // namespace velmorin::fuzz
