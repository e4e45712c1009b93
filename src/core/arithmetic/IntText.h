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

enum class IntTextStatus { Integer, NotInteger, OutOf32Bits };

// Like tryStrToInt, and telling a well-formed integer outside 32 bits (decimal, or hexadecimal
// with more than eight significant digits) from any other refused text. The window's message
// does not tell them apart; the calculator's does.
IntTextStatus readIntText(std::string_view text, std::int32_t &value) noexcept;

// The message about a refused `text`, given as the message shows it (shownText, quotes
// included): "'abc' n'est pas une valeur entière correcte", "'2147483648' est trop grand :
// au plus 2 147 483 647", "'-2147483649' est trop petit : au moins -2 147 483 648".
std::string intTextMessage(IntTextStatus status, std::string_view text, std::string_view shownText);

// Decimal with the thousands grouped by spaces, as an organiser reads them: "-2 147 483 648".
std::string groupedDigits(std::int64_t value);
// The same for a decimal text, an optional "-" then digits, whatever its size.
std::string groupedDigits(std::string_view decimal);

// A hexadecimal digit's value, -1 for any other character.
int hexDigit(char c);

// Plain decimal, "-" for negatives, no grouping, no padding.
std::string IntToStr(std::int64_t value);

} // namespace velmorin
