#pragma once

// What the cup window's sources share: the words of its labels. Private to them.

#include <QString>

#include <string_view>

namespace velmorin::deroulementprivate {

inline QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

inline QString roundLabel(int round)
{
    return QStringLiteral("Tour %1").arg(round);
}

} // namespace velmorin::deroulementprivate
