#pragma once

// What every printed sheet shares, on the printer and in the PDF alike: the A4 page, the
// fonts sized for the device, millimetres on it and the stamp under the title.

#include <QFont>
#include <QPageLayout>
#include <QString>

class QDate;
class QPaintDevice;

namespace velmorin {

// The line under a sheet's title: the program and its version, and the day the sheet was made.
QString sheetStamp(const QString &version, const QDate &date);

// The sheets' page: A4 portrait with 20 mm margins.
QPageLayout planPageLayout();

// The sheets' font (Arial or its stand-in) at a size in points on `device`.
QFont sheetFont(const QPaintDevice *device, qreal points, bool bold = false);

// Millimetres on a device.
class Ruler
{
public:
    explicit Ruler(const QPaintDevice *device);
    qreal operator()(qreal mm) const { return mm * m_dotsPerMm; }

private:
    qreal m_dotsPerMm;
};

} // namespace velmorin
