#include "CupChanges.h"

#include <algorithm>

namespace velmorin {

namespace {

// A journal line as a sentence: settings' lines ("Nom de la coupe : X") have no period.
std::string asSentence(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (!text.empty() && text.back() != '.' && text.back() != '!' && text.back() != '?')
        text += '.';
    return text;
}

} // namespace

std::string staleCommandRefusal(const std::vector<CupChange> &changes)
{
    if (changes.empty())
        return "La coupe a été modifiée entre-temps par un autre programme : rien n'est "
               "enregistré, la coupe est montrée telle qu'elle est maintenant.";
    const std::size_t named = std::min(changes.size(), kNamedChanges);
    std::string text = "La coupe a été modifiée entre-temps";
    if (changes.size() > named)
        text += " (" + std::to_string(changes.size()) + " changements, dont les " +
                std::to_string(named) + " derniers)";
    text += ", rien n'est enregistré :";
    for (std::size_t k = changes.size() - named; k < changes.size(); ++k)
        text += ' ' + asSentence(changes[k].what);
    return text;
}

} // namespace velmorin
