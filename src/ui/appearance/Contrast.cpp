#include "Contrast.h"

#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace velmorin {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

bool readableOn(const QColor &background, std::initializer_list<QColor> texts)
{
    return std::all_of(texts.begin(), texts.end(), [&background](const QColor &text) {
        return contrastRatio(text, background) >= kReadableContrast;
    });
}

} // namespace

double relativeLuminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The button face of the desktops of the time, on which blue and black read well.
QColor designedButtonFace()
{
    return QColor(0xF0, 0xF0, 0xF0);
}

bool keepDesignedBackground(QWidget *window, std::initializer_list<QColor> texts)
{
    const QPalette system = window->palette();
    if (readableOn(system.color(QPalette::Button), texts) &&
        readableOn(system.color(QPalette::Base), texts))
        return false;
    // Derived from the face alone: bevels, white edit boxes, black texts, disabled texts.
    window->setPalette(QPalette(designedButtonFace()));
    return true;
}

} // namespace velmorin
