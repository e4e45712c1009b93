#pragma once

// A QR code painted by the program (libqrencode gives its modules): the entry address a group's
// sheet carries, for a phone to scan at the lanes.

#include <QByteArray>
#include <QRectF>

#include <optional>
#include <vector>

class QPainter;

namespace velmorin {

struct QrModules
{
    int size = 0;           // modules a side
    std::vector<bool> dark; // row by row
    bool at(int x, int y) const { return dark[std::size_t(y * size + x)]; }
};

// The modules of `text` (byte mode, medium error correction); none when it does not fit.
std::optional<QrModules> qrModules(const QByteArray &text);
// Paints the modules in black on white, square in `area` with the quiet zone of four modules
// a scanner needs around them.
void paintQrCode(QPainter &painter, const QRectF &area, const QrModules &modules);

} // namespace velmorin
