#pragma once

// What every printed sheet shares, on the printer and in the PDF alike: the A4 page, the
// fonts sized for the device, millimetres on it, the title with its stamp, the ruled rows of
// its tables, and the PDF writer.

#include <QFont>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QDate;
class QIODevice;
class QPaintDevice;
class QPagedPaintDevice;
class QPainter;

namespace velmorin {

// The line under a sheet's title: the program and its version, and the day the sheet was made.
QString sheetStamp(const QString &version, const QDate &date);
// The stamp of a sheet made now by this version.
QString sheetStampNow();

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

// A column of a ruled table: its share of the page's width and how its text aligns.
struct SheetColumn
{
    qreal share = 0;
    Qt::Alignment align = Qt::AlignLeft;
};

// Draws a sheet from the top of the painter's device down: `y` is where the next line goes.
class SheetLayout
{
public:
    SheetLayout(QPainter &painter, const QPaintDevice *device);

    qreal width() const { return m_width; }
    qreal mm(qreal millimetres) const { return m_ruler(millimetres); }
    qreal y = 0;

    // A text at `x`, on as many lines as its line breaks and the page's width ask; returns
    // its height without moving down.
    qreal text(const QFont &font, const QString &s, qreal x = 0);
    // A line of text, then down by its height.
    void line(const QFont &font, const QString &s) { y += text(font, s); }
    // The title in large bold, the stamp under it in grey, and a rule across the page.
    void title(const QString &title, qreal points, const QString &stamp);
    // A row of ruled cells at least `height` high, shaded for a header; then down by its
    // height. Text too long for its cell wraps or shrinks (fitText), never cut: the row grows
    // when even that is not enough.
    void row(const std::vector<SheetColumn> &columns, const QStringList &cells, const QFont &font,
             qreal height, bool shaded);

private:
    QPainter &m_painter;
    const QPaintDevice *m_device;
    Ruler m_ruler;
    qreal m_width;
};

// Writes an A4 PDF titled `title`, its pages drawn by `paint`; false when the device refused
// it.
bool writeSheetPdf(QIODevice *device, const QString &title, const QString &stamp,
                   const std::function<void(QPainter &, QPagedPaintDevice &)> &paint);

} // namespace velmorin
