#pragma once

// Counts cross the user interface as text. These are the only two conversions.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmorin {

// Raised when a text is not an integer; what() is the French message shown to the user.
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(std::string_view text);
    const std::string &text() const { return m_text; }
    // The message with its length: what() stops at the first NUL character of the text.
    std::string message() const;

private:
    std::string m_text;
};

// Optional leading spaces (the space character only), then either an optional sign and
// decimal digits that fit in 32 signed bits, or "$", "x", "X", "0x", "0X" and hexadecimal
// digits that fit in 32 bits, taken as a 32-bit pattern ($FFFFFFFF is -1). Nothing may
// follow the digits. Throws ConversionError otherwise.
std::int32_t StrToInt(std::string_view text);

// Like StrToInt, without the exception.
bool tryStrToInt(std::string_view text, std::int32_t &value) noexcept;

// Plain decimal, "-" for negatives, no grouping, no padding.
std::string IntToStr(std::int64_t value);

} // namespace velmorin
