#include "PlanSheetPainter.h"

#include "FittedText.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace velmorin {

namespace {

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

// The table's columns as shares of the page's width: the round's name, then four numbers.
constexpr std::array<qreal, kSheetColumns> kColumnShares{0.32, 0.17, 0.17, 0.17, 0.17};

} // namespace

void paintPlanSheet(QPainter &painter, const PlanSheet &sheet, const QString &stamp)
{
    const QPaintDevice *device = painter.device();
    const Ruler mm(device);
    const qreal width = device->width();
    qreal y = 0;

    const auto line = [&](const QFont &font, const QString &s, qreal x = 0,
                          int flags = Qt::AlignLeft) {
        painter.setFont(font);
        const qreal height = QFontMetricsF(font, device).height();
        painter.drawText(QRectF(x, y, width - x, height), flags | Qt::AlignVCenter, s);
        return height;
    };

    // Title and stamp.
    y += line(sheetFont(device, 22, true), text(sheet.title));
    y += mm(1);
    painter.setPen(Qt::darkGray);
    y += line(sheetFont(device, 9), stamp);
    painter.setPen(Qt::black);
    y += mm(2);
    painter.drawLine(QPointF(0, y), QPointF(width, y));
    y += mm(6);

    // The inputs and the chosen solution, label and value in two columns.
    const QFont labelFont = sheetFont(device, 11);
    const QFont valueFont = sheetFont(device, 11, true);
    for (const auto &[label, value] : sheet.details) {
        line(labelFont, text(label) + QStringLiteral(" :"));
        y += line(valueFont, text(value), mm(55)) + mm(1.5);
    }
    y += mm(6);

    // The seven rounds: names on the left, numbers on the right of their cells.
    const QFont cellFont = sheetFont(device, 11);
    const QFont headerFont = sheetFont(device, 11, true);
    const qreal rowHeight = QFontMetricsF(cellFont, device).height() + mm(3);
    const qreal padding = mm(2);
    const auto row = [&](const std::array<std::string, kSheetColumns> &cells, const QFont &font,
                         bool shaded) {
        const QRectF band(0, y, width, rowHeight);
        if (shaded)
            painter.fillRect(band, QColor(0xE8, 0xE8, 0xE8));
        painter.setFont(font);
        qreal x = 0;
        for (std::size_t c = 0; c < kSheetColumns; ++c) {
            const QRectF cell(x, y, kColumnShares[c] * width, rowHeight);
            painter.drawRect(cell);
            const QRectF inner = cell.adjusted(padding, 0, -padding, 0);
            drawFittedText(painter, inner, c == 0 ? Qt::AlignLeft : Qt::AlignRight,
                           fitText(text(cells[c]), font, inner.width(), inner.height(), device));
            x += cell.width();
        }
        y += rowHeight;
    };
    painter.setPen(QPen(Qt::black, mm(0.2)));
    row(sheet.header, headerFont, true);
    for (const auto &cells : sheet.rows)
        row(cells, cellFont, false);
    y += mm(5);

    if (!sheet.note.empty()) {
        painter.setFont(labelFont);
        const QRectF area(0, y, width, mm(30));
        const QRectF used = painter.boundingRect(area, Qt::TextWordWrap, text(sheet.note));
        painter.drawText(area, Qt::TextWordWrap, text(sheet.note));
        y += used.height() + mm(4);
    }
    line(valueFont, text(sheet.check));
}

bool writePlanPdf(QIODevice *device, const PlanSheet &sheet, const QString &stamp)
{
    QPdfWriter writer(device);
    writer.setPageLayout(planPageLayout());
    writer.setResolution(300);
    writer.setTitle(text(sheet.title));
    writer.setCreator(stamp);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    paintPlanSheet(painter, sheet, stamp);
    return painter.end();
}

} // namespace velmorin
