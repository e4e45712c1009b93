// Integer text: the conversion never crashes, accepts exactly what the rules allow (checked
// against a plain reading of them below) and every value it accepts survives a round trip.

#include "FuzzCheck.h"
#include "IntText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

using velmorin::fuzz::check;

bool isDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

template <typename Pred> bool allOf(const std::string &s, Pred pred)
{
    for (char c : s) {
        if (!pred(c))
            return false;
    }
    return true;
}

std::string withoutLeadingZeros(const std::string &digits)
{
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
}

// The rules read as plainly as possible: spaces, then one of the hexadecimal prefixes and up
// to eight significant hex digits, or an optional sign and decimal digits within 32 bits.
std::optional<std::int32_t> readByTheRules(const std::string &text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos)
        return std::nullopt;
    const std::string rest = text.substr(start);

    for (const char *prefix : {"0x", "0X", "$", "x", "X"}) {
        if (rest.compare(0, std::strlen(prefix), prefix) != 0)
            continue;
        const std::string digits = rest.substr(std::strlen(prefix));
        if (digits.empty() || !allOf(digits, isHexDigit))
            return std::nullopt;
        const std::string significant = withoutLeadingZeros(digits);
        if (significant.size() > 8)
            return std::nullopt;
        const unsigned long pattern =
            significant.empty() ? 0 : std::strtoul(significant.c_str(), nullptr, 16);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(pattern));
    }

    const bool negative = rest[0] == '-';
    const std::string digits = (rest[0] == '-' || rest[0] == '+') ? rest.substr(1) : rest;
    if (digits.empty() || !allOf(digits, isDecimalDigit))
        return std::nullopt;
    const std::string significant = withoutLeadingZeros(digits);
    if (significant.size() > 10)
        return std::nullopt;
    long long magnitude = 0;
    for (char c : significant)
        magnitude = magnitude * 10 + (c - '0');
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Plain decimal written digit by digit, for comparison with IntToStr.
std::string decimal(std::int64_t value)
{
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return value < 0 ? "-" + digits : digits;
}

std::string hexPattern(std::int32_t value)
{
    static const char kDigits[] = "0123456789ABCDEF";
    const auto pattern = static_cast<std::uint32_t>(value);
    std::string text = "$";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += kDigits[(pattern >> shift) & 0xF];
    return text;
}

std::optional<std::int32_t> convert(std::string_view text)
{
    std::int32_t value = 0;
    if (!velmorin::tryStrToInt(text, value))
        return std::nullopt;
    return value;
}

void checkStrToIntAgrees(const std::string &text, std::optional<std::int32_t> expected)
{
    try {
        const std::int32_t value = velmorin::StrToInt(text);
        check(expected && *expected == value, "StrToInt accepted what tryStrToInt refused");
    } catch (const velmorin::ConversionError &error) {
        check(!expected, "StrToInt refused what tryStrToInt accepted");
        check(error.text() == text, "ConversionError lost the text");
        const std::string message = "'" + text + "' n'est pas une valeur entière correcte";
        // what() is a C string: a text holding a NUL byte shows only up to it.
        check(std::strcmp(message.c_str(), error.what()) == 0, "ConversionError message differs");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);

    const std::optional<std::int32_t> value = convert(text);
    const std::optional<std::int32_t> expected = readByTheRules(text);
    check(value == expected, "tryStrToInt differs from the rules");
    checkStrToIntAgrees(text, value);

    if (value) {
        const std::string back = velmorin::IntToStr(*value);
        check(back == decimal(*value), "IntToStr is not plain decimal");
        check(convert(back) == value, "decimal round trip changed the value");
        check(convert(velmorin::IntToStr(*convert(back))) == value, "second round trip");
        check(convert(hexPattern(*value)) == value, "hexadecimal round trip changed the value");
        check(convert("  " + back) == value, "leading spaces refused");
        check(!convert(back + " "), "trailing space accepted");
    }

    // The same bytes read as a 64-bit count, which IntToStr also writes.
    if (size >= sizeof(std::int64_t)) {
        std::int64_t count = 0;
        std::memcpy(&count, data, sizeof count);
        check(velmorin::IntToStr(count) == decimal(count), "IntToStr of a 64-bit count");
    }
    return 0;
}
