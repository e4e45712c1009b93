#pragma once

// Keeps the fixed text colours of a window readable whatever the desktop's colour scheme.

#include <QColor>

#include <initializer_list>

class QWidget;

namespace velmorin {

// Relative luminance and contrast ratio (1 to 21) as WCAG 2 defines them.
double relativeLuminance(const QColor &colour);
double contrastRatio(const QColor &a, const QColor &b);

// What normal text needs (WCAG AA).
constexpr double kReadableContrast = 4.5;

// The light button face the windows were drawn on.
QColor designedButtonFace();

// When the fixed text colours `texts` fall below kReadableContrast on the button face or
// the edit boxes of `window`'s palette (a dark desktop scheme), gives `window` a light
// palette of its own: that button face, white edit boxes and black default texts. Its
// controls inherit it; colours they set themselves stay. Returns whether it did.
bool keepDesignedBackground(QWidget *window, std::initializer_list<QColor> texts);

} // namespace velmorin
