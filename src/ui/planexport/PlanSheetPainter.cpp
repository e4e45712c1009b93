#include "PlanSheetPainter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>

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
    SheetLayout page(painter, device);
    page.title(text(sheet.title), 22, stamp);
    page.y += page.mm(6);

    // The inputs and the chosen solution, label and value in two columns.
    const QFont labelFont = sheetFont(device, 11);
    const QFont valueFont = sheetFont(device, 11, true);
    for (const auto &[label, value] : sheet.details) {
        page.text(labelFont, text(label) + QStringLiteral(" :"));
        page.y += page.text(valueFont, text(value), page.mm(55)) + page.mm(1.5);
    }
    page.y += page.mm(6);

    // The seven rounds: names on the left, numbers on the right of their cells.
    const QFont cellFont = sheetFont(device, 11);
    const QFont headerFont = sheetFont(device, 11, true);
    const qreal rowHeight = QFontMetricsF(cellFont, device).height() + page.mm(3);
    std::vector<SheetColumn> columns;
    for (std::size_t c = 0; c < kSheetColumns; ++c)
        columns.push_back({kColumnShares[c], c == 0 ? Qt::AlignLeft : Qt::AlignRight});
    const auto cells = [](const std::array<std::string, kSheetColumns> &row) {
        QStringList list;
        for (const std::string &cell : row)
            list.append(text(cell));
        return list;
    };
    painter.setPen(QPen(Qt::black, page.mm(0.2)));
    page.row(columns, cells(sheet.header), headerFont, rowHeight, true);
    for (const auto &row : sheet.rows)
        page.row(columns, cells(row), cellFont, rowHeight, false);
    page.y += page.mm(5);

    if (!sheet.note.empty()) {
        painter.setFont(labelFont);
        const QRectF area(0, page.y, page.width(), page.mm(30));
        const QRectF used = painter.boundingRect(area, Qt::TextWordWrap, text(sheet.note));
        painter.drawText(area, Qt::TextWordWrap, text(sheet.note));
        page.y += used.height() + page.mm(4);
    }
    page.text(valueFont, text(sheet.check));
}

bool writePlanPdf(QIODevice *device, const PlanSheet &sheet, const QString &stamp)
{
    return writeSheetPdf(
        device, text(sheet.title), stamp,
        [&](QPainter &painter, QPagedPaintDevice &) { paintPlanSheet(painter, sheet, stamp); });
}

} // namespace velmorin
