#pragma once

// What the cup's server reads of a request, without the network: the address and its page,
// the form an entry page posts, the same-origin check. Pure and bounded, so that it is fuzzed
// on its own (fuzz/fuzz_webrequest.cpp).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace velmorin::web {

struct Route
{
    enum class Page { Results, Round, Screen, Json, Events, Entry, Unknown };
    Page page = Page::Unknown;
    int round = 0;     // Round, and the Events of a round's page
    std::string token; // Entry: as written in the address
    std::string view;  // Events: the page it follows ("", "tour-N" or "ecran")
};

// The page an address names ("/", "/tour/3", "/saisie/…", "/evenements?vue=ecran"…). An
// address with anything else (another query, "..", encoded bytes) is Unknown: nothing is
// served beyond the pages.
Route routeOf(std::string_view target);

// A form's fields (application/x-www-form-urlencoded); none when it is malformed, holds a
// field twice, or more than `maxFields`.
std::optional<std::map<std::string, std::string>> formFields(std::string_view body,
                                                             std::size_t maxFields = 16);
// "%41+b" → "A b"; none on a malformed escape or a NUL byte.
std::optional<std::string> percentDecoded(std::string_view text);

// A POST comes from the server's own page: its Origin, or failing it its Referer, names the
// Host it was sent to, over plain HTTP. Neither given is refused.
bool sameOrigin(std::string_view host, std::string_view origin, std::string_view referer);

// The result an entry page posts for one game.
struct EntryForm
{
    int round = 0;
    int group = 0;
    int game = 0;
    int winner = 0;            // the team's index
    std::string score;         // as typed, possibly empty
    std::uint64_t version = 0; // the cup's version the page showed
    std::string state;         // the group as the page showed it (groupState)
};

struct EntryFormReading
{
    std::optional<EntryForm> form;
    std::string refusal; // French, one sentence, when none
};

EntryFormReading readEntryForm(std::string_view body);

} // namespace velmorin::web
