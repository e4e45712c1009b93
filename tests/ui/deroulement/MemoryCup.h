#pragma once

// An open cup kept in memory, as the cup's window sees the cup file's session, and invented
// cups whose rounds all come out whole.

#include "CupRunSource.h"
#include "CupSimulation.h"

#include <optional>

namespace velmorin::testing {

class MemoryCup : public CupRunSource
{
public:
    explicit MemoryCup(std::optional<Cup> cup = std::nullopt) : m_cup(std::move(cup)) {}

    const Cup *cup() const override { return m_cup ? &*m_cup : nullptr; }
    CupAnswer apply(const std::function<CupAnswer(Cup &)> &operation) override
    {
        if (!m_cup)
            return CupAnswer::refused("Aucune coupe n'est ouverte.");
        CupAnswer answer = operation(*m_cup);
        if (answer.done)
            emit cupChanged();
        return answer;
    }
    QString cupName() const override { return QStringLiteral("Coupe d'essai"); }

private:
    std::optional<Cup> m_cup;
};

inline Cup inventedCup(Count teams, std::size_t clubs, std::array<Ratio, 3> ratios, int exempted,
                       std::uint64_t seed)
{
    SeededDraw draw(seed);
    const auto entrants = entrantsFor(teams, ratios, exempted, draw);
    if (!entrants)
        qFatal("no plan for %lld teams", static_cast<long long>(teams));
    CupCreation made = Cup::create(inventedTeams(*entrants, clubs, draw),
                                   *layoutFor(*entrants, ratios, exempted), seed);
    if (!made.ok())
        qFatal("%s", made.error.c_str());
    return std::move(*made.cup);
}

} // namespace velmorin::testing
