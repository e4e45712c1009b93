#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>

class QWidget;

namespace velmorin {

// Where a window of outer size `outer` stands centred on `available` (the screen less its
// panels). A window larger than the area starts at its top-left corner, so that its title
// bar stays on the screen.
QPoint centredPosition(const QRect &available, const QSize &outer);

// Moves the window so, on the available area of its screen.
void centreOnAvailableArea(QWidget *window);

// The space left between a window and a dialog opened beside it.
constexpr int kBesideGap = 8;

// Where a dialog of outer size `dialog` opens beside the window whose frame is `window`
// (screen coordinates): right of it, else left of it, else below it, level with the window
// as far as `available` allows. When none of these fits on `available`, the place on it
// that covers the least of `keepClear` (the window's input fields), trying beside the
// window and then beside those fields. A dialog larger than the area starts at its
// top-left corner.
QPoint besidePosition(const QRect &available, const QRect &window, const QSize &dialog,
                      const QRect &keepClear);

// Moves `dialog` beside `window` on the available area of the window's screen, keeping
// `keepClear` (screen coordinates; the window's frame when empty) uncovered if it can.
void placeBeside(QWidget *dialog, const QWidget *window, const QRect &keepClear = {});

// From now on `dialog` opens beside `window` the first time it is shown, keeping clear what
// `keepClear` gives at that moment, and then where it was last seen for the rest of the
// session, wherever the user moved it.
void openBeside(QWidget *dialog, const QWidget *window, std::function<QRect()> keepClear = {});

} // namespace velmorin
