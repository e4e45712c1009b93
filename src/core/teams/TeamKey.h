#pragma once

// Who is who in a list: two teams are one team when the keys of their names are equal, two
// clubs one club when the keys of their names are equal. The list's reader, the cup's
// creation, the draw and the team look-up all compare through this key, so that they cannot
// disagree.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin {

// A name as it is compared (UTF-8 in, UTF-8 out):
// - ASCII letters in lower case, digits kept, every other ASCII character (spaces, tabs,
//   punctuation, symbols, controls) dropped;
// - Latin-1 letters without their accents ("É" → "e", "ß" → "ss", "Æ" → "ae"), "Œ", "œ" →
//   "oe"; combining accents (U+0300 to U+036F) dropped, so "é" written in two characters
//   is "e" too;
// - the Latin-1 signs U+0080 to U+00BF (no-break space, « », °, ...), × and ÷, and the
//   general punctuation U+2000 to U+206F (the narrow no-break space, ’, –, —, …) dropped;
// - every other character kept as it is.
// So "Boule Lyonnaise de Tassin", "BOULE LYONNAISE DE TASSIN" and "Boule-Lyonnaise  de
// Tassin." are one club, and so are "A.S. Tassin" and "AS Tassin"; words are not guessed
// ("AS" and "Association sportive" stay two). An empty key is no club.
std::string identityKey(std::string_view utf8);

// What the organiser reads when two names are refused or warned about as one.
inline constexpr std::string_view kIdentityRule =
    "les majuscules, les accents, les espaces et la ponctuation ne comptent pas";

// Two entries of one key: `again` repeats `first`, the first entry of that key.
struct KeyRepeat
{
    std::size_t first = 0;
    std::size_t again = 0;

    friend bool operator==(const KeyRepeat &a, const KeyRepeat &b)
    {
        return a.first == b.first && a.again == b.again;
    }
};

// Every entry whose key an earlier entry has, with that earlier entry, in the entries' order.
std::vector<KeyRepeat> keyRepeats(const std::vector<std::string> &keys);

} // namespace velmorin
