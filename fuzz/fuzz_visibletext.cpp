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

// No C0 control, no DEL, no C1 control (U+0080 to U+009F, encoded C2 80 to C2 9F).
bool drivesNoTerminal(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x20 || byte == 0x7F)
            return false;
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<std::uint8_t>(text[i + 1]) < 0xA0)
            return false;
    }
    return true;
}

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
