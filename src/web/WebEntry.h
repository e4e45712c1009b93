#pragma once

// Results entered from the lanes, on the cup alone: what a token's page lists, and whether a
// posted result may be recorded. A token opens one group of one round; a page is stale when
// its group changed since it was shown, whatever happened elsewhere in the cup (other groups'
// results come in all the time and must not refuse this one).

#include "CupCommand.h"
#include "WebRequest.h"

#include <string>
#include <vector>

namespace velmorin::web {

// The group's games as they stand: their teams and results, as a short fingerprint.
std::string groupState(const Cup &cup, int round, int group);
// The group's games that wait for a result, in their order.
std::vector<PendingGame> groupPendingGames(const Cup &cup, int round, int group);

struct EntryCheck
{
    std::optional<CupCommand> command; // the result to apply
    int status = 200;                  // the HTTP status of a refusal
    std::string refusal;               // French, one sentence
};

// The command a form posts for the group a token opens, or why it is refused.
EntryCheck checkEntry(const Cup &cup, int round, int group, const EntryForm &form);

} // namespace velmorin::web
