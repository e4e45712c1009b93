#pragma once

// Entry tokens: 128 random bits written as 32 hexadecimal digits, given to the lanes in an
// address; the cup keeps only their SHA-256, so that whoever reads the file cannot enter.

#include <string>
#include <string_view>

namespace velmorin {

// A new token from the system's cryptographic generator.
std::string newEntryToken();
// The hash the cup keeps of a token (lowercase hexadecimal).
std::string entryTokenHash(std::string_view token);
// Whether a text has a token's shape: 32 lowercase hexadecimal digits.
bool looksLikeEntryToken(std::string_view text);
// How the organiser and the journal name a token without giving it: its hash's first eight
// digits.
std::string entryTokenName(std::string_view hash);

// The path of a token's entry page on the cup's server.
inline constexpr std::string_view kEntryPathPrefix = "/saisie/";
std::string entryPath(std::string_view token);

} // namespace velmorin
