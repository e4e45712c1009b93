#pragma once

// The core's words and colours of an exemption class, as Qt takes them.

#include "ExemptionClass.h"

#include <QColor>
#include <QString>

#include <string_view>

namespace velmorin {

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Class 1 red, class 2 blue, class 3 black: the colours of their solution labels.
inline QColor classColour(ExemptionClass exemptionClass)
{
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | wording(exemptionClass).colour));
}

} // namespace velmorin
