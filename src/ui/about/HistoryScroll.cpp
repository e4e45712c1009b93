#include "HistoryScroll.h"

#include "Appearance.h"

#include <QFontMetrics>
#include <QPainter>

HistoryScroll::HistoryScroll(const QStringList &lines, const QSize &size)
    : m_lines(lines), m_bitmap(size, QImage::Format_RGB32)
{
    m_font.setFamilies(velmorin::fontFamilies(QStringLiteral("Arial")));
    m_bitmap.fill(Qt::white);
    m_font.setPointSize(10);
    // A text's height is the font's cell height, whatever its letters.
    m_lineHeight = QFontMetrics(m_font, &m_bitmap).height();
    const qsizetype textHeight = m_lineHeight * m_lines.size();
    m_frameCount = textHeight > size.height() ? int(textHeight) : size.height();
}

void HistoryScroll::drawFrame(int frame)
{
    drawLines(frame, Qt::blue);
}

void HistoryScroll::eraseFrame(int frame)
{
    drawLines(frame, Qt::white);
}

void HistoryScroll::drawLines(int frame, const QColor &colour)
{
    if (m_bitmap.isNull())
        return;
    const int height = m_bitmap.height();
    QPainter painter(&m_bitmap);
    painter.setFont(m_font);
    painter.setPen(colour);
    for (qsizetype k = 0; k < m_lines.size(); ++k) {
        const int y = int(k) * m_lineHeight + height - frame;
        if (y >= height || y + m_lineHeight <= 0)
            continue; // off the bitmap
        // Each line stands on a solid white band, as plain text output does.
        const QRect band(1, y, m_bitmap.width() - 1, m_lineHeight);
        painter.fillRect(band, Qt::white);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_lines.at(k));
    }
}
