#include "VisibleText.h"

#include <algorithm>

#include <cstdint>

namespace velmorin {

std::size_t displayWidth(std::string_view utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at the start of `text` and its code point;
// 0 when the first byte starts none (stray, overlong, surrogate, beyond U+10FFFF, cut short).
std::size_t sequenceAt(std::string_view text, char32_t &codePoint)
{
    const auto byte = [&text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

// Walks the text one character at a time: `visit(shown, original)` gets what a message shows
// for it and its original bytes; it returns false to stop.
template <typename Visit> void forEachCharacter(std::string_view text, Visit &&visit)
{
    while (!text.empty()) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(text, c);
        const std::string_view original = text.substr(0, length == 0 ? 1 : length);
        text.remove_prefix(original.size());
        std::string shown;
        if (length == 0 || (c >= 0x80 && c <= 0x9F)) {
            shown = kReplacement;
        } else if (c < 0x20 || c == 0x7F) {
            // U+2400 to U+241F picture the C0 controls, U+2421 the DEL.
            const char32_t picture = c == 0x7F ? 0x2421 : 0x2400 + c;
            shown = {'\xE2', static_cast<char>(0x80 | ((picture >> 6) & 0x3F)),
                     static_cast<char>(0x80 | (picture & 0x3F))};
        } else {
            shown = original;
        }
        if (!visit(shown))
            return;
    }
}

} // namespace

std::string withVisibleControls(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    forEachCharacter(text, [&result](const std::string &shown) {
        result += shown;
        return true;
    });
    return result;
}

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    forEachCharacter(text, [&count](const std::string &) {
        ++count;
        return true;
    });
    return count;
}

std::string quotedText(std::string_view text, std::size_t maxCharacters)
{
    std::string result = "'";
    std::size_t taken = 0;
    bool cut = false;
    forEachCharacter(text, [&](const std::string &shown) {
        if (taken == maxCharacters) {
            cut = true;
            return false;
        }
        result += shown;
        ++taken;
        return true;
    });
    if (!cut)
        return result + '\'';
    return result + "…' (" + std::to_string(characterCount(text)) + " caractères)";
}

std::string oneLineText(std::string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            line += " / ";
        } else {
            line += text[i];
        }
    }
    return line;
}

std::string tableCellText(std::string_view text)
{
    return withVisibleControls(oneLineText(text));
}

} // namespace velmorin
