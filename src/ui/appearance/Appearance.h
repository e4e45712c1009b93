#pragma once

// Fonts and font colours, shared by the main window and the about dialog.

// The window and the dialog name the fonts they were designed with. Where one is missing,
// the free font with the same metrics stands in, so that text still fits its box; fontconfig's
// own last resort (often a monospaced font) would not.

#include <QColor>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <QWidget>

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

// A font colour goes through the palette, for labels, edit boxes and buttons alike.
inline void setFontColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace velmorin
