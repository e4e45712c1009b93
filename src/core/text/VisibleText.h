#pragma once

// Texts from outside (arguments, typed text) as a message shows them: nothing in them may
// drive a terminal or vanish from a dialog, and a huge one must not flood the message.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmorin {

// The UTF-8 text with its C0 controls and DEL shown as their pictures ("␀" … "␟", "␡"), and
// its C1 controls and malformed bytes as "�".
std::string withVisibleControls(std::string_view text);

// A cell's text on one line, as printed sheets and tables show it: its lines joined by " / ".
std::string oneLineText(std::string_view text);

// A cell of a text table on a terminal: its lines joined as oneLineText joins them, its other
// controls shown as their pictures, as withVisibleControls does. Every table the calculator
// prints shows names, clubs and levels this way.
std::string tableCellText(std::string_view text);

// Characters of a text, a malformed byte counting as one.
std::size_t characterCount(std::string_view text);

constexpr std::size_t kQuotedCharacters = 40;

// The text between apostrophes, its controls visible; past `maxCharacters` characters it is
// cut with "…" and its whole length follows: '123…' (100000 caractères).
// Characters on screen, for aligning tables: UTF-8 continuation bytes take no room ("Écart"
// is five wide).
std::size_t displayWidth(std::string_view utf8);

std::string quotedText(std::string_view text, std::size_t maxCharacters = kQuotedCharacters);

} // namespace velmorin
