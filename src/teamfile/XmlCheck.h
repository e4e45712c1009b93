#pragma once

// liborcus's XML parser (Debian builds it with assertions) can step past the end of a damaged
// part and abort the whole program. Every part it will parse is first checked here with expat,
// and a damaged one makes the file unreadable instead.

#include <string_view>

namespace velmorin {

// Whether liborcus may parse `part`: well-formed XML without a document type (no spreadsheet
// part has one) and without a zero byte. A part that does not start as XML (a picture) passes:
// liborcus refuses it at its first byte if it reads it at all.
bool xmlPartIsSound(std::string_view part);

// Whether every part of the zip archive `bytes` passes xmlPartIsSound; false when the archive
// cannot be opened or a part cannot be unpacked.
bool zipXmlPartsAreSound(std::string_view bytes);

} // namespace velmorin
