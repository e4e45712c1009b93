#pragma once

// The printed plan sheet: one A4 page of real text, the same for the printer and the PDF.

#include "Plan.h"

#include <QPageLayout>
#include <QString>

class QDate;
class QIODevice;
class QPainter;

namespace velmorin {

// The line under the title: the program and its version, and the day the sheet was made.
QString sheetStamp(const QString &version, const QDate &date);

// The sheet's page: A4 portrait with 20 mm margins, for the printer and the PDF alike.
QPageLayout planPageLayout();

// Lays the sheet out on the painter's whole device, which must be an A4 page or larger.
void paintPlanSheet(QPainter &painter, const PlanSheet &sheet, const QString &stamp);

// Writes the sheet as a one-page A4 PDF; false when the device refused it.
bool writePlanPdf(QIODevice *device, const PlanSheet &sheet, const QString &stamp);

} // namespace velmorin
