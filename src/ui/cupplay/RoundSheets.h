#pragma once

// The sheets of a drawn round that go on the tables: a page for each group of four (its teams
// and clubs in full, its three games, boxes for the scores and lines for the signatures), or
// pages of games of two.

#include "Cup.h"

#include <QString>

#include <functional>

class QIODevice;
class QPagedPaintDevice;
class QPainter;

namespace velmorin {

// The number of pages the round's sheets take.
int roundSheetPages(const Cup &cup, int round);
// The address where a group's results are entered from the lanes (its token's page on the
// cup's server); empty when it has none. A group's sheet carries it as a QR code.
using EntryAddress = std::function<QString(int round, int group)>;
// Draws them on a printer or a PDF writer, a page after another.
void paintRoundSheets(QPainter &painter, QPagedPaintDevice &device, const Cup &cup, int round,
                      const QString &cupName, const QString &stamp,
                      const EntryAddress &entryAddress = {});
bool writeRoundSheetsPdf(QIODevice *device, const Cup &cup, int round, const QString &cupName);

} // namespace velmorin
