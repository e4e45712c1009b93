// Texts from outside as messages show them: whatever the bytes, what comes out is well-formed
// UTF-8 without a single control character, and the quoted form stays short.

#include "FuzzInput.h"
#include "VisibleText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using velmorin::fuzz::check;
using velmorin::fuzz::drivesNoTerminal;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const std::string shown = velmorin::withVisibleControls(text);
    check(drivesNoTerminal(shown), "a control character came through");
    // Well-formed and control-free already: a second pass changes nothing.
    check(velmorin::withVisibleControls(shown) == shown, "the output is not well-formed UTF-8");
    check(velmorin::characterCount(shown) == velmorin::characterCount(text),
          "characters were lost or added");
    bool printableAscii = true;
    for (const char c : text)
        printableAscii = printableAscii && c >= 0x20 && c < 0x7F;
    check(!printableAscii || shown == text, "a printable text changed");

    const std::string quoted = velmorin::quotedText(text, 8);
    check(drivesNoTerminal(quoted), "a control character came through the quotes");
    // 8 characters of at most 3 bytes, the quotes, the ellipsis and the length.
    check(quoted.size() <= 2 + 8 * 3 + 3 + 40, "the quoted text is not cut");
    return 0;
}
