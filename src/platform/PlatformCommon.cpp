#include "Platform.h"

namespace velmorin::platform {

// The rules of the Microsoft C runtime: backslashes are literal except before a quote, where
// each one needs a backslash of its own, and the quote one more.
std::string windowsArgument(std::string_view argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
        return std::string(argument);
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote, every backslash doubled.
    quoted.append(2 * backslashes, '\\');
    quoted += '"';
    return quoted;
}

} // namespace velmorin::platform
