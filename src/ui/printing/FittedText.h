#pragma once

// A name or a club printed whole in a table cell: the sheets are posted on a wall, and a cut
// name is a team that cannot find itself. The text wraps onto more lines, and the font
// shrinks while the lines do not fit the cell, down to a size still read at arm's length.

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QPaintDevice;

namespace velmorin {

// The smallest size a sheet's text shrinks to; below it the row grows instead.
inline constexpr qreal kSmallestSheetPointSize = 7;

struct FittedText
{
    QFont font;
    QStringList lines; // joined, they give back the whole text
    qreal lineHeight = 0;

    qreal height() const { return lineHeight * qreal(lines.size()); }
};

// The text laid out in `width` on `device`: at `font` when its lines fit `height`, else at
// the largest smaller size that fits, at most down to kSmallestSheetPointSize, where the lines
// may need more than `height`.
FittedText fitText(const QString &text, const QFont &font, qreal width, qreal height,
                   const QPaintDevice *device);

// Draws the fitted lines centred vertically in `box`, each aligned by `horizontal`.
void drawFittedText(QPainter &painter, const QRectF &box, Qt::Alignment horizontal,
                    const FittedText &fitted);

} // namespace velmorin
