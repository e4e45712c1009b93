#pragma once

// The window and the dialog name the fonts they were designed with. Where one is missing,
// the free font with the same metrics stands in, so that text still fits its box; fontconfig's
// own last resort (often a monospaced font) would not.

#include <QString>
#include <QStringList>

namespace velmorin {

inline QStringList fontFamilies(const QString &family)
{
    if (family == QLatin1String("Arial") || family == QLatin1String("MS Sans Serif"))
        return {family, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    if (family == QLatin1String("Century Schoolbook"))
        return {family, QStringLiteral("C059"), QStringLiteral("Century Schoolbook L"),
                QStringLiteral("TeX Gyre Schola"), QStringLiteral("Liberation Serif")};
    if (family == QLatin1String("Symbol"))
        return {family, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
    return {family};
}

} // namespace velmorin
