#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace velmorin {

// Where a window of outer size `outer` stands centred on `available` (the screen less its
// panels). A window larger than the area starts at its top-left corner, so that its title
// bar stays on the screen.
QPoint centredPosition(const QRect &available, const QSize &outer);

// Moves the window so, on the available area of its screen.
void centreOnAvailableArea(QWidget *window);

} // namespace velmorin
