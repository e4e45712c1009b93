#include "IntText.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace velmorin {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

std::string conversionMessage(std::string_view text)
{
    std::string shown = "'";
    shown += text;
    shown += '\'';
    return intTextMessage(IntTextStatus::NotInteger, text, shown);
}

// Once past 32 bits a number keeps being read, to tell a too large one from a text that is no
// number; the value stops growing there, so it never overflows.
IntTextStatus parseHex(std::string_view digits, std::int32_t &value)
{
    if (digits.empty())
        return IntTextStatus::NotInteger;
    std::uint64_t pattern = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return IntTextStatus::NotInteger;
        if (pattern <= 0xFFFFFFFFu) // leading zeros never take it past
            pattern = pattern * 16 + static_cast<std::uint64_t>(d);
    }
    if (pattern > 0xFFFFFFFFu)
        return IntTextStatus::OutOf32Bits;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(pattern));
    return IntTextStatus::Integer;
}

IntTextStatus parseDecimal(std::string_view text, std::int32_t &value)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return IntTextStatus::NotInteger;
    // Accumulate the magnitude; -2147483648 is the one value whose magnitude exceeds INT32_MAX.
    const std::int64_t limit = negative ? std::int64_t{2147483648} : std::int64_t{2147483647};
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return IntTextStatus::NotInteger;
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (c - '0');
    }
    if (magnitude > limit)
        return IntTextStatus::OutOf32Bits;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return IntTextStatus::Integer;
}

} // namespace

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error(conversionMessage(text)), m_text(text)
{}

std::string ConversionError::message() const
{
    return conversionMessage(m_text);
}

IntTextStatus readIntText(std::string_view text, std::int32_t &value) noexcept
{
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);

    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
        return parseHex(rest.substr(2), value);
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X'))
        return parseHex(rest.substr(1), value);
    return parseDecimal(rest, value);
}

bool tryStrToInt(std::string_view text, std::int32_t &value) noexcept
{
    return readIntText(text, value) == IntTextStatus::Integer;
}

std::string intTextMessage(IntTextStatus status, std::string_view text, std::string_view shownText)
{
    std::string message(shownText);
    if (status != IntTextStatus::OutOf32Bits)
        return message + " n'est pas une valeur entière correcte";
    // Only a decimal can be negative; a hexadecimal one is a 32-bit pattern, so "au plus"
    // names its largest pattern.
    const std::size_t start = std::min(text.find_first_not_of(' '), text.size());
    const std::string_view rest = text.substr(start);
    if (!rest.empty() && rest.front() == '-')
        return message + " est trop petit : au moins " +
               groupedDigits(std::numeric_limits<std::int32_t>::min());
    const bool hexadecimal = rest.find_first_of("$xX") == 0 || rest.find_first_of("xX") == 1;
    return message + " est trop grand : au plus " +
           (hexadecimal ? std::string("$FFFFFFFF")
                        : groupedDigits(std::numeric_limits<std::int32_t>::max()));
}

std::string groupedDigits(std::int64_t value)
{
    return groupedDigits(std::string_view(IntToStr(value)));
}

std::string groupedDigits(std::string_view digits)
{
    const std::size_t sign = !digits.empty() && digits.front() == '-' ? 1 : 0;
    std::string grouped(digits.substr(0, sign));
    for (std::size_t i = sign; i < digits.size(); ++i) {
        if (i > sign && (digits.size() - i) % 3 == 0)
            grouped += ' ';
        grouped += digits[i];
    }
    return grouped;
}

std::int32_t StrToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!tryStrToInt(text, value))
        throw ConversionError(text);
    return value;
}

std::string IntToStr(std::int64_t value)
{
    return std::to_string(value);
}

} // namespace velmorin
