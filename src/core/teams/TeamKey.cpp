#include "TeamKey.h"

#include <array>
#include <unordered_map>

namespace velmorin {

namespace {

// U+00C0 to U+00FF (encoded C3 80 to C3 BF) without their accents; empty: × and ÷, dropped.
constexpr std::array<std::string_view, 64> kLatin1Letters{
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};

bool isContinuation(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0xBF;
}

} // namespace

std::string identityKey(std::string_view utf8)
{
    std::string key;
    key.reserve(utf8.size());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < n ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        if (byte < 0x80) {
            if (byte >= 'A' && byte <= 'Z')
                key += static_cast<char>(byte - 'A' + 'a');
            else if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9'))
                key += static_cast<char>(byte);
        } else if (byte == 0xC2 && isContinuation(next)) {
            ++i; // a Latin-1 sign or space
        } else if (byte == 0xC3 && isContinuation(next)) {
            const std::string_view letters = kLatin1Letters[next - 0x80];
            if (letters.size() == 1)
                key.push_back(letters.front()); // most of them, without a call to append
            else
                key.append(letters);
            ++i;
        } else if (byte == 0xC5 && (next == 0x92 || next == 0x93)) {
            key += "oe";
            ++i;
        } else if ((byte == 0xCC && isContinuation(next)) ||
                   (byte == 0xCD && next >= 0x80 && next <= 0xAF)) {
            ++i; // a combining accent
        } else if (byte == 0xE2 && (next == 0x80 || next == 0x81) && i + 2 < n &&
                   isContinuation(static_cast<unsigned char>(utf8[i + 2])) &&
                   (next == 0x80 || static_cast<unsigned char>(utf8[i + 2]) <= 0xAF)) {
            i += 2; // general punctuation
        } else {
            key += static_cast<char>(byte);
        }
    }
    return key;
}

std::vector<KeyRepeat> keyRepeats(const std::vector<std::string> &keys)
{
    std::vector<KeyRepeat> repeats;
    std::unordered_map<std::string_view, std::size_t> firstOf;
    firstOf.reserve(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const auto [at, inserted] = firstOf.emplace(keys[k], k);
        if (!inserted)
            repeats.push_back({at->second, k});
    }
    return repeats;
}

} // namespace velmorin
