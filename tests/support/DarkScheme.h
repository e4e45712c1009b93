#pragma once

// A dark desktop colour scheme, as the tests set it for the whole application.

#include <QColor>
#include <QPalette>

namespace velmorin::testing {

inline QPalette darkScheme()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    return dark;
}

} // namespace velmorin::testing
