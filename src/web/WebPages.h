#pragma once

// The server's pages, on the cup alone: French, self-contained (inline style and one inline
// script, nothing from outside), readable on a 360-pixel phone in light and dark. The results
// are the results page's own parts (CupText.h); the live pages follow /evenements and, without
// script, refresh every 30 seconds.

#include "Cup.h"
#include "CupText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmorin::web {

// The one script of the pages, and its hash for the content security policy.
std::string_view pageScript();
const std::string &pageScriptHash(); // "sha256-…"
std::string contentSecurityPolicy();

// What a live page shows under its title, which its events replace: the results (view ""),
// a round ("tour-N") or the hall screen ("ecran"). `cup` none: the cup is not played yet.
std::string liveContent(const Cup *cup, std::string_view view, const LocalTime &now);
std::string livePage(const Cup *cup, std::string_view cupName, std::string_view view,
                     const LocalTime &now);
// One Server-Sent Event carrying a live page's new content.
std::string liveEvent(std::uint64_t version, std::string_view content);
// The event that takes a page from `before` to `after`: only the game rows that changed
// ("lignes") when nothing else did, else the whole content.
std::string liveChange(std::uint64_t version, std::string_view before, std::string_view after);

// The whole cup for a club's website (README: "/coupe.json").
std::string cupJson(const Cup *cup, std::string_view cupName, std::uint64_t version);

// A token's page: its group's pending games, a form each, under `notice` (what was just
// recorded or why not; `refused` marks it as a refusal).
std::string entryPage(const Cup *cup, std::string_view cupName, std::string_view token,
                      int round, int group, const std::string &notice, bool refused);

// A short French error page.
std::string errorPage(std::string_view title, std::string_view sentence);

} // namespace velmorin::web
