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

// The designed family and its stand-ins, from the first one installed on; when none is, the
// whole list, and the font database's own substitution decides.
QStringList fontFamilies(const QString &family);

// A font colour goes through the palette, for labels, edit boxes and buttons alike.
inline void setFontColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace velmorin
