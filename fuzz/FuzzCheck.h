#pragma once

// What every fuzz target checks with.

#include <cstdio>
#include <cstdlib>

namespace velmorin::fuzz {

// Stops the run with the input saved: libFuzzer treats an abort as a crash.
inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fputs(what, stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
}

} // namespace velmorin::fuzz
