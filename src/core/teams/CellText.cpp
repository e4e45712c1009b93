// A cell's text as a list reads and writes it: trimmed, folded for comparing, a level's
// number, points in any form a French sheet writes them, and written back one way.

#include "TeamList.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace velmorin {

namespace {

// U+00C0 to U+00FF, encoded C3 80 to C3 BF, without their accents; null keeps the letter.
constexpr std::array<const char *, 64> kLatin1Folded{
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y"};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string_view trimmedCellText(std::string_view text)
{
    for (;;) {
        if (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
        else if (text.substr(0, 2) == "\xC2\xA0")
            text.remove_prefix(2);
        else if (text.substr(0, 3) == "\xE2\x80\xAF")
            text.remove_prefix(3);
        else
            break;
    }
    for (;;) {
        const std::size_t n = text.size();
        if (n > 0 && isBlank(text.back()))
            text.remove_suffix(1);
        else if (n >= 2 && text.substr(n - 2) == "\xC2\xA0")
            text.remove_suffix(2);
        else if (n >= 3 && text.substr(n - 3) == "\xE2\x80\xAF")
            text.remove_suffix(3);
        else
            break;
    }
    return text;
}

namespace {

std::string_view trimmed(std::string_view text)
{
    return trimmedCellText(text);
}

} // namespace

std::string foldedName(std::string_view utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    bool pendingSpace = false;
    const auto put = [&](std::string_view text) {
        if (pendingSpace && !folded.empty())
            folded += ' ';
        pendingSpace = false;
        folded += text;
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        if (isBlank(utf8[i]) || (byte == 0xC2 && next == 0xA0)) {
            pendingSpace = true;
            i += byte == 0xC2 ? 1 : 0;
        } else if (byte == 0xE2 && next == 0x80 && i + 2 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 2]) == 0xAF) {
            pendingSpace = true;
            i += 2;
        } else if (byte == 0xC3 && next >= 0x80 && next <= 0xBF && kLatin1Folded[next - 0x80]) {
            put(kLatin1Folded[next - 0x80]);
            ++i;
        } else if (byte == 0xC5 && (next == 0x92 || next == 0x93)) { // Œ, œ
            put("oe");
            ++i;
        } else if (byte >= 'A' && byte <= 'Z') {
            const char lower = static_cast<char>(byte - 'A' + 'a');
            put(std::string_view(&lower, 1));
        } else {
            put(std::string_view(&utf8[i], 1));
        }
    }
    return folded;
}

std::string levelText(const std::optional<Level> &level)
{
    return level ? level->text() : std::string();
}

std::optional<int> parseLevel(std::string_view text)
{
    text = trimmed(text);
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1)
        return std::nullopt;
    return value;
}

std::optional<double> parsePoints(std::string_view text)
{
    text = trimmed(text);
    // A sign, digits that spreadsheets may group by three with spaces, and a decimal comma or
    // point.
    std::string plain;
    std::size_t i = 0;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-')
            plain += '-';
        i = 1;
    }
    bool decimal = false;
    bool grouped = false;
    std::size_t group = 0; // digits since the last separator, before the decimal one
    std::size_t digits = 0;
    std::size_t decimals = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            plain += c;
            ++(decimal ? decimals : digits);
            ++group;
            ++i;
        } else if ((c == ',' || c == '.') && digits > 0 && !decimal) {
            if (grouped && group != 3)
                return std::nullopt;
            plain += '.';
            decimal = true;
            ++i;
        } else if (digits > 0 && !decimal &&
                   (c == ' ' || text.substr(i, 2) == "\xC2\xA0" ||
                    text.substr(i, 3) == "\xE2\x80\xAF")) {
            // A group separator stands between digits only: one to three before the first,
            // three in every group after it.
            if ((grouped && group != 3) || (!grouped && group > 3))
                return std::nullopt;
            grouped = true;
            group = 0;
            i += c == ' ' ? 1 : (text[i] == '\xC2' ? 2 : 3);
            if (i >= text.size() || text[i] < '0' || text[i] > '9')
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || (decimal && decimals == 0) || (grouped && !decimal && group != 3))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string formatPoints(double points, char decimal)
{
    if (points == 0)
        points = 0; // no "-0"
    // Wide enough for any double in fixed notation at its shortest.
    char digits[400];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, points, std::chars_format::fixed);
    std::string text(digits, error == std::errc() ? end : digits);
    if (decimal != '.')
        std::replace(text.begin(), text.end(), '.', decimal);
    return text;
}

std::string columnLetters(std::size_t column)
{
    std::string letters;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

} // namespace velmorin
