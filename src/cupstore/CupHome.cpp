#include "CupHome.h"

#include <utility>

namespace velmorin {

CupApplied CupHome::apply(const CupCommand &command, const Cup *seen)
{
    const std::uint64_t basedOn = command.basedOn.value_or(version());
    const auto stale = [&](std::string sentence) {
        refresh();
        return CupApplied{
            CupApplied::Outcome::Stale, CupAnswer::refused(std::move(sentence)), std::nullopt, {}};
    };
    // Decided on an older cup than the one read here: the changes since say what it missed.
    if (basedOn != version())
        return stale(refusalSince(basedOn));
    std::optional<Cup> next;
    if (seen && seen->version() == version()) {
        next = *seen;
    } else {
        CupCreation made = cup();
        if (!made.ok())
            return {CupApplied::Outcome::Refused, CupAnswer::refused(made.error), std::nullopt, {}};
        next = std::move(made.cup);
    }
    CupAnswer answer = next->apply(command);
    if (!answer.done)
        return {CupApplied::Outcome::Refused, std::move(answer), std::nullopt, {}};
    if (!answer.changed)
        return {CupApplied::Outcome::Done, std::move(answer), std::move(next), {}};
    CupWrite written = saveCup(*next, answer.text, basedOn);
    if (written.changedMeanwhile)
        return stale(std::move(written.message));
    if (!written.saved)
        return {CupApplied::Outcome::WriteFailed,
                CupAnswer::refused(std::move(written.message)),
                std::nullopt,
                {}};
    // The version the home gave the change is the cup's own; were it not, the cup is made
    // again from what was kept rather than carry another count.
    if (next->version() != version()) {
        CupCreation made = cup();
        next = std::move(made.cup);
    }
    return {CupApplied::Outcome::Done, std::move(answer), std::move(next),
            std::move(written.message)};
}

std::string CupHome::refusalSince(std::uint64_t version)
{
    return staleCommandRefusal(changesSince(version).value_or(std::vector<CupChange>{}));
}

bool CupHome::refresh()
{
    const std::optional<std::uint64_t> stored = storedVersion();
    if (!stored || *stored == version())
        return false;
    const CupSetup before = setup();
    if (!reload())
        return false;
    if (m_listener)
        m_listener->cupChangedElsewhere(*this, before);
    return true;
}

} // namespace velmorin
