#include "ReflowLayout.h"

#include <algorithm>

namespace velmorin {

QSize ReflowLayout::minimumAs(bool row) const
{
    int along = 0;
    int across = 0;
    int shown = 0;
    for (int i = 0; i < count(); ++i) {
        QLayoutItem *item = itemAt(i);
        if (item->isEmpty())
            continue;
        const QSize size = item->minimumSize();
        along += row ? size.width() : size.height();
        across = std::max(across, row ? size.height() : size.width());
        ++shown;
    }
    along += std::max(0, shown - 1) * std::max(0, spacing());
    const QMargins margins = contentsMargins();
    return QSize(row ? along : across, row ? across : along) +
           QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize ReflowLayout::minimumSize() const
{
    return minimumAs(false);
}

void ReflowLayout::setGeometry(const QRect &rect)
{
    const Direction wanted = rect.width() >= minimumAs(true).width() ? LeftToRight : TopToBottom;
    // Changing it lays the window out again, in the new direction.
    if (direction() != wanted)
        setDirection(wanted);
    QBoxLayout::setGeometry(rect);
}

} // namespace velmorin
