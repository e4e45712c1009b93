#pragma once

// What the fuzz targets share: stopping on a broken property and reading their input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// The next sizeof(T) bytes, little-endian; missing bytes read as 0.
template <typename T> T take(const std::uint8_t *&data, std::size_t &size)
{
    unsigned char raw[sizeof(T)] = {};
    for (std::size_t i = 0; i < sizeof(T) && size > 0; ++i, --size)
        raw[i] = *data++;
    T value;
    std::memcpy(&value, raw, sizeof value);
    return value;
}

} // namespace velmorin::fuzz
