#include "PrintedSheet.h"

#include "Appearance.h"
#include "FittedText.h"
#include "Version.h"

#include <QDate>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <limits>

namespace velmorin {

QString sheetStamp(const QString &version, const QDate &date)
{
    return QStringLiteral("Velmorin %1, le %2")
        .arg(version, QLocale(QLocale::French, QLocale::France)
                          .toString(date, QStringLiteral("d MMMM yyyy")));
}

QString sheetStampNow()
{
    return sheetStamp(QStringLiteral(VELMORIN_VERSION), QDate::currentDate());
}

QPageLayout planPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                       QPageLayout::Millimeter);
}

QFont sheetFont(const QPaintDevice *device, qreal points, bool bold)
{
    QFont font;
    font.setFamilies(fontFamilies(QStringLiteral("Arial")));
    font.setPointSizeF(points);
    font.setBold(bold);
    // Sizes in points follow the device's resolution: a printer and a PDF writer differ.
    return QFont(font, device);
}

Ruler::Ruler(const QPaintDevice *device) : m_dotsPerMm(device->logicalDpiX() / 25.4) {}

SheetLayout::SheetLayout(QPainter &painter, const QPaintDevice *device)
    : m_painter(painter), m_device(device), m_ruler(device), m_width(device->width())
{}

qreal SheetLayout::text(const QFont &font, const QString &s, qreal x)
{
    // Wrapped at the page's edge and at its line breaks, at its own size: a long cup's name
    // in a title takes two lines rather than running off the page.
    const FittedText fitted =
        fitText(s, font, m_width - x, std::numeric_limits<qreal>::max(), m_device);
    drawFittedText(m_painter, QRectF(x, y, m_width - x, fitted.height()), Qt::AlignLeft, fitted);
    return fitted.height();
}

void SheetLayout::title(const QString &title, qreal points, const QString &stamp)
{
    m_painter.setPen(Qt::black);
    line(sheetFont(m_device, points, true), title);
    y += mm(1);
    m_painter.setPen(Qt::darkGray);
    line(sheetFont(m_device, 9), stamp);
    m_painter.setPen(Qt::black);
    y += mm(2);
    m_painter.drawLine(QPointF(0, y), QPointF(m_width, y));
}

void SheetLayout::row(const std::vector<SheetColumn> &columns, const QStringList &cells,
                      const QFont &font, qreal height, bool shaded)
{
    const qreal padding = mm(1.5);
    std::vector<FittedText> fitted;
    qreal band = height;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const QString s = qsizetype(c) < cells.size() ? cells[qsizetype(c)] : QString();
        fitted.push_back(fitText(s, font, columns[c].share * m_width - 2 * padding,
                                 height - mm(1), m_device));
        band = std::max(band, fitted.back().height() + mm(1));
    }
    if (shaded)
        m_painter.fillRect(QRectF(0, y, m_width, band), QColor(0xE8, 0xE8, 0xE8));
    qreal x = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const QRectF cell(x, y, columns[c].share * m_width, band);
        m_painter.drawRect(cell);
        drawFittedText(m_painter, cell.adjusted(padding, 0, -padding, 0), columns[c].align,
                       fitted[c]);
        x += cell.width();
    }
    y += band;
}

bool writeSheetPdf(QIODevice *device, const QString &title, const QString &stamp,
                   const std::function<void(QPainter &, QPagedPaintDevice &)> &paint)
{
    QPdfWriter writer(device);
    writer.setPageLayout(planPageLayout());
    writer.setResolution(300);
    writer.setTitle(title);
    writer.setCreator(stamp);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    paint(painter, writer);
    return painter.end();
}

} // namespace velmorin
