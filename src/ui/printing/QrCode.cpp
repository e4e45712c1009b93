#include "QrCode.h"

#include <QPainter>

#ifdef VELMORIN_HAVE_QRENCODE
#include <qrencode.h>
#endif

#include <algorithm>
#include <memory>

namespace velmorin {

namespace {

constexpr int kQuietModules = 4;

} // namespace

std::optional<QrModules> qrModules(const QByteArray &text)
{
#ifndef VELMORIN_HAVE_QRENCODE
    Q_UNUSED(text)
    return std::nullopt; // built without libqrencode: the sheet goes without its code
#else
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(text.size()), reinterpret_cast<const unsigned char *>(text.data()),
                          0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        return std::nullopt;
    QrModules modules;
    modules.size = code->width;
    modules.dark.reserve(std::size_t(code->width) * std::size_t(code->width));
    for (int k = 0; k < code->width * code->width; ++k)
        modules.dark.push_back((code->data[k] & 1) != 0); // libqrencode: bit 0 is dark
    return modules;
#endif
}

void paintQrCode(QPainter &painter, const QRectF &area, const QrModules &modules)
{
    const qreal side = std::min(area.width(), area.height());
    const qreal module = side / (modules.size + 2 * kQuietModules);
    const QPointF origin(area.x() + (area.width() - side) / 2 + kQuietModules * module,
                         area.y() + (area.height() - side) / 2 + kQuietModules * module);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(origin - QPointF(kQuietModules, kQuietModules) * module,
                            QSizeF(side, side)));
    painter.setBrush(Qt::black);
    for (int y = 0; y < modules.size; ++y) {
        for (int x = 0; x < modules.size; ++x) {
            if (modules.at(x, y))
                painter.drawRect(QRectF(origin + QPointF(x, y) * module, QSizeF(module, module)));
        }
    }
    painter.restore();
}

} // namespace velmorin
