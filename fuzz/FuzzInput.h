#pragma once

// What the fuzz targets share: stopping on a broken property and reading their input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

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

// No C0 control, no DEL, no C1 control (U+0080 to U+009F, encoded C2 80 to C2 9F): a text
// that cannot drive the terminal it is printed on.
inline bool drivesNoTerminal(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x20 || byte == 0x7F)
            return false;
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<std::uint8_t>(text[i + 1]) < 0xA0)
            return false;
    }
    return true;
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
