#include "OverviewChart.h"

#include "ClassAppearance.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmorin {

namespace {

constexpr qreal kPad = 8;
constexpr qreal kBarShare = 0.6; // of a bar's slot; the rest parts it from its neighbours

QString entrantsTitle()
{
    return QStringLiteral("Entrants au Tour 1 (E1)");
}

QString solutionsTitle()
{
    return QStringLiteral("Solutions");
}

qreal widest(const QFontMetricsF &metrics, const QStringList &texts)
{
    qreal width = 0;
    for (const QString &text : texts)
        width = std::max(width, metrics.horizontalAdvance(text));
    return width;
}

// A text's own box, its left edge or centre at x and its top at y.
OverviewChart::Text textAt(const QFontMetricsF &metrics, const QString &text, qreal x, qreal y,
                           Qt::Alignment alignment)
{
    const qreal width = metrics.horizontalAdvance(text);
    const qreal left = alignment & Qt::AlignHCenter ? x - width / 2
                       : alignment & Qt::AlignRight ? x - width
                                                    : x;
    return {text, QRectF(left, y, width, metrics.height())};
}

} // namespace

OverviewChart::OverviewChart(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OverviewChart::setRows(const std::vector<OverviewRow> &rows, const QStringList &labels)
{
    m_counts.clear();
    Count highest = 0;
    for (const OverviewRow &row : rows) {
        m_counts.push_back(row.solutions);
        highest = std::max(highest, row.total());
    }
    m_labels = labels;
    m_scale = solutionsScale(highest);
    m_pressed = -1;
    update();
}

OverviewChart::Drawing OverviewChart::drawing() const
{
    Drawing d;
    const QFontMetricsF metrics(font());
    const qreal line = metrics.height();

    QStringList tickTexts;
    for (Count value = 0; value <= m_scale.top; value += m_scale.step)
        tickTexts << QString::number(value);
    const qreal tickWidth = widest(metrics, tickTexts);
    const qreal labelWidth = widest(metrics, m_labels);

    // The legend, a swatch and the class's name for each, on as many lines as the width needs,
    // each line centred.
    const qreal swatch = std::round(line * 0.7);
    std::array<qreal, 3> itemWidths{};
    std::array<int, 3> itemLines{};
    std::vector<qreal> lineWidths{0};
    for (std::size_t i = 0; i < kRunOrder.size(); ++i) {
        itemWidths[i] = swatch + kPad / 2 +
                        metrics.horizontalAdvance(toQString(wording(kRunOrder[i]).heading));
        const qreal gap = lineWidths.back() > 0 ? 2 * kPad : 0;
        if (lineWidths.back() > 0 && lineWidths.back() + gap + itemWidths[i] > width() - 2 * kPad)
            lineWidths.push_back(0);
        else
            lineWidths.back() += gap;
        lineWidths.back() += itemWidths[i];
        itemLines[i] = int(lineWidths.size()) - 1;
    }

    // Left to right: the turned title, the ticks, the plot, room for half the last E1 label.
    // Top down: half a tick label, the plot, the E1 labels, the title, the legend.
    const qreal left = kPad + line + kPad + tickWidth + kPad / 2;
    const qreal right = kPad + labelWidth / 2;
    const qreal top = kPad + line / 2;
    const qreal bottom =
        kPad / 2 + line + kPad / 2 + line + kPad + qreal(lineWidths.size()) * line + kPad;
    d.plot = QRectF(left, top, std::max(width() - left - right, 1.0),
                    std::max(height() - top - bottom, 1.0));
    const auto yOf = [&](Count value) {
        return d.plot.bottom() - d.plot.height() * qreal(value) / qreal(m_scale.top);
    };

    for (int i = 0; i < tickTexts.size(); ++i) {
        const qreal y = yOf(Count(i) * m_scale.step);
        d.tickYs.push_back(y);
        d.ticks.push_back(
            textAt(metrics, tickTexts[i], d.plot.left() - kPad / 2, y - line / 2, Qt::AlignRight));
    }

    const int bars = int(m_counts.size());
    const qreal slot = d.plot.width() / std::max(bars, 1);
    for (int i = 0; i < bars; ++i) {
        Bar bar{i, {}};
        const qreal x = d.plot.left() + (i + (1 - kBarShare) / 2) * slot;
        Count base = 0;
        for (ExemptionClass k : kRunOrder) {
            const Count count = m_counts[std::size_t(i)][classIndex(k)];
            if (count > 0)
                bar.pieces[classIndex(k)] =
                    QRectF(x, yOf(base + count), slot * kBarShare, yOf(base) - yOf(base + count));
            base += count;
        }
        d.bars.push_back(bar);
    }

    // One bar in so many carries its E1 when the labels would not fit side by side.
    const qreal labelRoom = labelWidth + 4 * metrics.averageCharWidth();
    const int step = std::max(1, int(std::ceil(labelRoom * bars / d.plot.width())));
    const qreal labelsTop = d.plot.bottom() + kPad / 2;
    for (int i = 0; i < bars && i < m_labels.size(); i += step) {
        d.labelledBars.push_back(i);
        d.entrants.push_back(textAt(metrics, m_labels[i], d.plot.left() + (i + 0.5) * slot,
                                    labelsTop, Qt::AlignHCenter));
    }

    const qreal titleTop = labelsTop + line + kPad / 2;
    d.entrantsTitle = textAt(metrics, entrantsTitle(), d.plot.center().x(), titleTop,
                             Qt::AlignHCenter);
    const qreal turnedLength = metrics.horizontalAdvance(solutionsTitle());
    d.solutionsTitle = {solutionsTitle(),
                        QRectF(kPad, d.plot.center().y() - turnedLength / 2, line, turnedLength)};

    const qreal legendTop = titleTop + line + kPad;
    qreal x = 0;
    for (std::size_t i = 0; i < kRunOrder.size(); ++i) {
        const int legendLine = itemLines[i];
        if (i == 0 || legendLine != itemLines[i - 1])
            x = std::max(kPad, (width() - lineWidths[std::size_t(legendLine)]) / 2);
        const qreal y = legendTop + legendLine * line;
        d.swatches[i] = QRectF(x, y + (line - swatch) / 2, swatch, swatch);
        d.legend[i] = textAt(metrics, toQString(wording(kRunOrder[i]).heading),
                             x + swatch + kPad / 2, y, Qt::AlignLeft);
        x += itemWidths[i] + 2 * kPad;
    }
    return d;
}

int OverviewChart::barAt(const QPointF &point) const
{
    const Drawing d = drawing();
    for (const Bar &bar : d.bars) {
        QRectF whole;
        for (const QRectF &piece : bar.pieces)
            whole |= piece;
        if (whole.contains(point))
            return bar.index;
    }
    return -1;
}

QSize OverviewChart::sizeHint() const
{
    return {560, 340};
}

QSize OverviewChart::minimumSizeHint() const
{
    return {420, 300};
}

void OverviewChart::paintEvent(QPaintEvent *)
{
    const Drawing d = drawing();
    const QColor text = palette().color(QPalette::Text);
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));

    QColor grid = text;
    grid.setAlphaF(0.2f);
    painter.setPen(QPen(grid, 0));
    for (std::size_t i = 1; i < d.tickYs.size(); ++i)
        painter.drawLine(QPointF(d.plot.left(), d.tickYs[i]), QPointF(d.plot.right(), d.tickYs[i]));

    for (const Bar &bar : d.bars) {
        for (ExemptionClass k : kRunOrder) {
            if (!bar.pieces[classIndex(k)].isEmpty())
                painter.fillRect(bar.pieces[classIndex(k)], classColour(k));
        }
    }
    for (std::size_t i = 0; i < kRunOrder.size(); ++i)
        painter.fillRect(d.swatches[i], classColour(kRunOrder[i]));

    painter.setPen(QPen(text, 0));
    painter.drawLine(d.plot.bottomLeft(), d.plot.bottomRight());
    painter.drawLine(d.plot.bottomLeft(), d.plot.topLeft());

    painter.setRenderHint(QPainter::TextAntialiasing);
    const auto write = [&](const Text &t) { painter.drawText(t.rect, Qt::AlignCenter, t.text); };
    for (const Text &t : d.ticks)
        write(t);
    for (const Text &t : d.entrants)
        write(t);
    for (const Text &t : d.legend)
        write(t);
    write(d.entrantsTitle);
    const QRectF turned = d.solutionsTitle.rect;
    painter.translate(turned.center());
    painter.rotate(-90);
    painter.drawText(QRectF(-turned.height() / 2, -turned.width() / 2, turned.height(),
                            turned.width()),
                     Qt::AlignCenter, d.solutionsTitle.text);
}

// A click is a press and a release on the same bar.
void OverviewChart::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton ? barAt(event->position()) : -1;
}

void OverviewChart::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = std::exchange(m_pressed, -1);
    if (event->button() == Qt::LeftButton && pressed >= 0 && barAt(event->position()) == pressed)
        emit barClicked(pressed);
}

} // namespace velmorin
