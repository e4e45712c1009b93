#pragma once

// The printed entry lists: one sheet per round that teams enter at (round 4 first), the plan's
// summary on top, its teams in the assignment's order, continued on further pages when they
// do not fit. The same for the printer and the PDF.

#include "Plan.h"
#include "TeamAssignment.h"
#include "TeamList.h"

#include <QString>
#include <QStringList>

class QIODevice;
class QPagedPaintDevice;
class QPainter;

namespace velmorin {

// The plan in a few lines, as the sheets and the dialog give it.
QStringList planSummaryLines(const Plan &plan);

// Lays the sheets out on `device`, on which `painter` is active: pages of the plan sheet's
// layout (A4 or larger). Returns the number of pages used.
int paintEntrySheets(QPainter &painter, QPagedPaintDevice &device, const TeamList &list,
                     const Assignment &assignment, const Plan &plan, const QString &stamp);

// Writes the sheets as an A4 PDF; false when the device refused it.
bool writeEntriesPdf(QIODevice *device, const TeamList &list, const Assignment &assignment,
                     const Plan &plan, const QString &stamp);

} // namespace velmorin
