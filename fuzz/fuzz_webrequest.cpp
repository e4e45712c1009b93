// What the cup's server reads of a request from anyone on the hall's network: the address, a
// form, the origin headers. Whatever the bytes, nothing crashes, an address names only the
// server's pages, and a form read holds what the entry pages can post.

#include "FuzzInput.h"
#include "WebRequest.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using velmorin::fuzz::check;
using namespace velmorin::web;

bool plainToken(std::string_view token)
{
    for (const char c : token) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return !token.empty() && token.size() <= 64;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const Route route = routeOf(text);
    check(route.page != Route::Page::Entry || plainToken(route.token),
          "a token address holds more than letters and digits");
    check(route.round >= 0 && route.round <= 6, "a round beyond the cup's");
    check(route.page == Route::Page::Unknown || (!text.empty() && text.front() == '/'),
          "a page for an address that is not a path");
    check(text.find("..") == std::string_view::npos || route.page == Route::Page::Unknown,
          "a page for an address that climbs");

    if (const auto fields = formFields(text)) {
        check(fields->size() <= 16, "more fields than allowed");
        for (const auto &[name, value] : *fields)
            check(!name.empty() && name.find('\0') == std::string::npos &&
                      value.find('\0') == std::string::npos,
                  "an empty name or a NUL byte in a field");
    }
    const EntryFormReading reading = readEntryForm(text);
    check(reading.form.has_value() != !reading.refusal.empty(), "read and refused at once");
    if (reading.form) {
        check(reading.form->round >= 1 && reading.form->round <= 6, "a round beyond the cup's");
        check(reading.form->game >= 1 && reading.form->game <= 3, "a game beyond a group's");
        check(reading.form->group >= 1 && reading.form->winner >= 0, "a negative number");
    }

    // Host, Origin and Referer, one a line.
    const std::size_t first = text.find('\n');
    const std::size_t second = first == std::string_view::npos ? first : text.find('\n', first + 1);
    if (second != std::string_view::npos) {
        const std::string_view host = text.substr(0, first);
        const std::string_view origin = text.substr(first + 1, second - first - 1);
        const std::string_view referer = text.substr(second + 1);
        if (sameOrigin(host, origin, referer))
            check(!host.empty() && (origin.empty() ? referer : origin)
                                           .substr(0, 7 + host.size()) ==
                                       "http://" + std::string(host),
                  "another origin taken as the server's");
    }
    return 0;
}
