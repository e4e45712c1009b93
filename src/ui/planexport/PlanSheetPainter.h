#pragma once

// The printed plan sheet: one A4 page of real text, the same for the printer and the PDF.

#include "Plan.h"
#include "PrintedSheet.h"

#include <QString>

class QIODevice;
class QPainter;

namespace velmorin {

// Lays the sheet out on the painter's whole device, which must be an A4 page or larger.
void paintPlanSheet(QPainter &painter, const PlanSheet &sheet, const QString &stamp);

// Writes the sheet as a one-page A4 PDF; false when the device refused it.
bool writePlanPdf(QIODevice *device, const PlanSheet &sheet, const QString &stamp);

} // namespace velmorin
