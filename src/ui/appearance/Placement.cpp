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

QRect besideGeometry(const QRect &available, const std::vector<QRect> &avoid,
                     const QRect &keepClear, const QSize &preferred, const QSize &minimum)
{
    const QSize largest = preferred.boundedTo(available.size());
    const QSize smallest = minimum.boundedTo(largest);
    const QPoint anchor = avoid.empty() ? available.topLeft() : avoid.front().topLeft();
    // The free areas: every rectangle of the area between the edges of the frames (a gap
    // around each) that meets none of them. A handful of frames makes few edges.
    std::vector<QRect> apart;
    std::vector<int> xs{available.left(), available.right() + 1};
    std::vector<int> ys{available.top(), available.bottom() + 1};
    const auto clamped = [](int v, int low, int high) { return std::clamp(v, low, high); };
    for (const QRect &frame : avoid) {
        const QRect spaced = frame.adjusted(-kBesideGap, -kBesideGap, kBesideGap, kBesideGap);
        apart.push_back(spaced);
        for (const int x : {spaced.left(), spaced.right() + 1})
            xs.push_back(clamped(x, available.left(), available.right() + 1));
        for (const int y : {spaced.top(), spaced.bottom() + 1})
            ys.push_back(clamped(y, available.top(), available.bottom() + 1));
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::optional<QRect> best;
    qint64 bestShown = 0;
    qint64 bestFree = 0;
    for (std::size_t l = 0; l < xs.size(); ++l) {
        for (std::size_t r = l + 1; r < xs.size(); ++r) {
            if (xs[r] - xs[l] < smallest.width())
                continue;
            for (std::size_t t = 0; t < ys.size(); ++t) {
                for (std::size_t b = t + 1; b < ys.size(); ++b) {
                    const QRect free(QPoint(xs[l], ys[t]), QPoint(xs[r] - 1, ys[b] - 1));
                    if (free.height() < smallest.height() ||
                        std::any_of(apart.begin(), apart.end(),
                                    [&free](const QRect &a) { return a.intersects(free); }))
                        continue;
                    const QSize size = largest.boundedTo(free.size());
                    const qint64 shown = qint64(size.width()) * size.height();
                    const qint64 area = qint64(free.width()) * free.height();
                    if (best && (shown < bestShown || (shown == bestShown && area <= bestFree)))
                        continue;
                    // Next to the window: its corner brought into the free area.
                    best = inside(free, QRect(anchor, size));
                    bestShown = shown;
                    bestFree = area;
                }
            }
        }
    }
    if (best)
        return *best;
    // No room: over the windows, beside them or beside the fields, covering as little of the
    // fields as it can, and then of the windows; at its smallest, which covers less.
    std::vector<QRect> candidates;
    for (const QRect &frame : avoid) {
        const std::array<QRect, 4> sides = around(frame, smallest);
        candidates.insert(candidates.end(), sides.begin(), sides.end());
    }
    if (!keepClear.isEmpty()) {
        const std::array<QRect, 4> sides = around(keepClear, smallest);
        candidates.insert(candidates.end(), sides.begin(), sides.end());
    }
    for (const QPoint &corner : {available.topLeft(), available.topRight(), available.bottomLeft(),
                                 available.bottomRight()})
        candidates.emplace_back(corner - QPoint(smallest.width() / 2, smallest.height() / 2),
                                smallest);
    QRect chosen;
    std::pair<qint64, qint64> least{-1, -1};
    for (const QRect &candidate : candidates) {
        const QRect placed = inside(available, candidate);
        qint64 overWindows = 0;
        for (const QRect &frame : avoid)
            overWindows += coveredArea(placed, frame);
        const std::pair<qint64, qint64> covered{coveredArea(placed, keepClear), overWindows};
        if (least.first < 0 || covered < least) {
            chosen = placed;
            least = covered;
        }
    }
    return chosen;
}

void placeBeside(QWidget *dialog, const QWidget *window, const QRect &keepClear,
                 const std::vector<QRect> &alsoAvoid)
{
    const QScreen *display = window->screen();
    if (!display)
        return;
    // Before its first showing a dialog has no frame yet: take the window's.
    const QRect frame = window->frameGeometry();
    const QSize margins = frame.size() - window->geometry().size();
    QSize outerMargins = dialog->frameGeometry().size() - dialog->size();
    if (!dialog->testAttribute(Qt::WA_WState_Created) || outerMargins.isNull())
        outerMargins = margins;
    std::vector<QRect> avoid = alsoAvoid;
    avoid.insert(avoid.begin(), frame);
    const QSize minimum = dialog->minimumSizeHint().expandedTo(dialog->minimumSize());
    const QRect placed =
        besideGeometry(display->availableGeometry(), avoid, keepClear.isEmpty() ? frame : keepClear,
                       dialog->size() + outerMargins, minimum + outerMargins);
    dialog->resize((placed.size() - outerMargins).expandedTo(dialog->minimumSize()));
    dialog->move(placed.topLeft());
}

namespace {

// Watches a dialog's showing and hiding for openBeside().
class BesidePlacer : public QObject
{
public:
    BesidePlacer(QWidget *dialog, const QWidget *window, std::function<QRect()> keepClear,
                 std::function<std::vector<QRect>()> alsoAvoid)
        : QObject(dialog), m_dialog(dialog), m_window(window), m_keepClear(std::move(keepClear)),
          m_alsoAvoid(std::move(alsoAvoid))
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
                placeBeside(m_dialog, m_window, m_keepClear ? m_keepClear() : QRect(),
                            m_alsoAvoid ? m_alsoAvoid() : std::vector<QRect>());
        } else if (event->type() == QEvent::Hide && !event->spontaneous()) {
            m_seenAt = m_dialog->pos();
        }
        return false;
    }

private:
    QWidget *m_dialog;
    QPointer<const QWidget> m_window;
    std::function<QRect()> m_keepClear;
    std::function<std::vector<QRect>()> m_alsoAvoid;
    std::optional<QPoint> m_seenAt;
};

} // namespace

QRect keptOnScreen(const QRect &available, const QRect &frame)
{
    return inside(available, QRect(frame.topLeft(), frame.size().boundedTo(available.size())));
}

void restorePlacement(QWidget *window, const QByteArray &saved)
{
    if (saved.isEmpty() || !window->restoreGeometry(saved))
        return;
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    // The frame's margins as the window has them, none before its first showing.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(),
                           frame.right() - inner.right(), frame.bottom() - inner.bottom());
    const QRect kept = keptOnScreen(screen->availableGeometry(), frame);
    window->resize(kept.size().shrunkBy(margins).expandedTo(window->minimumSizeHint()));
    window->move(kept.topLeft());
}

void openBeside(QWidget *dialog, const QWidget *window, std::function<QRect()> keepClear,
                std::function<std::vector<QRect>()> alsoAvoid)
{
    // owned by the dialog
    new BesidePlacer(dialog, window, std::move(keepClear), std::move(alsoAvoid));
}

} // namespace velmorin
