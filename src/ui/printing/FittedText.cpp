#include "FittedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace velmorin {

namespace {

QStringList wrappedLines(const QString &text, const QFont &font, qreal width,
                         const QPaintDevice *device)
{
    // A line break in the text (a team's name over its club) starts a new line: QTextLayout
    // takes only the Unicode line separator for one, and the swap keeps every index.
    QString laidOut = text;
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laidOut, font, const_cast<QPaintDevice *>(device));
    QTextOption option;
    // Between words when it can, inside a word too long for the cell when it must.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

} // namespace

FittedText fitText(const QString &text, const QFont &font, qreal width, qreal height,
                   const QPaintDevice *device)
{
    FittedText fitted;
    qreal size = font.pointSizeF();
    for (;;) {
        fitted.font = font;
        fitted.font.setPointSizeF(size);
        fitted.lines = wrappedLines(text, fitted.font, width, device);
        fitted.lineHeight = QFontMetricsF(fitted.font, device).height();
        if (fitted.height() <= height || size <= kSmallestSheetPointSize)
            return fitted;
        size = std::max(kSmallestSheetPointSize, size - 0.5);
    }
}

void drawFittedText(QPainter &painter, const QRectF &box, Qt::Alignment horizontal,
                    const FittedText &fitted)
{
    painter.save();
    painter.setFont(fitted.font);
    qreal y = box.center().y() - fitted.height() / 2;
    for (const QString &line : fitted.lines) {
        // Trailing spaces left by the wrap would push right-aligned text off its edge.
        painter.drawText(QRectF(box.left(), y, box.width(), fitted.lineHeight),
                         int(horizontal | Qt::AlignVCenter), line.trimmed());
        y += fitted.lineHeight;
    }
    painter.restore();
}

} // namespace velmorin
