#pragma once

// A dark desktop colour scheme, as the tests set it for the whole application, and the check
// that a text stays readable. A test that uses it links velmorin_ui.

#include "Contrast.h"

#include <QColor>
#include <QPalette>
#include <QString>

namespace velmorin::testing {

inline QPalette darkScheme()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    return dark;
}

// Why `text` on `background` falls below the readable contrast; empty when it does not.
inline QString contrastFault(const QColor &text, const QColor &background)
{
    const double ratio = contrastRatio(text, background);
    if (ratio >= kReadableContrast)
        return {};
    return QStringLiteral("%1 on %2: %3:1")
        .arg(text.name(), background.name())
        .arg(ratio, 0, 'f', 2);
}

} // namespace velmorin::testing
