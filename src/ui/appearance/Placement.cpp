#include "Placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace velmorin {

QPoint centredPosition(const QRect &available, const QSize &outer)
{
    const int left = available.x() + (available.width() - outer.width()) / 2;
    const int top = available.y() + (available.height() - outer.height()) / 2;
    return {std::max(left, available.left()), std::max(top, available.top())};
}

void centreOnAvailableArea(QWidget *window)
{
    const QScreen *display = window->screen();
    if (!display)
        return;
    window->move(centredPosition(display->availableGeometry(), window->frameGeometry().size()));
}

} // namespace velmorin
