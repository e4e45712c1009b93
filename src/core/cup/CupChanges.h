#pragma once

// The changes made to a cup, as every home of a cup keeps them: one per version, in the
// organiser's words (the answer of the command that made it). A command decided on an older
// version is refused with the changes made since, so that the organiser reads what happened
// rather than "try again".

#include <cstdint>
#include <string>
#include <vector>

namespace velmorin {

struct CupChange
{
    std::uint64_t version = 0; // the version this change brought the cup to
    std::string at;            // UTC, ISO 8601
    std::string what;          // the organiser's sentence

    friend bool operator==(const CupChange &a, const CupChange &b)
    {
        return a.version == b.version && a.at == b.at && a.what == b.what;
    }
};

// How many of the changes made meanwhile a refusal names: the latest, the others counted.
constexpr std::size_t kNamedChanges = 3;

// The refusal of a command decided on a cup that changed since: "La coupe a été modifiée
// entre-temps, rien n'est enregistré : « A » gagne …". `changes` are those made since the
// version the command was decided on, oldest first; none when they could not be read.
std::string staleCommandRefusal(const std::vector<CupChange> &changes);

} // namespace velmorin
