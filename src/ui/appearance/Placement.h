#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <vector>

class QByteArray;
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

// The frame geometry of a window of outer size `preferred` (at least `minimum`) opened beside
// the windows whose frames are `avoid` (screen coordinates; the first one is the window it
// belongs to): in the free area of `available` that shows the most of it, shrunk to fit, next
// to that first window. When no free area holds even its minimum, it overlaps, covering as
// little of `keepClear` as it can. It never leaves `available`, and is never larger than it.
QRect besideGeometry(const QRect &available, const std::vector<QRect> &avoid,
                     const QRect &keepClear, const QSize &preferred, const QSize &minimum);

// Places and sizes `dialog` by besideGeometry() beside `window` and the frames `alsoAvoid` on
// the available area of the window's screen, keeping `keepClear` (screen coordinates; the
// window's frame when empty) uncovered if it can.
void placeBeside(QWidget *dialog, const QWidget *window, const QRect &keepClear = {},
                 const std::vector<QRect> &alsoAvoid = {});

// A frame of the size `frame` had, no larger than `available`, moved the least to stand whole in
// it: a window remembered from a larger screen, or one since unplugged, comes back whole, its
// title bar on the screen.
QRect keptOnScreen(const QRect &available, const QRect &frame);

// Puts `window` back where QWidget::saveGeometry() found it (nothing when `saved` is empty or
// unreadable), whole on the available area of its screen.
void restorePlacement(QWidget *window, const QByteArray &saved);

// From now on `dialog` opens beside `window` (and the frames `alsoAvoid` gives) the first time
// it is shown, keeping clear what `keepClear` gives at that moment, and then where it was last
// seen for the rest of the session, wherever the user moved it.
void openBeside(QWidget *dialog, const QWidget *window, std::function<QRect()> keepClear = {},
                std::function<std::vector<QRect>()> alsoAvoid = {});

} // namespace velmorin
