#pragma once

// An open cup kept in memory, as the cup's window sees the cup file's session.

#include "CupRunSource.h"
#include "CupSimulation.h"

#include <optional>

namespace velmorin::testing {

class MemoryCup : public CupRunSource
{
public:
    explicit MemoryCup(std::optional<Cup> cup = std::nullopt) : m_cup(std::move(cup)) {}

    const Cup *cup() const override { return m_cup ? &*m_cup : nullptr; }
    CupAnswer apply(const CupCommand &command) override
    {
        if (!m_cup)
            return CupAnswer::refused("Aucune coupe n'est ouverte.");
        CupAnswer answer = m_cup->apply(command);
        if (answer.done && answer.changed)
            emit cupChanged();
        return answer;
    }
    QString cupName() const override { return QStringLiteral("Coupe d'essai"); }

private:
    std::optional<Cup> m_cup;
};

} // namespace velmorin::testing
