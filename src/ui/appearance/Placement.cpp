#include "Placement.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace velmorin {

namespace {

// Moves `placed` into `available` as far as it can; a larger one keeps its top-left corner
// on the area.
QRect inside(const QRect &available, QRect placed)
{
    placed.moveLeft(std::min(placed.left(), available.right() + 1 - placed.width()));
    placed.moveTop(std::min(placed.top(), available.bottom() + 1 - placed.height()));
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    return placed;
}

// Right of, left of, below and above `beside`, level with its top or left edge.
std::array<QRect, 4> around(const QRect &beside, const QSize &dialog)
{
    return {QRect(QPoint(beside.right() + 1 + kBesideGap, beside.top()), dialog),
            QRect(QPoint(beside.left() - kBesideGap - dialog.width(), beside.top()), dialog),
            QRect(QPoint(beside.left(), beside.bottom() + 1 + kBesideGap), dialog),
            QRect(QPoint(beside.left(), beside.top() - kBesideGap - dialog.height()), dialog)};
}

qint64 coveredArea(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

} // namespace

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

QPoint besidePosition(const QRect &available, const QRect &window, const QSize &dialog,
                      const QRect &keepClear)
{
    const std::array<QRect, 4> besideWindow = around(window, dialog);
    // Right, left, below: slid along the window's side to stay on the area, never onto it.
    for (std::size_t side = 0; side < 3; ++side) {
        const QRect placed = inside(available, besideWindow[side]);
        if (available.contains(placed) && !placed.intersects(window))
            return placed.topLeft();
    }
    // No room beside the window: cover as little of its fields as possible, the first
    // candidate winning a tie.
    std::vector<QRect> candidates(besideWindow.begin(), besideWindow.begin() + 3);
    const std::array<QRect, 4> besideFields = around(keepClear, dialog);
    candidates.insert(candidates.end(), besideFields.begin(), besideFields.end());
    QRect best;
    qint64 bestCovered = -1;
    for (const QRect &candidate : candidates) {
        const QRect placed = inside(available, candidate);
        const qint64 covered = coveredArea(placed, keepClear);
        if (bestCovered < 0 || covered < bestCovered) {
            best = placed;
            bestCovered = covered;
        }
    }
    return best.topLeft();
}

void placeBeside(QWidget *dialog, const QWidget *window, const QRect &keepClear)
{
    const QScreen *display = window->screen();
    if (!display)
        return;
    // Before its first showing a dialog has no frame yet: take the window's.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    QSize outer = dialog->frameGeometry().size();
    if (!dialog->testAttribute(Qt::WA_WState_Created) || outer == dialog->size())
        outer = dialog->size() + (frame.size() - inner.size());
    dialog->move(besidePosition(display->availableGeometry(), frame, outer,
                                keepClear.isEmpty() ? frame : keepClear));
}

namespace {

// Watches a dialog's showing and hiding for openBeside().
class BesidePlacer : public QObject
{
public:
    BesidePlacer(QWidget *dialog, const QWidget *window, std::function<QRect()> keepClear)
        : QObject(dialog), m_dialog(dialog), m_window(window), m_keepClear(std::move(keepClear))
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_dialog || !m_window)
            return false;
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            if (m_seenAt)
                m_dialog->move(*m_seenAt);
            else
                placeBeside(m_dialog, m_window, m_keepClear ? m_keepClear() : QRect());
        } else if (event->type() == QEvent::Hide && !event->spontaneous()) {
            m_seenAt = m_dialog->pos();
        }
        return false;
    }

private:
    QWidget *m_dialog;
    QPointer<const QWidget> m_window;
    std::function<QRect()> m_keepClear;
    std::optional<QPoint> m_seenAt;
};

} // namespace

void openBeside(QWidget *dialog, const QWidget *window, std::function<QRect()> keepClear)
{
    new BesidePlacer(dialog, window, std::move(keepClear)); // owned by the dialog
}

} // namespace velmorin
