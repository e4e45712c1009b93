#include "PrintedSheet.h"

#include "Appearance.h"

#include <QDate>
#include <QLocale>
#include <QPaintDevice>

namespace velmorin {

QString sheetStamp(const QString &version, const QDate &date)
{
    return QStringLiteral("Velmorin %1, le %2")
        .arg(version, QLocale(QLocale::French, QLocale::France)
                          .toString(date, QStringLiteral("d MMMM yyyy")));
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

} // namespace velmorin
