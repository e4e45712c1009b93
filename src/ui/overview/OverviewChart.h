#pragma once

// The overview's bar chart, painted by the widget itself: one stacked bar per round-1 entrant
// count (classes 3, 2, 1 from the bottom), its E1 under it, integer solution ticks on the left
// and a legend below. Its colours are its palette's, so it reads under a dark scheme too.

#include "Overview.h"

#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

namespace velmorin {

class OverviewChart : public QWidget
{
    Q_OBJECT

public:
    explicit OverviewChart(QWidget *parent = nullptr);

    // One bar per row, labelled as given (labels[i] is row i's E1 as the table writes it).
    void setRows(const std::vector<OverviewRow> &rows, const QStringList &labels);

    struct Text
    {
        QString text;
        QRectF rect;
    };
    struct Bar
    {
        int index = 0;                // the row
        std::array<QRectF, 3> pieces; // indexed by classIndex; empty for a count of 0
    };

    // Everything the chart draws at its present size and font, where it draws it.
    struct Drawing
    {
        QRectF plot;
        std::vector<Text> ticks;   // the solution counts, bottom up
        std::vector<qreal> tickYs; // where each one's line is
        std::vector<Text> entrants; // the E1 labels shown, left to right
        std::vector<int> labelledBars;
        std::vector<Bar> bars;
        std::array<Text, 3> legend; // in run order
        std::array<QRectF, 3> swatches;
        Text entrantsTitle;
        Text solutionsTitle; // drawn turned a quarter left, centred on its rect
    };
    Drawing drawing() const;

    // The row whose bar is at this point, or -1.
    int barAt(const QPointF &point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void barClicked(int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::vector<std::array<Count, 3>> m_counts; // per row, indexed by classIndex
    QStringList m_labels;
    SolutionsScale m_scale;
    int m_pressed = -1;
};

} // namespace velmorin
